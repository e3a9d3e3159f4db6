#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/Clock.h"
#include "platform/Errors.h"
#include "settings/PasswordCipher.h"
#include "tests/support/ThrowsExactly.h"

using namespace std::string_literals;

namespace tarvik {
namespace {

using test::ThrowsExactly;

// Clock values and the seed they produce: state := clock * 134775813 + 1, seed := state >> 24.
constexpr uint32_t kClockSeed00 = 0;
constexpr uint32_t kClockSeed08 = 1;
constexpr uint32_t kClockSeedCB = 0x12345678;
constexpr uint32_t kClockSeedFF = 0x59B05733;

class CipherTest : public ::testing::Test {
protected:
    void TearDown() override { SetCipherSeedClock(nullptr); }
    static void FixClock(uint32_t value) {
        SetCipherSeedClock([value] { return value; });
    }
    static std::string Encipher(const std::string& text, const std::string& key) {
        return CipherText("E", text, key);
    }
    static std::string Decipher(const std::string& text, const std::string& key) {
        return CipherText("D", text, key);
    }
};

TEST_F(CipherTest, EnciphersToTheExactTextForAFixedClock) {
    // Seed 08; a: (8+97)%255^'W' = 3E; b: (62+98)%255^'U' = F5; c: (245+99)%255^'X' = 01 (the
    // modulus 255 matters here); d reuses 'W': (1+100)%255^'W' = 32.
    FixClock(kClockSeed08);
    EXPECT_EQ(Encipher("abcd", "WUX"), "083EF50132");
    EXPECT_EQ(Encipher("abc", "WUXQQQ"), "083EF501") << "only the first key characters are used";
    EXPECT_EQ(Encipher("", "WUX"), "08");
    EXPECT_EQ(Decipher("083EF50132", "WUX"), "abcd");
    EXPECT_EQ(Decipher("083ef50132", "WUX"), "abcd");
}

TEST_F(CipherTest, ReseedsTheGeneratorFromTheClockOnEveryCall) {
    const struct {
        uint32_t clock;
        const char* seed;
    } cases[] = {{kClockSeed00, "00"}, {kClockSeed08, "08"}, {kClockSeedCB, "CB"}, {kClockSeedFF, "FF"}};
    for (const auto& c : cases) {
        FixClock(c.clock);
        // Drawing twice from a generator that is not re-seeded would give a different seed.
        EXPECT_EQ(Encipher("", "k"), c.seed) << c.clock;
        EXPECT_EQ(Encipher("", "k"), c.seed) << c.clock;
    }
}

TEST_F(CipherTest, RoundTripsEveryTextWithoutCodes0And255) {
    std::string allBytes;
    for (int code = 1; code <= 254; ++code) allBytes += static_cast<char>(code);
    const std::string texts[] = {"", "a", "Tarvik", "senha\xE7\xE3o 123", allBytes, std::string(300, 'z')};
    const std::string keys[] = {"WUX", "k", "\xFE\x01\x80", "a key that is longer than most of the texts"};
    for (uint32_t clock : {kClockSeed00, kClockSeed08, kClockSeedCB, kClockSeedFF}) {
        FixClock(clock);
        for (const auto& text : texts) {
            for (const auto& key : keys) {
                const std::string cipher = Encipher(text, key);
                ASSERT_EQ(cipher.size(), 2 * text.size() + 2);
                EXPECT_EQ(cipher.find_first_not_of("0123456789ABCDEF"), std::string::npos) << cipher;
                EXPECT_EQ(Decipher(cipher, key), text) << "key " << key << " clock " << clock;
                std::string lower = cipher;
                for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
                EXPECT_EQ(Decipher(lower, key), text);
            }
        }
    }
}

TEST_F(CipherTest, RealClockGivesDecipherableTexts) {
    SetCipherSeedClock(nullptr);
    const std::string cipher = Encipher("segredo", "WUX");
    EXPECT_EQ(Decipher(cipher, "WUX"), "segredo");
}

TEST_F(CipherTest, Codes0And255ComeBackAs255Or0DependingOnTheByteBefore) {
    const struct {
        uint32_t clock;
        std::string plain;
        std::string deciphered;
    } cases[] = {
        {kClockSeed00, "\0"s, "\xFF"},  {kClockSeed00, "\xFF", "\xFF"},
        {kClockSeedFF, "\0"s, "\0"s},   {kClockSeedFF, "\xFF", "\0"s},
        {kClockSeed08, "a\0b"s, "a\xFF" "b"},
    };
    for (const auto& c : cases) {
        FixClock(c.clock);
        EXPECT_EQ(Decipher(Encipher(c.plain, "A"), "A"), c.deciphered) << c.clock;
    }
    // A cipher byte of 255 before the character, rather than the seed.
    EXPECT_EQ(Decipher("00FF41", "A"), "\xBE\0"s);
}

TEST_F(CipherTest, DeciphersOnlyWholePairsAfterTheSeed) {
    const struct {
        const char* cipher;
        const char* plain;
    } cases[] = {
        {"08", ""}, {"A", ""}, {"0A1", ""}, {"083EF5013", "abc"}, {"083EF50132F", "abcd"},
    };
    for (const auto& c : cases) EXPECT_EQ(Decipher(c.cipher, "WUX"), c.plain) << c.cipher;
}

TEST_F(CipherTest, OtherModesGiveTheEmptyText) {
    FixClock(kClockSeed08);
    for (const char* mode : {"e", "d", "", " E", "D ", "EE", "X"}) {
        EXPECT_EQ(CipherText(mode, "abcd", "WUX"), "") << mode;
        EXPECT_EQ(CipherText(mode, "083EF50132", "WUX"), "") << mode;
        EXPECT_EQ(CipherText(mode, "not hex", ""), "") << mode;
    }
}

TEST_F(CipherTest, NonHexadecimalDigitsNameWhatWasRead) {
    const struct {
        std::string cipher;
        std::string message;
    } cases[] = {
        {"", "'$' is not a valid integer value"},
        {"Z", "'$Z' is not a valid integer value"},
        {"G0", "'$G0' is not a valid integer value"},
        {"0x3E", "'$0x' is not a valid integer value"},
        {"08 3EF5", "'$ 3' is not a valid integer value"},
        {"083EF5013G", "'$3G' is not a valid integer value"},
        {"08-1", "'$-1' is not a valid integer value"},
    };
    for (const auto& c : cases) EXPECT_TRUE(ThrowsExactly<EConvertError>([&] { Decipher(c.cipher, "WUX"); }, c.message)) << c.cipher;
}

TEST_F(CipherTest, EmptyKeyIsRefusedWhenThereIsAnythingToProcess) {
    FixClock(kClockSeed08);
    const std::string message = "A chave de cifragem n\xE3o pode ser vazia.";
    EXPECT_TRUE(ThrowsExactly<Exception>([] { Encipher("abc", ""); }, message));
    EXPECT_TRUE(ThrowsExactly<Exception>([] { Decipher("083E", ""); }, message));
    EXPECT_EQ(Encipher("", ""), "08");
    EXPECT_EQ(Decipher("083", ""), "");
}

}  // namespace
}  // namespace tarvik
