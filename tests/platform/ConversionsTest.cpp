#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <optional>

#include "platform/Conversions.h"

namespace tarvik {
namespace {

// The locale-aware conversions: one table for the Linux stand-ins and for the system's own
// conversions on Windows (user locale English (United States) under Wine). Where the two
// differ, the case names the Windows result and platform/Conversions.h says why.
constexpr TVariantResult kOk = TVariantResult::Ok;
constexpr TVariantResult kOverflow = TVariantResult::Overflow;
constexpr TVariantResult kMismatch = TVariantResult::TypeMismatch;

struct TIntegerOutcome {
    TVariantResult result;
    int32_t value = 0;  // only for kOk
};

struct TIntegerCase {
    const char* text;
    TIntegerOutcome expected;
    std::optional<TIntegerOutcome> onWindows = std::nullopt;

    TIntegerOutcome Expected() const {
#ifdef _WIN32
        if (onWindows) return *onWindows;
#endif
        return expected;
    }
};

const TIntegerCase kIntegerCases[] = {
    // Digits, signs and blanks.
    {"0", {kOk, 0}}, {"12", {kOk, 12}}, {"+12", {kOk, 12}}, {"-12", {kOk, -12}}, {"  12", {kOk, 12}},
    {"12  ", {kOk, 12}}, {"\t-3\t", {kOk, -3}}, {"- 5", {kOk, -5}}, {"007", {kOk, 7}}, {"-0", {kOk, 0}},
    {"2147483647", {kOk, INT32_MAX}}, {"-2147483648", {kOk, INT32_MIN}},
    {"0000000000002147483647", {kOk, INT32_MAX}},
    {"", {kMismatch}}, {"   ", {kMismatch}}, {"+", {kMismatch}}, {"-", {kMismatch}}, {"--5", {kMismatch}},
    {"-5-", {kMismatch}}, {"1 2", {kMismatch}}, {"12a", {kMismatch}}, {"abc", {kMismatch}}, {"True", {kMismatch}},
    {"inf", {kMismatch}}, {"nan", {kMismatch}},
    // Group separators, decimal separator, rounding half to even on the decimal digits.
    {"1,000", {kOk, 1000}}, {"1,000,000", {kOk, 1000000}}, {"-1,000", {kOk, -1000}}, {",5", {kMismatch}},
    {"2.5", {kOk, 2}}, {"3.5", {kOk, 4}}, {"-2.5", {kOk, -2}}, {"-3.5", {kOk, -4}}, {"0.5", {kOk, 0}},
    {"1.5", {kOk, 2}}, {"2.4", {kOk, 2}}, {"2.6", {kOk, 3}}, {".5", {kOk, 0}}, {"5.", {kOk, 5}},
    {"2.50000000000000000001", {kOk, 3}}, {"2147483646.5", {kOk, 2147483646}},
    {"-2147483648.5", {kOk, INT32_MIN}}, {".", {kMismatch}}, {"1.2.3", {kMismatch}},
    // Exponents.
    {"1e3", {kOk, 1000}}, {"1E+3", {kOk, 1000}}, {"1.5E1", {kOk, 15}}, {"25e-1", {kOk, 2}}, {"35e-1", {kOk, 4}},
    {"1e-99999999999", {kOk, 0}}, {"2.147483647e9", {kOk, INT32_MAX}}, {"1e", {kMismatch}},
    {"1e+", {kMismatch}}, {"e5", {kMismatch}}, {"1e 3", {kMismatch}},
    // Parentheses and trailing signs.
    {"(5)", {kOk, -5}}, {"( 5 )", {kOk, -5}}, {"(-5)", {kOk, -5}}, {"5-", {kOk, -5}}, {"5 -", {kOk, -5}},
    {"5+", {kOk, 5}}, {"(5", {kMismatch}}, {"5)", {kMismatch}},
    // Currency symbol.
    {"$5", {kOk, 5}}, {"5$", {kOk, 5}}, {"-$5", {kOk, -5}}, {"12 $", {kOk, 12}}, {"$", {kMismatch}},
    {"$1F", {kMismatch}}, {"$1F ", {kMismatch}},
    // Hexadecimal and octal forms.
    {"&H1F", {kOk, 31}}, {"&h1f", {kOk, 31}}, {" &H1F ", {kOk, 31}}, {"&HFFFFFFFF", {kOk, -1}},
    {"&H80000000", {kOk, INT32_MIN}}, {"&O17", {kOk, 15}}, {"&H", {kMismatch}}, {"&H100000000", {kOverflow}},
    {"0x1F", {kMismatch}}, {"&H1F.5", {kMismatch}},
    // Outside the 32-bit range.
    {"12345678901", {kOverflow}}, {"99999999999", {kOverflow}}, {"-99999999999", {kOverflow}},
    {"2147483648", {kOverflow}}, {"-2147483649", {kOverflow}}, {"2147483647.5", {kOverflow}},
    {"-2147483648.51", {kOverflow}}, {"1e10", {kOverflow}}, {"3e9", {kOverflow}}, {"1e400", {kOverflow}},
    {"  4294967296  ", {kOverflow}},
};

TEST(LocaleIntegerConversion, FollowsTheTable) {
    for (const TIntegerCase& c : kIntegerCases) {
        const TIntegerOutcome expected = c.Expected();
        int32_t value = 999;
        EXPECT_EQ(VarI4FromStr(c.text, value), expected.result) << "'" << c.text << "'";
        EXPECT_EQ(value, expected.result == kOk ? expected.value : 999) << "'" << c.text << "'";
    }
}

struct TTruthOutcome {
    TVariantResult result;
    bool value = false;  // only for kOk
};

struct TTruthCase {
    const char* text;
    TTruthOutcome expected;
    std::optional<TTruthOutcome> onWindows = std::nullopt;

    TTruthOutcome Expected() const {
#ifdef _WIN32
        if (onWindows) return *onWindows;
#endif
        return expected;
    }
};

const TTruthCase kTruthCases[] = {
    // The words, in any case and with nothing around them.
    {"True", {kOk, true}}, {"tRUE", {kOk, true}}, {"TRUE", {kOk, true}}, {"False", {kOk, false}},
    {"fALSE", {kOk, false}}, {" True", {kMismatch}}, {"False ", {kMismatch}}, {"Truee", {kMismatch}},
    {"T", {kMismatch}}, {"yes", {kMismatch}}, {"Yes", {kMismatch}}, {"no", {kMismatch}}, {"On", {kMismatch}},
    {"", {kMismatch}}, {"   ", {kMismatch}},
    {"#TRUE#", {kMismatch}, TTruthOutcome{kOk, true}}, {"#FALSE#", {kMismatch}, TTruthOutcome{kOk, false}},
    {"#true#", {kMismatch}},
    // Numbers, in the forms of the integer conversion: true unless zero.
    {"1", {kOk, true}}, {"0", {kOk, false}}, {"-1", {kOk, true}}, {"2.5", {kOk, true}}, {"0.0", {kOk, false}},
    {" 12 ", {kOk, true}}, {"1,000", {kOk, true}}, {"(5)", {kOk, true}}, {"5-", {kOk, true}},
    {"&H1F", {kOk, true}}, {"&H0", {kOk, false}}, {"1e3", {kOk, true}}, {"12345678901", {kOk, true}},
    {"1e-400", {kOk, false}}, {"1e400", {kOverflow}}, {"$1F", {kMismatch}}, {"1 2", {kMismatch}},
};

TEST(LocaleTruthConversion, FollowsTheTable) {
    for (const TTruthCase& c : kTruthCases) {
        const TTruthOutcome expected = c.Expected();
        bool value = false;
        EXPECT_EQ(VarBoolFromStr(c.text, value), expected.result) << "'" << c.text << "'";
        if (expected.result == kOk) {
            EXPECT_EQ(value, expected.value) << "'" << c.text << "'";
        } else {
            bool untouched = true;
            VarBoolFromStr(c.text, untouched);
            EXPECT_TRUE(untouched) << "'" << c.text << "'";
        }
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
