#pragma once
// What the run itself names and says: the two target tables and the completion message.
// Windows-1252 byte strings, decoded only where a front end puts them on the screen.

namespace tarvik::run_messages {

inline constexpr const char* kTargetTable0 = "estoque_minimo";
inline constexpr const char* kTargetTable1 = "estoque_minimo2";
inline constexpr const char* kRunFinished = "Processamento Concluido!";

}  // namespace tarvik::run_messages
