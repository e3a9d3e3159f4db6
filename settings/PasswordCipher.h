#pragma once
// The cipher of the stored password of sistema_qor.ini.

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

}  // namespace tarvik
