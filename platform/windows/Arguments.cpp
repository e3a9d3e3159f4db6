#include "platform/Arguments.h"

#include <cwchar>

#include "platform/windows/WideText.h"

namespace tarvik {

std::vector<std::string> ArgumentsFromWide(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) arguments.push_back(system::PathFromWide(argv[i], std::wcslen(argv[i])));
    return arguments;
}

}  // namespace tarvik
