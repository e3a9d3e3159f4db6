#include "db/InsertStatement.h"

#include <gtest/gtest.h>


namespace tarvik {
namespace {

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

using K = TFieldKind;

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

TEST(BuildInsertStatementTest, ColumnsAndValuesInFieldOrder) {
    EXPECT_EQ(BuildInsertStatement("estoque_minimo", {"produto_id", "filial_id", "lojas_leram"},
                                   {{K::Integer, "12"}, {K::Integer, "3"}, {K::Text, "3"}}),
              "INSERT INTO estoque_minimo (produto_id, filial_id, lojas_leram) VALUES (12, 3, '3')");
    EXPECT_EQ(BuildInsertStatement("t", {"id", "obs"}, {{K::Integer, std::nullopt}, {K::Text, std::nullopt}}),
              "INSERT INTO t (id, obs) VALUES (NULL, NULL)");
    EXPECT_EQ(BuildInsertStatement("t", {}, {}), "INSERT INTO t () VALUES ()");
}

TEST(BuildInsertStatementTest, NamesThatNeedItGoInBackquotes) {
    EXPECT_EQ(BuildInsertStatement("t", {"produto_id", "order", "min qty", "obs"},
                                   {{K::Integer, "1"}, {K::Integer, "2"}, {K::Integer, "3"}, {K::Text, "x"}}),
              "INSERT INTO t (produto_id, `order`, `min qty`, obs) VALUES (1, 2, 3, 'x')");
}

struct TNameCase {
    const char* name;
    const char* written;
};

class ColumnNameTest : public ::testing::TestWithParam<TNameCase> {};

TEST_P(ColumnNameTest, QuotedExactlyWhereTheServerNeedsIt) {
    std::string out;
    AppendColumnName(out, GetParam().name);
    EXPECT_EQ(out, GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ColumnNameTest,
    ::testing::Values(
        // Ordinary names stay as they are.
        TNameCase{"produto_id", "produto_id"}, TNameCase{"lojas_leram", "lojas_leram"}, TNameCase{"Obs", "Obs"},
        TNameCase{"price$", "price$"}, TNameCase{"2col", "2col"}, TNameCase{"1ex", "1ex"}, TNameCase{"e1", "e1"},
        TNameCase{"status", "status"}, TNameCase{"date", "date"}, TNameCase{"orders", "orders"},
        // Reserved in both servers, in any letter case.
        TNameCase{"order", "`order`"}, TNameCase{"DESC", "`DESC`"}, TNameCase{"Key", "`Key`"},
        TNameCase{"group", "`group`"}, TNameCase{"interval", "`interval`"},
        // Reserved in only one of them.
        TNameCase{"rank", "`rank`"}, TNameCase{"groups", "`groups`"}, TNameCase{"lateral", "`lateral`"},
        TNameCase{"current_role", "`current_role`"}, TNameCase{"returning", "`returning`"},
        TNameCase{"offset", "`offset`"}, TNameCase{"_filename", "`_filename`"},
        // Characters outside [A-Za-z0-9_$].
        TNameCase{"min qty", "`min qty`"}, TNameCase{"a-b", "`a-b`"}, TNameCase{"obs\xe7", "`obs\xe7`"},
        TNameCase{"a`b", "`a``b`"}, TNameCase{"", "``"},
        // Names that read as numbers.
        TNameCase{"123", "`123`"}, TNameCase{"1e5", "`1e5`"}, TNameCase{"1E5x", "`1E5x`"},
        TNameCase{"0x1F", "`0x1F`"}, TNameCase{"0b101", "`0b101`"}));

}  // namespace
}  // namespace tarvik
