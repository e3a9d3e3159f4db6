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

}  // namespace tarvik
