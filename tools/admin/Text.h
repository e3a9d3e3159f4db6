#pragma once
// The system's texts are Windows-1252 bytes; a terminal and JSON want UTF-8.

#include <initializer_list>
#include <string>
#include <string_view>

namespace tarvik::admin {

// Decodes Windows-1252 bytes to UTF-8, by the platform's table (platform/Text.h).
std::string Utf8FromWindows1252(const std::string& text);

// Paths and the system's own messages, which may hold a text of the program's inside them:
// what is valid UTF-8 (this system's own encoding) is kept as it is, and every other byte is
// decoded as Windows-1252, so the result is valid UTF-8 whatever the bytes were.
std::string Utf8FromSystemText(const std::string& text);

// `pattern` (one of admin_messages') with each "%s" replaced, in order, by the next of
// `values`, byte for byte: a value may hold a NUL or a "%s" of its own, which stays as it is.
// A "%s" beyond the last value stays too.
std::string Fill(const char* pattern, std::initializer_list<std::string_view> values);

// The text in double quotes, for messages that show a value exactly (control characters as \xNN).
std::string Quoted(const std::string& text);

}  // namespace tarvik::admin
