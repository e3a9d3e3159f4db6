#include "settings/PasswordCipher.h"

#include "platform/Clock.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/Text.h"
#include "settings/Messages.h"

namespace tarvik {
namespace {

// The cipher's random generator. Its state is process-wide, and every encipherment re-seeds
// it from the clock before drawing, so the state carried between calls never matters.
uint32_t gRandomState = 0;

uint8_t DrawSeed() {
    gRandomState = CipherSeedClock();
    gRandomState = gRandomState * 134775813u + 1u;
    return static_cast<uint8_t>(gRandomState >> 24);
}

// The number that one or two characters give as a hexadecimal number; the conversion error
// names them behind a "$", as the stored form was always read.
unsigned HexNumber(const std::string& digits) {
    unsigned value = 0;
    bool valid = !digits.empty();
    for (char c : digits) {
        const int d = HexDigitValue(c);
        if (d < 0) {
            valid = false;
            break;
        }
        value = value * 16 + static_cast<unsigned>(d);
    }
    if (!valid) throw InvalidIntegerError("$" + digits);
    return value;
}

std::string Encipher(const std::string& text, const std::string& key) {
    if (!text.empty() && key.empty()) throw Exception(settings_messages::kEmptyCipherKey);
    const unsigned seed = DrawSeed();
    std::string out;
    out.reserve(2 * text.size() + 2);
    AppendHexByte(out, static_cast<unsigned char>(seed));
    unsigned chain = seed;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned t = static_cast<unsigned char>(text[i]);
        const unsigned k = static_cast<unsigned char>(key[i % key.size()]);
        // Modulus 255, not 256: the stored passwords were made this way.
        const unsigned c = ((chain + t) % 255) ^ k;
        AppendHexByte(out, static_cast<unsigned char>(c));
        chain = c;
    }
    return out;
}

std::string Decipher(const std::string& text, const std::string& key) {
    // Whole pairs after the seed; an odd last digit is never read.
    const size_t pairs = text.size() >= 2 ? (text.size() - 2) / 2 : 0;
    if (pairs > 0 && key.empty()) throw Exception(settings_messages::kEmptyCipherKey);
    unsigned chain = HexNumber(text.substr(0, 2));
    std::string out;
    out.reserve(pairs);
    for (size_t i = 0; i < pairs; ++i) {
        const unsigned c = HexNumber(text.substr(2 + 2 * i, 2));
        const unsigned d = c ^ static_cast<unsigned char>(key[i % key.size()]);
        // Equality wraps to 255: codes 0 and 255 do not survive a round trip unchanged.
        const unsigned plain = chain < d ? d - chain : d + 255 - chain;
        out += static_cast<char>(static_cast<unsigned char>(plain));
        chain = c;
    }
    return out;
}

}  // namespace

std::string CipherText(const std::string& mode, const std::string& text, const std::string& key) {
    if (mode == "E") return Encipher(text, key);
    if (mode == "D") return Decipher(text, key);
    return std::string();
}

}  // namespace tarvik
