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

std::string Trim(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
    return text.substr(begin, end - begin);
}

std::string LowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool SameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace tarvik
