#include "platform/Text.h"

namespace tarvik {
namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// 0x80..0x9F is where Windows-1252 differs from Latin-1.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

std::string_view TrimView(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
    return text;
}

std::string Trim(std::string_view text) { return std::string(TrimView(text)); }

std::string LowerCase(std::string text) {
    for (char& c : text) c = LowerAscii(c);
    return text;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

bool StartsWithText(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

bool ContainsText(std::string_view text, std::string_view part) {
    for (size_t i = 0; i + part.size() <= text.size(); ++i)
        if (SameText(text.substr(i, part.size()), part)) return true;
    return false;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

void AppendHexByte(std::string& out, unsigned char value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += kDigits[value >> 4];
    out += kDigits[value & 15];
}

char16_t Windows1252CodePoint(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kWindows1252High[byte - 0x80] : static_cast<char16_t>(byte);
}

}  // namespace tarvik
