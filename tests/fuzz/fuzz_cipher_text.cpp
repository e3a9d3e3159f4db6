// Deciphering arbitrary text with CipherText, and the round trip through enciphering.
// Input: a byte for the key's length (1 to 8) and one for the seed clock, the key, then the text.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Clock.h"
#include "platform/Errors.h"
#include "settings/PasswordCipher.h"
#include "tests/fuzz/FuzzSupport.h"

using tarvik::CipherText;

namespace {

// Whether deciphering must be refused: the seed (the first two characters, or the only one) or
// a whole pair after it is not made of hexadecimal digits. The empty text has no seed digits.
bool HasBadDigits(const std::string& text) {
    if (text.empty()) return true;
    const size_t read = text.size() < 2 ? text.size() : 2 + (text.size() - 2) / 2 * 2;
    for (size_t i = 0; i < read; ++i)
        if (!tarvik::fuzz::IsHexDigit(text[i])) return true;
    return false;
}

bool IsUpperHex(const std::string& text) {
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t keyLength = 1 + data[0] % 8;
    const uint32_t clock = static_cast<uint32_t>(data[1]) * 0x01010101u;
    data += 2;
    size -= 2;
    if (size < keyLength) return 0;
    const std::string key(reinterpret_cast<const char*>(data), keyLength);
    const std::string text(reinterpret_cast<const char*>(data + keyLength), size - keyLength);

    // Deciphering untrusted text: a conversion error is the only way it may fail.
    const bool bad = HasBadDigits(text);
    try {
        const std::string plain = CipherText("D", text, key);
        FUZZ_CHECK(!bad);
        FUZZ_CHECK(plain.size() == (text.size() >= 2 ? (text.size() - 2) / 2 : 0));
    } catch (const tarvik::EConvertError& e) {
        const std::string message = e.Message();
        const std::string tail = "' is not a valid integer value";
        FUZZ_CHECK(bad);
        FUZZ_CHECK(message.rfind("'$", 0) == 0);
        FUZZ_CHECK(message.size() >= tail.size() && message.compare(message.size() - tail.size(), tail.size(), tail) == 0);
    }

    // The round trip holds for every text without the codes 0 and 255.
    std::string plain;
    for (char c : text)
        if (c != '\0' && c != '\xFF') plain += c;
    tarvik::SetCipherSeedClock([clock] { return clock; });
    const std::string cipher = CipherText("E", plain, key);
    tarvik::SetCipherSeedClock({});
    FUZZ_CHECK(cipher.size() == 2 * plain.size() + 2);
    FUZZ_CHECK(IsUpperHex(cipher));
    const std::string back = CipherText("D", cipher, key);
    if (back != plain) {
        tarvik::fuzz::Dump("key", key);
        tarvik::fuzz::Dump("plain", plain);
        tarvik::fuzz::Dump("cipher", cipher);
        tarvik::fuzz::Dump("deciphered", back);
        FUZZ_CHECK(back == plain);
    }
    FUZZ_CHECK(CipherText("D", tarvik::fuzz::Lower(cipher), key) == plain);
    return 0;
}
