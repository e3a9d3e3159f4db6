#pragma once
// Conversions of texts to numbers and truth values.

#include <cstdint>
#include <string>

namespace tarvik {

// The integer text rule: leading blanks (' ') skipped, an optional "+" or "-", then either
// decimal digits (leading zeros allowed, value within the signed 32-bit range) or a
// hexadecimal number after "$", "x", "X", "0x" or "0X" (at most 32 bits, read as a
// two's-complement pattern, so "$FFFFFFFF" is -1; a "-" negates it). Nothing may follow the
// digits. Returns false, leaving `value` untouched, when the text does not follow the rule.
bool TryStrToInt(const std::string& text, int32_t& value);

// A floating-point text, always read with "C" rules whatever the process locale: blanks (' ',
// tab) before and after, an optional "+" or "-", digits with an optional "." and fraction (at
// least one digit in all), an optional exponent ("e" or "E", optional sign, digits). No group
// separators, no "inf" or "nan", no hexadecimal forms. Returns false, leaving `value`
// untouched, for any other text. A value beyond the range of double reads as an infinity, one
// too small for it as zero.
bool TryStrToFloat(const std::string& text, double& value);

// The outcome of the locale-aware conversions below, as the platform reports it.
enum class TVariantResult { Ok, Overflow, TypeMismatch };

// Stand-in for the platform's locale-aware text-to-integer conversion (user locale, no flags).
// It behaves as that conversion does under an English locale, independent of the process
// locale, and accepts:
//  - blanks (' ', tab) before and after the number;
//  - an optional leading "+" or "-";
//  - decimal digits with an optional "." and fraction digits (at least one digit in all),
//    then an optional exponent "e" or "E" with an optional sign and digits;
//  - a number with a fractional part is rounded half to even, as the platform rounds
//    ("2.5" gives 2, "3.5" gives 4, "-0.5" gives 0); the rounding works on the decimal digits
//    themselves, so no binary approximation can tip a value over a half.
// A number whose rounded value lies outside the signed 32-bit range gives Overflow. Anything
// else gives TypeMismatch: the empty text, blanks alone, group separators ("1,000"), a ","
// decimal separator, currency symbols, parentheses, a trailing sign, "&H"/"0x"/"$" hexadecimal
// forms, any other character. `value` is only set on Ok.
TVariantResult VarI4FromStr(const std::string& text, int32_t& value);

// Stand-in for the platform's locale-aware text-to-truth-value conversion (user locale, no
// flags), restricted to the words: "True" and "False", compared without regard to letter case
// and with nothing around them, give Ok with true and false. Everything else, numbers included,
// gives TypeMismatch; callers that take numbers as truth values apply their own number rule
// (TryStrToFloat) afterwards. `value` is only set on Ok.
TVariantResult VarBoolFromStr(const std::string& text, bool& value);

}  // namespace tarvik
