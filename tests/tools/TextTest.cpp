// How the tool turns the bytes it meets into the UTF-8 it prints.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/admin/Text.h"

namespace tarvik {
namespace {

// Paths and the system's messages: UTF-8 as it is, any other byte as Windows-1252, so that a
// message of the program's own (Windows-1252) around a path (UTF-8) reads right in both parts.
TEST(TextTest, SystemTextKeepsUtf8AndDecodesEveryOtherByteAsWindows1252) {
    struct TCase {
        std::string bytes;
        std::string utf8;
    };
    const TCase cases[] = {
        {"plain", "plain"},
        {"/tmp/w8-\xC3\xA7\xC3\xA3o", "/tmp/w8-\xC3\xA7\xC3\xA3o"},            // UTF-8 path, as it is
        {"identifica\xE7\xE3o", "identifica\xC3\xA7\xC3\xA3o"},                 // Windows-1252 text
        {"n\xE3o: /tmp/\xC3\xA7", "n\xC3\xA3o: /tmp/\xC3\xA7"},                 // both in one message
        {"\x80 \x9F \x81", "\xE2\x82\xAC \xC5\xB8 \xC2\x81"},                    // 0x80-0x9F as Windows-1252
        {"\xE2\x82\xAC\xF0\x9F\x98\x80", "\xE2\x82\xAC\xF0\x9F\x98\x80"},       // 3 and 4 byte forms
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                                        // overlong: not UTF-8
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},                        // a surrogate: not UTF-8
        {"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},        // past U+10FFFF
        {"\xC3", "\xC3\x83"},                                                     // cut short at the end
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const TCase& c : cases) EXPECT_EQ(admin::Utf8FromSystemText(c.bytes), c.utf8) << c.bytes;
}

// The texts' patterns are filled byte for byte: a value may hold a NUL (the system's texts do)
// or a "%s" of its own, which is not filled in turn.
TEST(TextTest, FillPutsEachValueInItsPlaceByteForByte) {
    struct TCase {
        const char* pattern;
        std::vector<std::string> values;
        std::string filled;
    };
    const TCase cases[] = {
        {"%s: %s", {"produto", "gone"}, "produto: gone"},
        {"no placeholder", {}, "no placeholder"},
        {"(%s%)", {"24"}, "(24%)"},
        {"%s%s", {"%s", "x"}, "%sx"},
        {"[%s]", {std::string("a\0b", 3)}, std::string("[a\0b]", 5)},
        {"%s and %s", {"one"}, "one and %s"},
    };
    for (const TCase& c : cases) {
        std::string filled;
        switch (c.values.size()) {
            case 0: filled = admin::Fill(c.pattern, {}); break;
            case 1: filled = admin::Fill(c.pattern, {c.values[0]}); break;
            default: filled = admin::Fill(c.pattern, {c.values[0], c.values[1]}); break;
        }
        EXPECT_EQ(filled, c.filled) << c.pattern;
    }
}

}  // namespace
}  // namespace tarvik
