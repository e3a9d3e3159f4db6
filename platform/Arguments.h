#pragma once
// The program's arguments as the program's text. On Windows they come in UTF-16 (wmain), so
// that a folder name outside the ANSI code page arrives whole, and become UTF-8 here, the form
// every path takes inside the program.

#include <string>
#include <vector>

namespace tarvik {

#ifdef _WIN32
std::vector<std::string> ArgumentsFromWide(int argc, wchar_t** argv);
#endif

}  // namespace tarvik
