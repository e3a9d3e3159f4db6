// Linux stand-ins for the locale-aware text-to-integer and text-to-truth-value conversions,
// behaving as the system's do under an English (United States) locale; Conversions.h lists
// the forms they take and the few where they differ from the system's.

#include <locale.h>
#include <stdlib.h>

#include <cmath>

#include "platform/Conversions.h"
#include "platform/NumberText.h"
#include "platform/Text.h"

namespace tarvik {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitValue(char c, int base) {
    const int d = HexDigitValue(c);
    return d < base ? d : -1;
}

// A number text as the conversions read it, before any range is applied.
struct TNumberText {
    bool negative = false;
    // "&H" and "&O" forms: the bits, and whether they need more than 32.
    bool radix = false;
    uint32_t pattern = 0;
    bool patternTooWide = false;
    // Decimal forms: every mantissa digit in order without the ".", how many of them stand
    // before the ".", and the exponent (clamped far beyond any useful range).
    std::string digits;
    int64_t integerDigits = 0;
    int64_t exponent = 0;
};

// The symbols that may stand on either side of the number, each once.
struct TNumberSymbols {
    bool plus = false, minus = false, currency = false;

    // Takes `c` when it is one of them not seen yet.
    bool Take(char c) {
        bool* seen = c == '+' ? &plus : c == '-' ? &minus : c == '$' ? &currency : nullptr;
        if (!seen || *seen) return false;
        *seen = true;
        return true;
    }
};

// [symbols] number [symbols], where the symbols are blanks, at most one "+", one "-", one "$"
// and one "(" before the number, and after it blanks, a "+" or "-" not given before, a "$"
// not given before, and the ")" that an opening one needs. "-" or the parentheses make the
// number negative. The number is either decimal digits, with "," between digits of the
// integer part ignored as group separators, an optional "." and fraction (at least one digit
// in all) and an optional exponent; or "&H" / "&O" and hexadecimal / octal digits, with
// nothing but blanks around them.
bool ParseNumberText(const std::string& text, TNumberText& out) {
    const size_t n = text.size();
    size_t i = 0;
    TNumberSymbols symbols;
    bool open = false;
    for (; i < n; ++i) {
        const char c = text[i];
        if (IsBlank(c) || symbols.Take(c)) continue;
        if (c == '(' && !open) open = true;
        else break;
    }

    if (i + 1 < n && text[i] == '&' && (text[i + 1] == 'H' || text[i + 1] == 'h' || text[i + 1] == 'O' ||
                                        text[i + 1] == 'o')) {
        if (symbols.plus || symbols.minus || symbols.currency || open) return false;
        const int base = text[i + 1] == 'H' || text[i + 1] == 'h' ? 16 : 8;
        i += 2;
        const size_t first = i;
        uint64_t bits = 0;
        for (; i < n && DigitValue(text[i], base) >= 0; ++i) {
            bits = bits * static_cast<uint64_t>(base) + static_cast<uint64_t>(DigitValue(text[i], base));
            if (bits > 0xFFFFFFFFull) {
                out.patternTooWide = true;
                bits &= 0xFFFFFFFFull;
            }
        }
        if (i == first) return false;
        while (i < n && IsBlank(text[i])) ++i;
        if (i != n) return false;
        out.radix = true;
        out.pattern = static_cast<uint32_t>(bits);
        return true;
    }

    for (; i < n; ++i) {
        if (IsDigit(text[i])) out.digits += text[i];
        else if (text[i] != ',' || out.digits.empty()) break;
    }
    out.integerDigits = static_cast<int64_t>(out.digits.size());
    if (i < n && text[i] == '.') {
        for (++i; i < n && IsDigit(text[i]); ++i) out.digits += text[i];
    }
    if (out.digits.empty() || !ReadExponent(text, i, out.exponent)) return false;

    bool closed = false;
    for (; i < n; ++i) {
        const char c = text[i];
        if (IsBlank(c) || symbols.Take(c)) continue;
        if (c == ')' && open && !closed) closed = true;
        else return false;
    }
    if (open && !closed) return false;
    out.negative = symbols.minus || open;
    return true;
}

}  // namespace

TVariantResult VarI4FromStr(const std::string& text, int32_t& value) {
    TNumberText parsed;
    if (!ParseNumberText(text, parsed)) return TVariantResult::TypeMismatch;
    if (parsed.radix) {
        if (parsed.patternTooWide) return TVariantResult::Overflow;
        value = static_cast<int32_t>(parsed.pattern);
        return TVariantResult::Ok;
    }

    // Drop leading zeros so that the first digit, if any, is significant.
    const std::string& digits = parsed.digits;
    size_t firstSignificant = 0;
    while (firstSignificant < digits.size() && digits[firstSignificant] == '0') ++firstSignificant;
    if (firstSignificant == digits.size()) {
        value = 0;
        return TVariantResult::Ok;
    }
    // Place of the decimal point, counted in digits from the first significant one.
    const int64_t point = parsed.integerDigits - static_cast<int64_t>(firstSignificant) + parsed.exponent;
    if (point > 10) return TVariantResult::Overflow;  // at least 10^10
    if (point < 0) {  // below 0.1: rounds to zero
        value = 0;
        return TVariantResult::Ok;
    }

    int64_t magnitude = 0;
    const int64_t available = static_cast<int64_t>(digits.size() - firstSignificant);
    for (int64_t k = 0; k < point; ++k)
        magnitude = magnitude * 10 + (k < available ? digits[firstSignificant + static_cast<size_t>(k)] - '0' : 0);

    // Round half to even on the digits after the point.
    if (point < available) {
        const int first = digits[firstSignificant + static_cast<size_t>(point)] - '0';
        bool restNonZero = false;
        for (int64_t k = point + 1; k < available && !restNonZero; ++k)
            restNonZero = digits[firstSignificant + static_cast<size_t>(k)] != '0';
        if (first > 5 || (first == 5 && (restNonZero || magnitude % 2 != 0))) ++magnitude;
    }

    if (parsed.negative ? magnitude > 2147483648LL : magnitude > 2147483647LL) return TVariantResult::Overflow;
    value = static_cast<int32_t>(parsed.negative ? -magnitude : magnitude);
    return TVariantResult::Ok;
}

TVariantResult VarBoolFromStr(const std::string& text, bool& value) {
    if (SameText(text, "True") || SameText(text, "False")) {
        value = SameText(text, "True");
        return TVariantResult::Ok;
    }
    TNumberText parsed;
    if (!ParseNumberText(text, parsed)) return TVariantResult::TypeMismatch;
    if (parsed.radix) {
        if (parsed.patternTooWide) return TVariantResult::Overflow;
        value = parsed.pattern != 0;
        return TVariantResult::Ok;
    }
    // A number is true when it is not zero as a double: one too small for a double is zero,
    // one too large for it does not convert.
    static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    const std::string number = "0." + parsed.digits + "e" + std::to_string(parsed.integerDigits + parsed.exponent);
    const double asDouble = ::strtod_l(number.c_str(), nullptr, cLocale);
    if (std::isinf(asDouble)) return TVariantResult::Overflow;
    value = asDouble != 0;
    return TVariantResult::Ok;
}

}  // namespace tarvik
