#pragma once
// The system's texts are Windows-1252 bytes; a terminal and JSON want UTF-8.

#include <nlohmann/json_fwd.hpp>

#include <string>

namespace tarvik::admin {

// Decodes Windows-1252 bytes to UTF-8, by the platform's table (platform/Text.h).
std::string Utf8FromWindows1252(const std::string& text);

// Paths and the system's own messages, which may hold a text of the program's inside them:
// what is valid UTF-8 (this system's own encoding) is kept as it is, and every other byte is
// decoded as Windows-1252, so the result is valid UTF-8 whatever the bytes were.
std::string Utf8FromSystemText(const std::string& text);

// Every text of a report, keys and values, through Utf8FromSystemText: a report gathers
// texts that are decoded where they were read and names the server gave as they came (the
// link's latin1 bytes), and JSON, like a terminal, takes nothing but UTF-8.
void MakeTextsUtf8(nlohmann::json& report);

// The text in double quotes, for messages that show a value exactly (control characters as \xNN).
std::string Quoted(const std::string& text);

}  // namespace tarvik::admin
