#pragma once
// Conversions of texts to numbers and truth values.

#include <cstdint>
#include <string>

#include "platform/Errors.h"

namespace tarvik {

// The integer text rule: leading blanks (' ') skipped, an optional "+" or "-", then either
// decimal digits (leading zeros allowed, value within the signed 32-bit range) or a
// hexadecimal number after "$", "x", "X", "0x" or "0X" (at most 32 bits, read as a
// two's-complement pattern, so "$FFFFFFFF" is -1; a "-" negates it). Nothing may follow the
// digits. Returns false, leaving `value` untouched, when the text does not follow the rule.
bool TryStrToInt(const std::string& text, int32_t& value);

// The same rule for a text that must be an integer: EConvertError "'<text>' is not a valid
// integer value" when it is not.
int32_t StrToInt(const std::string& text);

// The error every reader of an integer text raises for one that is not ("'<text>' is not a
// valid integer value"), for readers whose own rule finds the fault.
EConvertError InvalidIntegerError(const std::string& text);

// A floating-point text, always read with "C" rules whatever the process locale: blanks (' ',
// tab) before and after, an optional "+" or "-", digits with an optional "." and fraction (at
// least one digit in all), an optional exponent ("e" or "E", optional sign, digits). No group
// separators, no "inf" or "nan", no hexadecimal forms. Returns false, leaving `value`
// untouched, for any other text. A value beyond the range of double reads as an infinity, one
// too small for it as zero.
bool TryStrToFloat(const std::string& text, double& value);

// The outcome of the locale-aware conversions below, as the platform reports it.
enum class TVariantResult { Ok, Overflow, TypeMismatch };

// The system's locale-aware text-to-integer conversion (VarI4FromStr, user's default locale, no
// flags) on Windows; on Linux a stand-in that behaves as it does under an English (United
// States) locale, independent of the process locale. The forms taken, as Wine does:
//  - blanks (' ', tab) before and after the number;
//  - before the number, at most one each of "+", "-", "$" (the currency symbol) and "(";
//    after it, a "+" or "-" not given before, a "$" not given before, and the ")" that an
//    opening "(" needs; a "-" or the parentheses make the number negative ("(5)", "5-" and
//    "-$5" are -5, "12 $" is 12);
//  - decimal digits, "," between digits of the integer part taken as a group separator
//    ("1,000" is 1000), an optional "." and fraction digits (at least one digit in all), then
//    an optional exponent "e" or "E" with an optional sign and digits ("1e3" is 1000);
//  - a number with a fractional part rounded half to even ("2.5" gives 2, "3.5" gives 4,
//    "-0.5" gives 0), decided on the decimal digits themselves, so no binary approximation
//    can tip a value over a half;
//  - "&H" and hexadecimal digits or "&O" and octal digits, with only blanks around, read as a
//    32-bit pattern ("&HFFFFFFFF" is -1).
// A number outside the signed 32-bit range, a decimal one after rounding, or an "&H"/"&O"
// number of more than 32 bits, gives Overflow ("12345678901"). Anything else gives
// TypeMismatch: the empty text, blanks alone, "0x" forms, "$" before hexadecimal digits
// ("$1F"), any other character. `value` is only set on Ok.
//
// Where the stand-in and the system part, as Wine shows them:
//  - Wine takes further odd forms that the stand-in refuses: two leading signs ("+-5"), a sign
//    before "&H" (which it ignores: "-&H1F" is 31), a trailing sign repeated ("5--"), and ","
//    inside the fraction ("1.5,0"). No settings file holds such texts on purpose, and the
//    stand-in need not copy an accident of parsing.
//  - The system follows the user's locale (group and decimal separators, currency symbol);
//    the stand-in always reads as English (United States), the locale of the tests.
TVariantResult VarI4FromStr(const std::string& text, int32_t& value);

// The system's locale-aware text-to-truth-value conversion (VarBoolFromStr, user's default
// locale, no flags) on Windows; on Linux a stand-in. Both take the words "True" and "False",
// without regard to letter case and with nothing around them, and every number in the forms
// of VarI4FromStr above, of any size, which is true unless it is zero ("1", "2.5", "(5)" and
// "12345678901" are true, "0" and "1e-400" false); a number beyond the range of a double
// gives Overflow. Everything else, "yes" included, gives TypeMismatch. `value` is only set on
// Ok.
//
// Where the stand-in and the system part, as Wine shows them: Wine also takes "#TRUE#" and
// "#FALSE#" (upper case only), the forms in which a truth value is written into a text by the
// system's own conversions; the stand-in refuses them, as no settings file is written that way.
// Wine reports "&HFFFFFFFF" as an overflow and the stand-in as true.
TVariantResult VarBoolFromStr(const std::string& text, bool& value);

}  // namespace tarvik
