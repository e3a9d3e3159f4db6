#include "db/StatementText.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

struct TSendingCase {
    const char* name;
    std::string text;
    std::string sent;
};

class SendingRuleTest : public ::testing::TestWithParam<TSendingCase> {};

TEST_P(SendingRuleTest, SendsTheNormalisedText) { EXPECT_EQ(PrepareStatementText(GetParam().text), GetParam().sent); }

INSTANTIATE_TEST_SUITE_P(
    Cases, SendingRuleTest,
    ::testing::Values(
        TSendingCase{"StatementLineEnd", "Select produto_id from produto\r\n", "Select produto_id from produto"},
        TSendingCase{"ControlCharactersAtBothEnds", std::string("\x01\x1f \tSELECT 1\x0b\x00", 12), "SELECT 1"},
        TSendingCase{"RunsOfBlanksBecomeOne", "Select *  from\t\tt \r\n where\n\na = 1",
                     "Select * from t where a = 1"},
        TSendingCase{"OtherControlCharactersInsideStay", "a\x0b\x0c b", "a\x0b\x0c b"},
        TSendingCase{"BlanksInsideSingleQuotesStay", "x  'a  \t\r\nb'  y", "x 'a  \t\r\nb' y"},
        TSendingCase{"BlanksInsideDoubleQuotesStay", "x  \"a  b\"  y", "x \"a  b\" y"},
        TSendingCase{"OtherQuoteInsideIsPlain", "x  'a \"  b'  \"c  'd\"  y", "x 'a \"  b' \"c  'd\" y"},
        TSendingCase{"EscapedQuoteDoesNotClose", "v('O\\'B  x')  z", "v('O\\'B  x') z"},
        TSendingCase{"QuoteAfterBackslashOutsideDoesNotOpen", "a \\'  b", "a \\' b"},
        TSendingCase{"EscapedBackslashBeforeClosingQuote", "('x\\\\', 'a  b')  z", "('x\\\\', 'a  b') z"},
        TSendingCase{"DoubledQuoteReopens", "'it''s  x'  y", "'it''s  x' y"},
        TSendingCase{"UnterminatedQuoteKeepsTheRest", "a  'b   c", "a 'b   c"},
        TSendingCase{"HighBytesAreNotBlanks", "\xe9  \xa0x", "\xe9 \xa0x"},
        TSendingCase{"OnlyBlanks", " \r\n\t ", ""},
        TSendingCase{"Empty", "", ""}),
    [](const ::testing::TestParamInfo<TSendingCase>& info) { return std::string(info.param.name); });

// Where the server takes a backslash as a plain character, a value ending in one closes its
// stretch there, and the blanks of the next value stay as they are.
TEST(SendingRuleTest, WithoutBackslashEscapesABackslashIsPlain) {
    const std::string text = "VALUES ('C:\\', 'a  b')  z";
    EXPECT_EQ(PrepareStatementText(text, TQuoting::NoBackslashEscapes), "VALUES ('C:\\', 'a  b') z");
    EXPECT_EQ(PrepareStatementText("a \\'  b'  c", TQuoting::NoBackslashEscapes), "a \\'  b' c");
}

TEST(BeginsWithSelectTest, LetterCaseAndLeadingBlanks) {
    EXPECT_TRUE(BeginsWithSelect("Select produto_id from produto\r\n"));
    EXPECT_TRUE(BeginsWithSelect("\r\n  sElEcT 1"));
    EXPECT_FALSE(BeginsWithSelect("SHOW TABLES"));
    EXPECT_FALSE(BeginsWithSelect("SELEC"));
    EXPECT_FALSE(BeginsWithSelect(""));
}

}  // namespace
}  // namespace tarvik
