#include "platform/Text.h"

namespace tarvik {
namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

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

}  // namespace tarvik
