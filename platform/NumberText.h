#pragma once
// The piece of number grammar that the float reader and the locale-aware conversions share.

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarvik {

// An exponent at text[i], if one stands there: "e" or "E", an optional sign, then digits; its
// value is clamped far beyond any useful range. Moves `i` past it. True when there is none
// (exponent 0, `i` unchanged) or a whole one; false for an "e" that no digit follows.
bool ReadExponent(const std::string& text, size_t& i, int64_t& exponent);

}  // namespace tarvik
