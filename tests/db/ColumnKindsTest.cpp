#include "db/ColumnKinds.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

struct TKindCase {
    const char* type;
    TColumnKind kind;
};

class ColumnKindsTest : public ::testing::TestWithParam<TKindCase> {};

TEST_P(ColumnKindsTest, KindAndSizeFromTheTypeText) {
    const TColumnKind kind = KindFromColumnType(GetParam().type);
    EXPECT_EQ(kind.kind, GetParam().kind.kind) << GetParam().type;
    EXPECT_EQ(kind.size, GetParam().kind.size) << GetParam().type;
}

using K = TFieldKind;

INSTANTIATE_TEST_SUITE_P(
    Cases, ColumnKindsTest,
    ::testing::Values(
        TKindCase{"bigint(20)", {K::LargeInt, 0}}, TKindCase{"bigint(20) unsigned", {K::LargeInt, 0}},
        TKindCase{"int(11)", {K::Integer, 0}}, TKindCase{"int", {K::Integer, 0}},
        TKindCase{"tinyint(1)", {K::Integer, 0}}, TKindCase{"smallint(6) unsigned", {K::Integer, 0}},
        TKindCase{"mediumint(9)", {K::Integer, 0}}, TKindCase{"year(4)", {K::Integer, 0}},
        TKindCase{"point", {K::Integer, 0}},  // "int" anywhere wins over what follows
        TKindCase{"double", {K::Float, 0}}, TKindCase{"float(7,2)", {K::Float, 0}},
        TKindCase{"real", {K::Float, 0}}, TKindCase{"decimal(10,2)", {K::Float, 0}},
        TKindCase{"numeric(5,0)", {K::Float, 0}},
        TKindCase{"char(1)", {K::Text, 1}}, TKindCase{"char", {K::Text, 50}}, TKindCase{"char(x)", {K::Text, 50}},
        TKindCase{"char(0)", {K::Text, 50}}, TKindCase{"varchar(10)", {K::Text, 10}},
        TKindCase{"varchar(512)", {K::Text, 512}}, TKindCase{"varchar(513)", {K::Text, 512}},
        TKindCase{"varchar(2000)", {K::Text, 512}}, TKindCase{"varchar(", {K::Text, 50}},
        TKindCase{"enum('a','bcd')", {K::Text, 3}}, TKindCase{"enum('it''s','x')", {K::Text, 4}},
        TKindCase{"enum('')", {K::Text, 50}}, TKindCase{"set('a','b')", {K::Text, 8}},
        TKindCase{"date", {K::Date, 0}}, TKindCase{"datetime", {K::DateTime, 0}},
        TKindCase{"timestamp", {K::DateTime, 0}}, TKindCase{"timestamp(6)", {K::DateTime, 0}},
        TKindCase{"time", {K::Time, 0}}, TKindCase{"datetime(6)", {K::None, 0}}, TKindCase{"time(3)", {K::None, 0}},
        TKindCase{"blob", {K::Bytes, 0}}, TKindCase{"mediumblob", {K::Bytes, 0}},
        TKindCase{"text", {K::LongText, 0}}, TKindCase{"longtext", {K::LongText, 0}},
        TKindCase{"varbinary(5)", {K::None, 0}}, TKindCase{"binary(4)", {K::None, 0}},
        TKindCase{"bit(1)", {K::None, 0}}, TKindCase{"longtext", {K::LongText, 0}},
        TKindCase{"INT(11)", {K::None, 0}},  // the tests are case-sensitive
        TKindCase{"", {K::None, 0}}));

}  // namespace
}  // namespace tarvik
