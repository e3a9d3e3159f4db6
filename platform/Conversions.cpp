#include "platform/Conversions.h"

namespace tarvik {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool TryStrToInt(const std::string& text, int32_t& value) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i >= n) return false;

    bool hex = false;
    if (text[i] == '$' || text[i] == 'x' || text[i] == 'X') {
        hex = true;
        ++i;
    } else if (text[i] == '0' && i + 1 < n && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n) return false;

    if (hex) {
        uint64_t bits = 0;
        for (; i < n; ++i) {
            const int d = HexDigit(text[i]);
            if (d < 0) return false;
            bits = bits * 16 + static_cast<uint64_t>(d);
            if (bits > 0xFFFFFFFFull) return false;
        }
        uint32_t pattern = static_cast<uint32_t>(bits);
        if (negative) pattern = 0u - pattern;
        value = static_cast<int32_t>(pattern);
        return true;
    }

    int64_t magnitude = 0;
    for (; i < n; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > 2147483648LL) return false;
    }
    if (!negative && magnitude > 2147483647LL) return false;
    value = static_cast<int32_t>(negative ? -magnitude : magnitude);
    return true;
}

}  // namespace tarvik
