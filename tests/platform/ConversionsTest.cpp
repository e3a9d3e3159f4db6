#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "platform/Conversions.h"

namespace tarvik {
namespace {

TEST(LocaleIntegerConversion, AcceptsDecimalNumbersRoundedHalfToEven) {
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"0", 0}, {"12", 12}, {"+12", 12}, {"-12", -12}, {"  12", 12}, {"12  ", 12}, {"\t-3\t", -3},
        {"007", 7}, {"-0", 0}, {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN},
        {"0000000000002147483647", INT32_MAX},
        // Rounding half to even, decided on the decimal digits.
        {"0.5", 0}, {"1.5", 2}, {"2.5", 2}, {"-2.5", -2}, {"-3.5", -4}, {"2.4", 2}, {"2.6", 3}, {".5", 0},
        {"5.", 5}, {"2.50000000000000000001", 3}, {"2.49999999999999999999", 2},
        {"2147483646.5", 2147483646}, {"-2147483648.5", INT32_MIN}, {"2147483647.49", INT32_MAX},
        // Exponents.
        {"1e3", 1000}, {"1.5E1", 15}, {"25e-1", 2}, {"35e-1", 4}, {"1e-99999999999", 0}, {"0e99999999999", 0},
        {"2.147483647e9", INT32_MAX},
    };
    for (const auto& c : cases) {
        int32_t value = 999;
        EXPECT_EQ(VarI4FromStr(c.text, value), TVariantResult::Ok) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(LocaleIntegerConversion, ReportsOverflowOutsideThe32BitRange) {
    for (const char* text : {"2147483648", "-2147483649", "99999999999", "-99999999999", "2147483647.5",
                             "-2147483648.51", "1e10", "3e9", "1e99999999999", "  4294967296  "}) {
        int32_t value = 999;
        EXPECT_EQ(VarI4FromStr(text, value), TVariantResult::Overflow) << text;
        EXPECT_EQ(value, 999) << text;
    }
}

TEST(LocaleIntegerConversion, ReportsEverythingElseAsNotANumber) {
    for (const char* text : {"", "   ", "+", "-", ".", "abc", "12a", "1 2", "1,000", "1,5", "$12", "0x1F", "&H1F",
                             "(12)", "12-", "+-1", "1e", "1e+", "e5", "1.2.3", "True", "inf", "nan", "\n12"}) {
        int32_t value = 999;
        EXPECT_EQ(VarI4FromStr(text, value), TVariantResult::TypeMismatch) << "'" << text << "'";
        EXPECT_EQ(value, 999) << text;
    }
}

TEST(LocaleTruthConversion, KnowsTheWordsTrueAndFalseOnly) {
    const struct {
        const char* text;
        bool value;
    } words[] = {{"True", true}, {"true", true}, {"TRUE", true}, {"False", false}, {"fALSE", false}};
    for (const auto& c : words) {
        bool value = !c.value;
        EXPECT_EQ(VarBoolFromStr(c.text, value), TVariantResult::Ok) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
    for (const char* text : {"", "1", "0", "-1", "yes", "T", " True", "False ", "Truee", "#TRUE#"}) {
        bool value = true;
        EXPECT_EQ(VarBoolFromStr(text, value), TVariantResult::TypeMismatch) << "'" << text << "'";
        EXPECT_TRUE(value) << text;
    }
}

TEST(FloatText, ReadsDecimalFormsWithAPoint) {
    const struct {
        const char* text;
        double value;
    } cases[] = {{"1.5", 1.5}, {" -0.25 ", -0.25}, {"1e3", 1000}, {".5", 0.5}, {"5.", 5}, {"+2E-1", 0.2},
                 {"0", 0}, {"1e400", HUGE_VAL}};
    for (const auto& c : cases) {
        double value = -1;
        EXPECT_TRUE(TryStrToFloat(c.text, value)) << c.text;
        EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    }
    for (const char* text : {"", " ", ".", "e5", "1e", "1,5", "1.2.3", "inf", "nan", "0x10", "$1", "1 2"}) {
        double value = -1;
        EXPECT_FALSE(TryStrToFloat(text, value)) << "'" << text << "'";
        EXPECT_EQ(value, -1) << text;
    }
}

}  // namespace
}  // namespace tarvik
