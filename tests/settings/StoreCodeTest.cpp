#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/Errors.h"
#include "settings/StoreCode.h"
#include "tests/support/ThrowsExactly.h"

using namespace std::string_literals;

namespace tarvik {
namespace {

using test::ThrowsExactly;

TEST(StoreCode, CoversBranchesOneTo79WithDistinctCodes) {
    std::string codes;
    for (int32_t n = 1; n <= 79; ++n) {
        const std::string code = FilialToLojasLeram(n);
        ASSERT_EQ(code.size(), 1u) << n;
        codes += code;
    }
    EXPECT_EQ(codes, "*23456789ABCDEFGHIJKLMNOPQRSTUVWXYZ@#$&+-!()={}[]<>;:abcdefghijklmnopqrstuvwxyz");
}

TEST(StoreCode, ZeroAndNegativeNumbersWrapWithinOneByte) {
    const struct {
        int32_t n;
        std::string code;
    } cases[] = {
        {0, "0"}, {-1, "/"}, {-48, "\0"s}, {-49, "\xFF"}, {-304, "\0"s}, {INT32_MIN, "0"},
    };
    for (const auto& c : cases) EXPECT_EQ(FilialToLojasLeram(c.n), c.code) << c.n;
}

TEST(StoreCode, EightyAndAboveHaveNoCode) {
    for (int32_t n : {80, 81, 1000, INT32_MAX}) {
        const std::string message = "O filial_id " + std::to_string(n) +
                                    " n\xE3o pode ser convertido para um \"lojas_leram\" v\xE1lido";
        EXPECT_TRUE(ThrowsExactly<Exception>([n] { FilialToLojasLeram(n); }, message)) << n;
    }
}

TEST(BranchNumberText, ConvertsNumbersHexAndTruthValues) {
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        // The locale-aware integer conversion.
        {"12", 12}, {" -7 ", -7}, {"+3", 3}, {"007", 7}, {"2.5", 2}, {"3.5", 4}, {"1e1", 10},
        {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN}, {"1,000", 1000}, {"(5)", -5}, {"5-", -5},
        {"12 $", 12}, {"&H1F", 31},
        // "$" before decimal digits is the currency symbol to the locale-aware conversion, which
        // comes first: 12, not the hexadecimal 18 that the integer text rule would read.
        {"$12", 12},
        // The integer text rule.
        {"$1F", 31}, {"0x1f", 31}, {"X1F", 31}, {"-$1F", -31}, {"$FFFFFFFF", -1}, {" 0X10", 16},
        // Truth values.
        {"True", 1}, {"tRUE", 1}, {"FALSE", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(TextToBranchNumber(c.text), c.value) << c.text;
}

TEST(BranchNumberText, RejectsOtherTextsAndOutOfRangeNumbers) {
    const std::string mismatch = "Could not convert variant of type (String) into type (Boolean)";
    for (const char* text : {"", " ", "abc", "yes", "#true#", "$", "0x1G", "$1F ", "(5", ",5"})
        EXPECT_TRUE(ThrowsExactly<EVariantError>([text] { TextToBranchNumber(text); }, mismatch)) << text;

    const std::string overflow = "Overflow while converting variant of type (String) into type (Integer)";
    for (const char* text : {"99999999999", "2147483648", "-2147483649", "2147483647.5", "1e10"})
        EXPECT_TRUE(ThrowsExactly<EVariantError>([text] { TextToBranchNumber(text); }, overflow)) << text;
}

}  // namespace
}  // namespace tarvik
