#include "platform/Conversions.h"

#include <locale.h>
#include <stdlib.h>

#include "platform/Errors.h"
#include "platform/Text.h"

namespace tarvik {

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
            const int d = HexDigitValue(text[i]);
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

namespace {

bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

// The decimal number grammar of the float reader:
// [blanks] [sign] digits [. digits] [(e|E) [sign] digits] [blanks].
struct TDecimalText {
    bool negative = false;
    std::string digits;       // every mantissa digit, in order, the "." left out
    int64_t integerDigits = 0;  // how many of `digits` stand before the "."
    int64_t exponent = 0;       // clamped far beyond any useful range
    size_t numberBegin = 0;     // the number without its surrounding blanks, for strtod
    size_t numberEnd = 0;
};

bool ParseDecimalText(const std::string& text, TDecimalText& out) {
    const size_t n = text.size();
    size_t i = 0;
    while (i < n && IsSpaceOrTab(text[i])) ++i;
    out.numberBegin = i;
    if (i < n && (text[i] == '+' || text[i] == '-')) out.negative = text[i++] == '-';
    while (i < n && text[i] >= '0' && text[i] <= '9') out.digits += text[i++];
    out.integerDigits = static_cast<int64_t>(out.digits.size());
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && text[i] >= '0' && text[i] <= '9') out.digits += text[i++];
    }
    if (out.digits.empty()) return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
        if (i >= n || text[i] < '0' || text[i] > '9') return false;
        int64_t exponent = 0;
        for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i)
            if (exponent < 1000000000) exponent = exponent * 10 + (text[i] - '0');
        out.exponent = negativeExponent ? -exponent : exponent;
    }
    out.numberEnd = i;
    while (i < n && IsSpaceOrTab(text[i])) ++i;
    return i == n;
}

}  // namespace

bool TryStrToFloat(const std::string& text, double& value) {
    TDecimalText parsed;
    if (!ParseDecimalText(text, parsed)) return false;
    // strtod follows LC_NUMERIC; the "C" locale keeps "." the separator whatever the process uses.
    const std::string number = text.substr(parsed.numberBegin, parsed.numberEnd - parsed.numberBegin);
#ifdef _WIN32
    static const _locale_t cLocale = ::_create_locale(LC_ALL, "C");
    value = ::_strtod_l(number.c_str(), nullptr, cLocale);
#else
    static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    value = ::strtod_l(number.c_str(), nullptr, cLocale);
#endif
    return true;
}

}  // namespace tarvik
