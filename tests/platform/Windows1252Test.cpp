// The one Windows-1252 table, byte by byte against the system's own conversion of that code
// page (MultiByteToWideChar on Windows, iconv elsewhere).

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <optional>
#include <stdexcept>

#include "platform/Text.h"

namespace tarvik {
namespace {

// The system's code point for one byte; nullopt where it defines none.
std::optional<char16_t> SystemCodePoint(unsigned char byte) {
#ifdef _WIN32
    const char in = static_cast<char>(byte);
    wchar_t out = 0;
    if (::MultiByteToWideChar(1252, MB_ERR_INVALID_CHARS, &in, 1, &out, 1) != 1) return std::nullopt;
    return static_cast<char16_t>(out);
#else
    const iconv_t cd = ::iconv_open("UTF-16LE", "WINDOWS-1252");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv has no WINDOWS-1252");
    char in = static_cast<char>(byte);
    unsigned char out[4] = {};
    char* inPtr = &in;
    char* outPtr = reinterpret_cast<char*>(out);
    size_t inLeft = 1, outLeft = sizeof out;
    const size_t rc = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    ::iconv_close(cd);
    if (rc == static_cast<size_t>(-1) || outLeft != 2) return std::nullopt;
    return static_cast<char16_t>(out[0] | (out[1] << 8));
#endif
}

TEST(Windows1252CodePoint, IsTheSystemsConversionAndTheC1ControlWhereThatHasNone) {
    int undefined = 0;
    for (int byte = 0; byte < 256; ++byte) {
        SCOPED_TRACE(byte);
        const std::optional<char16_t> system = SystemCodePoint(static_cast<unsigned char>(byte));
        if (!system) ++undefined;
        EXPECT_EQ(Windows1252CodePoint(static_cast<unsigned char>(byte)), system.value_or(static_cast<char16_t>(byte)));
    }
    // Windows itself defines all 256 bytes; other systems leave out these five.
    EXPECT_TRUE(undefined == 0 || undefined == 5) << undefined;
}

TEST(Windows1252CodePoint, KnownBytes) {
    struct TCase {
        unsigned char byte;
        char16_t codePoint;
    };
    const TCase cases[] = {
        {0x00, 0x0000}, {'A', u'A'},     {0x7F, 0x007F}, {0x80, 0x20AC}, {0x81, 0x0081}, {0x8D, 0x008D},
        {0x8F, 0x008F}, {0x90, 0x0090},  {0x93, 0x201C}, {0x9D, 0x009D}, {0x9F, 0x0178}, {0xA0, 0x00A0},
        {0xE3, 0x00E3}, {0xFF, 0x00FF},
    };
    for (const TCase& c : cases) EXPECT_EQ(Windows1252CodePoint(c.byte), c.codePoint) << int{c.byte};
}

}  // namespace
}  // namespace tarvik
