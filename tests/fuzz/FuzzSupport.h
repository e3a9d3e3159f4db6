#pragma once
// Small helpers shared by the fuzz targets: a broken property aborts with a readable reason,
// so that libFuzzer records the input as a crash.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace tarvik::fuzz {

[[noreturn]] inline void Fail(const char* file, int line, const char* what) {
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, what);
    std::abort();
}

// Prints a text so that every byte can be seen (escapes for anything outside printable ASCII).
inline void Dump(const char* label, std::string_view text) {
    std::fprintf(stderr, "%s (%zu bytes): \"", label, text.size());
    for (unsigned char c : text) {
        if (c >= 32 && c < 127 && c != '"' && c != '\\')
            std::fputc(c, stderr);
        else
            std::fprintf(stderr, "\\x%02X", c);
    }
    std::fprintf(stderr, "\"\n");
}

// Splits an input into its first `count` lines and the rest, so that seeds stay readable text:
// "section\nkey\nrest...". Missing lines are empty.
struct TLines {
    std::string line[4];
    std::string rest;
};

inline TLines SplitLines(std::string_view data, int count) {
    TLines out;
    for (int i = 0; i < count && i < 4; ++i) {
        const size_t end = data.find('\n');
        if (end == std::string_view::npos) {
            out.line[i] = std::string(data);
            data = {};
            break;
        }
        out.line[i] = std::string(data.substr(0, end));
        data.remove_prefix(end + 1);
    }
    out.rest = std::string(data);
    return out;
}

inline bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

inline std::string HexLower(std::string_view bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 0xF];
    }
    return out;
}

inline std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

}  // namespace tarvik::fuzz

#define FUZZ_CHECK(condition) \
    do { \
        if (!(condition)) ::tarvik::fuzz::Fail(__FILE__, __LINE__, #condition); \
    } while (0)
