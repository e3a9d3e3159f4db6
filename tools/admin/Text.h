#pragma once
// The system's texts are Windows-1252 bytes; a terminal and JSON want UTF-8.

#include <string>

namespace tarvik::admin {

// Decodes Windows-1252 bytes to UTF-8, by the platform's table (platform/Text.h).
std::string Utf8FromWindows1252(const std::string& text);

// The text in double quotes, for messages that show a value exactly (control characters as \xNN).
std::string Quoted(const std::string& text);

}  // namespace tarvik::admin
