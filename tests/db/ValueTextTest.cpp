// A field's value as text: read from a server, set by the run, written into an INSERT.
#include "db/ValueText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Errors.h"
#include "tests/support/ThrowsExactly.h"

namespace tarvik {
namespace {

using K = TFieldKind;
using test::ThrowsExactly;

TEST(IntegerValueOfTest, DecimalWithin32BitsElseZero) {
    EXPECT_EQ(IntegerValueOf("12"), 12);
    EXPECT_EQ(IntegerValueOf("-2147483648"), INT32_MIN);
    EXPECT_EQ(IntegerValueOf("2147483647"), INT32_MAX);
    EXPECT_EQ(IntegerValueOf("2147483648"), 0);
    EXPECT_EQ(IntegerValueOf(""), 0);
    EXPECT_EQ(IntegerValueOf("12a"), 0);
    EXPECT_EQ(IntegerValueOf(" 12"), 0);
    EXPECT_EQ(IntegerValueOf("1.5"), 0);
}

// MariaDB prints the literal default of a TEXT, BLOB or JSON column in quotes, escaped with
// backslashes (also in NO_BACKSLASH_ESCAPES), and an expression default bare.
TEST(UnquoteShownDefaultTest, QuotedLiteralsAndBareExpressions) {
    EXPECT_EQ(UnquoteShownDefault("'q'"), "q");
    EXPECT_EQ(UnquoteShownDefault("'it\\'s\\\\ \"q\"'"), "it's\\ \"q\"");
    EXPECT_EQ(UnquoteShownDefault("'it''s'"), "it's");
    EXPECT_EQ(UnquoteShownDefault("'a\\nb\tc'"), "a\nb\tc");
    EXPECT_EQ(UnquoteShownDefault("'\\''"), "'");
    EXPECT_EQ(UnquoteShownDefault("''"), "");
    EXPECT_EQ(UnquoteShownDefault("'NULL'"), "NULL");
    EXPECT_EQ(UnquoteShownDefault("'uuid()'"), "uuid()");
    EXPECT_EQ(UnquoteShownDefault("uuid()"), std::nullopt);
    EXPECT_EQ(UnquoteShownDefault("concat('a','b')"), std::nullopt);
    EXPECT_EQ(UnquoteShownDefault("json_object('k',1)"), std::nullopt);
    EXPECT_EQ(UnquoteShownDefault("NULL"), std::nullopt);
    EXPECT_EQ(UnquoteShownDefault(""), std::nullopt);
    EXPECT_EQ(UnquoteShownDefault("'"), std::nullopt);
}

struct TValueCase {
    const char* name;
    TFieldKind kind;
    std::optional<std::string> text;
    std::string literal;
};

class ValueLiteralTest : public ::testing::TestWithParam<TValueCase> {};

TEST_P(ValueLiteralTest, RendersTheValue) {
    std::string out;
    TInsertValue value{GetParam().kind, std::nullopt};
    if (GetParam().text) value.text = *GetParam().text;
    AppendValueLiteral(out, value);
    EXPECT_EQ(out, GetParam().literal);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ValueLiteralTest,
    ::testing::Values(
        TValueCase{"NullInteger", K::Integer, std::nullopt, "NULL"},
        TValueCase{"NullText", K::Text, std::nullopt, "NULL"},
        TValueCase{"Integer", K::Integer, "12", "12"},
        TValueCase{"NegativeInteger", K::Integer, "-2147483648", "-2147483648"},
        TValueCase{"IntegerFromEmptyText", K::Integer, "", "0"},
        TValueCase{"IntegerNeverCarriesText", K::Integer, "1); DROP TABLE t; --", "0"},
        TValueCase{"LargeInt", K::LargeInt, "-9223372036854775808", "-9223372036854775808"},
        TValueCase{"LargeIntNeverCarriesText", K::LargeInt, "1 OR 1", "0"},
        TValueCase{"FloatGeneralForm", K::Float, "1.50", "1.5"},
        TValueCase{"Float15Digits", K::Float, "0.1234567890123456789", "0.123456789012346"},
        TValueCase{"FloatLarge", K::Float, "1e20", "1e+20"},
        TValueCase{"FloatWhole", K::Float, "3", "3"},
        TValueCase{"FloatAtTheTopOfTheRangeStaysInIt", K::Float, "1.7976931348623157e308",
                   "1.7976931348623157e+308"},
        TValueCase{"FloatNegativeTopOfTheRange", K::Float, "-1.7976931348623157e308",
                   "-1.7976931348623157e+308"},
        TValueCase{"FloatNoNumber", K::Float, "abc", "0"},
        TValueCase{"Text", K::Text, "3", "'3'"},
        TValueCase{"TextEmpty", K::Text, "", "''"},
        TValueCase{"TextQuote", K::Text, "O'Brien", "'O\\'Brien'"},
        TValueCase{"TextEscapes", K::LongText, std::string("a\0b\nc\rd\x1a" "e\"f'g\\h\ti", 17),
                   "'a\\0b\\nc\\rd\\Ze\\\"f\\'g\\\\h\ti'"},
        TValueCase{"TextHighBytes", K::Text, "\xe7\xe3o", "'\xe7\xe3o'"},
        TValueCase{"Bytes", K::Bytes, std::string("\x00\xff", 2), "'\\0\xff'"},
        TValueCase{"Date", K::Date, "2024-02-29", "'2024-02-29'"},
        TValueCase{"DateFromDateTime", K::Date, "2024-02-29 10:11:12", "'2024-02-29'"},
        TValueCase{"DateEmptyIsZero", K::Date, "", "'0000-00-00'"},
        TValueCase{"DateTime", K::DateTime, "2024-02-29 10:11:12", "'2024-02-29 10:11:12'"},
        TValueCase{"DateTimeAtMidnight", K::DateTime, "2024-02-29 00:00:00", "'2024-02-29'"},
        TValueCase{"DateTimeZero", K::DateTime, "", "'0000-00-00'"},
        TValueCase{"DateTimeZeroDateWithTime", K::DateTime, "10:11:12", "'0000-00-00 10:11:12'"},
        TValueCase{"DateTimeFractionKept", K::DateTime, "2024-02-29 10:11:12.5", "'2024-02-29 10:11:12.5'"},
        TValueCase{"DateTimeZeroFractionLeftOut", K::DateTime, "2024-02-29 10:11:12.000", "'2024-02-29 10:11:12'"},
        TValueCase{"DateTimeFractionAtMidnight", K::DateTime, "2024-02-29 00:00:00.5", "'2024-02-29 00:00:00.5'"},
        TValueCase{"TimeFractionKept", K::Time, "-838:59:58.99", "'-838:59:58.99'"},
        TValueCase{"DateFractionOfNoMatter", K::Date, "2024-02-29 10:11:12.5", "'2024-02-29'"},
        TValueCase{"TimeFractionNoDigits", K::Time, "10:11:12.x", "DEFAULT"},
        TValueCase{"Time", K::Time, "10:11:12", "'10:11:12'"},
        TValueCase{"TimeLongAndNegative", K::Time, "-838:59:59", "'-838:59:59'"},
        TValueCase{"TimeOneDigitHour", K::Time, "1:02:03", "'01:02:03'"},
        TValueCase{"TimeEmptyIsZero", K::Time, "", "'00:00:00'"},
        TValueCase{"DateTimeExpressionDefault", K::DateTime, "current_timestamp()", "DEFAULT"},
        TValueCase{"DateNoDate", K::Date, "2024-2-29", "DEFAULT"},
        // Unsigned and 64-bit defaults beyond the field's own range keep their digits.
        TValueCase{"IntegerBeyond32Bits", K::Integer, "3000000000", "3000000000"},
        TValueCase{"IntegerBelow32Bits", K::Integer, "-3000000000", "-3000000000"},
        TValueCase{"LargeIntBeyond64Bits", K::LargeInt, "18446744073709551615", "18446744073709551615"}),
    [](const ::testing::TestParamInfo<TValueCase>& info) { return std::string(info.param.name); });

TEST(ValueLiteralTest, ServerDefaultIsDefaultWhateverTheValue) {
    std::string out;
    AppendValueLiteral(out, {K::Integer, "5", true});
    AppendValueLiteral(out, {K::Text, std::nullopt, true});
    EXPECT_EQ(out, "DEFAULTDEFAULT");
}

// Where the server reads a backslash as a plain character, only the quote is doubled.
struct TNoEscapesCase {
    const char* name;
    std::string text;
    std::string literal;
};

class NoBackslashEscapesLiteralTest : public ::testing::TestWithParam<TNoEscapesCase> {};

TEST_P(NoBackslashEscapesLiteralTest, RendersTheValue) {
    for (const K kind : {K::Text, K::LongText, K::Bytes}) {
        std::string out;
        AppendValueLiteral(out, {kind, GetParam().text}, TQuoting::NoBackslashEscapes);
        EXPECT_EQ(out, GetParam().literal);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NoBackslashEscapesLiteralTest,
    ::testing::Values(TNoEscapesCase{"Quote", "it's", "'it''s'"},
                      TNoEscapesCase{"Backslashes", "C:\\temp\\", "'C:\\temp\\'"},
                      TNoEscapesCase{"ControlBytesRaw", "a\nb\rc\x1a\"d", "'a\nb\rc\x1a\"d'"},
                      TNoEscapesCase{"HighBytes", "\xe7\xe3o", "'\xe7\xe3o'"},
                      // A NUL would end the statement sent as a C string.
                      TNoEscapesCase{"NulAsHex", std::string("a\0'\\", 4), "_latin1 X'6100275C'"}),
    [](const ::testing::TestParamInfo<TNoEscapesCase>& info) { return std::string(info.param.name); });

// What a field keeps when the run sets it, and the refusals, each with its message.
struct TSetCase {
    const char* name;
    TColumnKind kind;
    std::string text;
    std::optional<std::string> kept;  // nullopt: NULL
    const char* error = nullptr;      // the EConvertError's message instead
};

class SetTextTest : public ::testing::TestWithParam<TSetCase> {};

TEST_P(SetTextTest, KeepsTheValueOrRefusesTheText) {
    const TSetCase& c = GetParam();
    if (c.error) {
        EXPECT_TRUE(ThrowsExactly<EConvertError>([&] { ValueOfSetText(c.kind, c.text, "f"); }, c.error));
    } else {
        EXPECT_EQ(ValueOfSetText(c.kind, c.text, "f"), c.kept);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetTextTest,
    ::testing::Values(
        TSetCase{"IntegerByTheIntegerTextRule", {K::Integer, 0}, " $1F", "31"},
        TSetCase{"IntegerEmptyIsNull", {K::Integer, 0}, "", std::nullopt},
        TSetCase{"IntegerNoNumber", {K::Integer, 0}, "1x", std::nullopt, "'1x' is not a valid integer value for field 'f'"},
        TSetCase{"LargeInt", {K::LargeInt, 0}, "-9223372036854775808", "-9223372036854775808"},
        TSetCase{"LargeIntBeyond64Bits", {K::LargeInt, 0}, "9223372036854775808", std::nullopt,
                 "'9223372036854775808' is not a valid integer value for field 'f'"},
        TSetCase{"FloatAsWritten", {K::Float, 0}, "1.50", "1.50"},
        TSetCase{"FloatNoNumber", {K::Float, 0}, "1,5", std::nullopt,
                 "'1,5' is not a valid floating point value for field 'f'"},
        TSetCase{"DateTimeAsWritten", {K::DateTime, 0}, "2024-02-29T10:11:12", "2024-02-29T10:11:12"},
        TSetCase{"TimeEmptyIsNull", {K::Time, 0}, "", std::nullopt},
        TSetCase{"DateNoDate", {K::Date, 0}, "29/02/2024", std::nullopt,
                 "'29/02/2024' is not a valid date and time value for field 'f'"},
        TSetCase{"TextCutToItsSize", {K::Text, 3}, "abcdef", "abc"},
        TSetCase{"TextEmptyStaysText", {K::Text, 3}, "", ""},
        TSetCase{"LongTextWhole", {K::LongText, 0}, std::string(600, 'x'), std::string(600, 'x')}),
    [](const ::testing::TestParamInfo<TSetCase>& info) { return std::string(info.param.name); });

TEST(SetIntegerTest, DecimalFormAndNoneForADateField) {
    EXPECT_EQ(ValueOfSetInteger({K::Integer, 0}, -5, "f"), "-5");
    EXPECT_EQ(ValueOfSetInteger({K::Text, 2}, 1234, "f"), "12");
    EXPECT_TRUE(ThrowsExactly<EConvertError>([] { ValueOfSetInteger({K::Date, 0}, 7, "d"); },
                                             "'7' is not a valid date and time value for field 'd'"));
}

// An integer field's value beyond 32 bits keeps its digits when read as text and refuses to be
// read as a number, which it would not be.
TEST(ReadValueTest, IntegersKeepTheirDigitsAndNeverBecomeAnotherNumber) {
    EXPECT_EQ(ValueAsRead({K::Integer, 0}, "3000000000"), "3000000000");
    EXPECT_EQ(ValueAsRead({K::Integer, 0}, "007"), "7");
    EXPECT_EQ(ValueAsRead({K::Integer, 0}, ""), "0");
    EXPECT_EQ(IntegerOfValue({K::Integer, 0}, "-12"), -12);
    EXPECT_TRUE(ThrowsExactly<EConvertError>([] { IntegerOfValue({K::Integer, 0}, "3000000000"); },
                                             "'3000000000' is not a valid integer value"));
    EXPECT_EQ(IntegerOfValue({K::Text, 10}, "$10"), 16);
    EXPECT_TRUE(ThrowsExactly<EConvertError>([] { IntegerOfValue({K::Text, 2}, "abc"); },
                                             "'ab' is not a valid integer value"));
}

}  // namespace
}  // namespace tarvik
