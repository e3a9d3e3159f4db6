#include "platform/Errors.h"

#include <cstdarg>
#include <cstdio>

namespace tarvik {

std::string Format(const char* pattern, ...) {
    va_list args;
    va_start(args, pattern);
    va_list copy;
    va_copy(copy, args);
    const int size = std::vsnprintf(nullptr, 0, pattern, copy);
    va_end(copy);
    std::string out;
    if (size > 0) {
        out.resize(static_cast<size_t>(size) + 1);
        std::vsnprintf(out.data(), out.size(), pattern, args);
        out.resize(static_cast<size_t>(size));
    }
    va_end(args);
    return out;
}

}  // namespace tarvik
