#include "db/AppendedRow.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

using K = TFieldKind;

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
