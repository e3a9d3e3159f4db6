#pragma once
// The one-character store code ("lojas_leram") of a branch, and the reading of the branch
// number text it is taken from.

#include <cstdint>
#include <string>

namespace tarvik {

// The one-character store code of branch number n. Throws Exception for 80 and above.
std::string FilialToLojasLeram(int32_t n);

// A branch number text: the locale-aware integer conversion, then the integer text rule, then
// a truth value (1 or 0). Throws EVariantError when the text is none of these, or when it is a
// number outside the 32-bit range.
int32_t TextToBranchNumber(const std::string& text);

}  // namespace tarvik
