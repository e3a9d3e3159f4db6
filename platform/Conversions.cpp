#include "platform/Conversions.h"

#include <locale.h>
#include <stdlib.h>

#include "platform/Messages.h"
#include "platform/NumberText.h"
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

int32_t StrToInt(const std::string& text) {
    int32_t value = 0;
    if (!TryStrToInt(text, value)) throw InvalidIntegerError(text);
    return value;
}

EConvertError InvalidIntegerError(const std::string& text) {
    return EConvertError(Format(platform_messages::kInvalidInteger, text.c_str()));
}

namespace {

bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

// The float reader's grammar: [blanks] [sign] digits [. digits] [exponent] [blanks], at least
// one digit in the mantissa. Gives where the number stands without its blanks, for strtod.
bool FindDecimalNumber(const std::string& text, size_t& begin, size_t& end) {
    const size_t n = text.size();
    size_t i = 0;
    while (i < n && IsSpaceOrTab(text[i])) ++i;
    begin = i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) ++digits;
    if (i < n && text[i] == '.')
        for (++i; i < n && text[i] >= '0' && text[i] <= '9'; ++i) ++digits;
    int64_t exponent = 0;
    if (digits == 0 || !ReadExponent(text, i, exponent)) return false;
    end = i;
    while (i < n && IsSpaceOrTab(text[i])) ++i;
    return i == n;
}

}  // namespace

bool ReadExponent(const std::string& text, size_t& i, int64_t& exponent) {
    const size_t n = text.size();
    exponent = 0;
    if (i >= n || (text[i] != 'e' && text[i] != 'E')) return true;
    size_t j = i + 1;
    bool negative = false;
    if (j < n && (text[j] == '+' || text[j] == '-')) negative = text[j++] == '-';
    if (j >= n || text[j] < '0' || text[j] > '9') return false;
    for (; j < n && text[j] >= '0' && text[j] <= '9'; ++j)
        if (exponent < 1000000000) exponent = exponent * 10 + (text[j] - '0');
    if (negative) exponent = -exponent;
    i = j;
    return true;
}

bool TryStrToFloat(const std::string& text, double& value) {
    size_t begin = 0, end = 0;
    if (!FindDecimalNumber(text, begin, end)) return false;
    // strtod follows LC_NUMERIC; the "C" locale keeps "." the separator whatever the process uses.
    const std::string number = text.substr(begin, end - begin);
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
