#pragma once
// The password cipher, the store code of a branch and the reading of a branch number text.

#include <cstdint>
#include <string>

namespace tarvik {

// The key of the stored password of sistema_qor.ini ("senha"), in both directions.
inline constexpr const char* kPasswordCipherKey = "WUX";

// Mode "E" enciphers `text`: a seed drawn from the re-seeded generator, then one byte per
// character, each as two upper-case hexadecimal digits. Mode "D" deciphers such a text
// (either letter case; an odd last digit is ignored). Any other mode, compared exactly, gives
// the empty text. Throws EConvertError on a digit pair that is not hexadecimal, and Exception
// when `key` is empty while there is anything to encipher or decipher.
std::string CipherText(const std::string& mode, const std::string& text, const std::string& key);

// The one-character store code of branch number n. Throws Exception for 80 and above.
std::string FilialToLojasLeram(int32_t n);

// A branch number text: the locale-aware integer conversion, then the integer text rule, then
// a truth value (1 or 0). Throws EVariantError when the text is none of these, or when it is a
// number outside the 32-bit range.
int32_t TextToBranchNumber(const std::string& text);

}  // namespace tarvik
