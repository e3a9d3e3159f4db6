#pragma once
// Paths meet Windows in UTF-16, and are UTF-8 inside the program, as on Linux: a folder name
// outside the user's ANSI code page (C:\Tarvik Łódź) survives both ways. These two are the one
// place where a path changes its form; only platform/windows/ uses them.

#include <string>

namespace tarvik::system {

// UTF-8 to UTF-16. A byte that is not part of valid UTF-8 is taken as Windows-1252, the
// program's own text, as the console and the reports read such bytes.
std::wstring WidePath(const std::string& path);

// UTF-16 from the system to UTF-8.
std::string PathFromWide(const wchar_t* wide, size_t length);
inline std::string PathFromWide(const std::wstring& wide) { return PathFromWide(wide.data(), wide.size()); }

}  // namespace tarvik::system
