#include <gtest/gtest.h>

#include "platform/Conversions.h"

namespace tarvik {
namespace {

TEST(IntegerTextRule, AcceptsDecimalAndHexForms) {
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"0", 0},           {"12", 12},          {"  12", 12},        {"+7", 7},
        {"-7", -7},         {"007", 7},          {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},              {"$1F", 31},         {"0x1f", 31},
        {"0X1F", 31},       {"x1F", 31},         {"X1f", 31},         {"$FFFFFFFF", -1},
        {"-$1F", -31},      {"$80000000", INT32_MIN},                 {"  -0x10", -16},
    };
    for (const auto& c : cases) {
        int32_t v = 999;
        EXPECT_TRUE(TryStrToInt(c.text, v)) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
    }
}

TEST(IntegerTextRule, RejectsEverythingElse) {
    for (const char* text : {"", "   ", "12 ", "1 2", "\t12", "abc", "True", "2147483648", "-2147483649",
                             "99999999999", "$", "0x", "$100000000", "$1G", "12a", "+", "-", "--1", "1.5",
                             "0x-1", "$ 1"}) {
        int32_t v = 999;
        EXPECT_FALSE(TryStrToInt(text, v)) << "'" << text << "'";
        EXPECT_EQ(v, 999) << text;
    }
}

}  // namespace
}  // namespace tarvik
