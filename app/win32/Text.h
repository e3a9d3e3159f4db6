#pragma once
// The program's texts are Windows-1252 bytes, decoded by the platform's table; the window
// speaks to Windows in UTF-16, so that what is shown never depends on the user's ANSI code
// page.

#include <string>

namespace tarvik {

std::wstring WidenWindows1252(const std::string& bytes);

}  // namespace tarvik
