#pragma once
// What the window and its boxes say, side by side. Windows-1252 byte strings, like every
// other text of the program; they are decoded only where they are put on the screen.

namespace tarvik::msg {

inline constexpr const char* kFormCaption = "Tarvik";
inline constexpr const char* kRadioGroupCaption = "Gerar";
inline constexpr const char* kTargetTable0 = "estoque_minimo";
inline constexpr const char* kTargetTable1 = "estoque_minimo2";
inline constexpr const char* kStartButton = "Iniciar";
inline constexpr const char* kOkButton = "OK";
inline constexpr const char* kRunFinished = "Processamento Concluido!";

// Shown when something that is not one of our errors escapes a handler.
inline constexpr const char* kUnknownError = "Erro desconhecido";

}  // namespace tarvik::msg
