#pragma once
// What the window and its boxes say, side by side. Windows-1252 byte strings, like every
// other text of the program; they are decoded only where they are put on the screen.

#include "run/Messages.h"  // the target tables and the completion message

namespace tarvik::app_messages {

inline constexpr const char* kFormCaption = "Tarvik";
inline constexpr const char* kRadioGroupCaption = "Gerar";
inline constexpr const char* kStartButton = "Iniciar";
inline constexpr const char* kOkButton = "OK";

// Shown when something that is not one of our errors escapes a handler.
inline constexpr const char* kUnknownError = "Erro desconhecido";

}  // namespace tarvik::app_messages
