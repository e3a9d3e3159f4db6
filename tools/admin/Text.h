#pragma once
// The system's texts are Windows-1252 bytes; a terminal and JSON want UTF-8.

#include <string>

namespace tarvik::admin {

// Decodes Windows-1252 bytes to UTF-8; the five byte values that Windows-1252 leaves undefined
// are kept as the control characters of the same number, as the platform's decoder does.
std::string Utf8FromWindows1252(const std::string& text);

// Two upper-case hexadecimal digits per byte.
std::string HexEncode(const std::string& bytes);

// The text in double quotes, for messages that show a value exactly (control characters as \xNN).
std::string Quoted(const std::string& text);

}  // namespace tarvik::admin
