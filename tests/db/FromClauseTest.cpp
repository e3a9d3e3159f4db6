#include "db/FromClause.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

struct TFromCase {
    const char* name;
    const char* statement;
    std::vector<std::string> tables;
};

class FromClauseTest : public ::testing::TestWithParam<TFromCase> {};

TEST_P(FromClauseTest, FindsTheTables) { EXPECT_EQ(FromClauseTables(GetParam().statement), GetParam().tables); }

INSTANTIATE_TEST_SUITE_P(
    Cases, FromClauseTest,
    ::testing::Values(
        TFromCase{"OneTable", "Select produto_id from produto\r\n", {"produto"}},
        TFromCase{"StopsAtWhere", "Select * from estoque_minimo where produto_id = 12 and filial_id = 3",
                  {"estoque_minimo"}},
        TFromCase{"Comma", "select * from a, b,c where x", {"a", "b", "c"}},
        TFromCase{"AliasWithAndWithoutAs", "select * from a x, b AS y, c as z", {"a", "b", "c"}},
        TFromCase{"Join", "select * from a join b on a.i = b.i join c using (i)", {"a", "b", "c"}},
        TFromCase{"JoinModifiersAreNoAlias", "select * from a LEFT OUTER JOIN b ON a.i=b.i inner join c x on 1",
                  {"a", "b", "c"}},
        TFromCase{"CommaInsideParenthesesSeparatesNoTables",
                  "select * from a join b using (id, x) join c on f(a.x, b.y) = 1, d", {"a", "b", "c", "d"}},
        TFromCase{"AliasBeforeJoin", "select * from a t1 join b t2 on t1.i = t2.i", {"a", "b"}},
        TFromCase{"StopWordsInAnyCase", "SELECT * FROM a GROUP BY x", {"a"}},
        TFromCase{"Order", "select * from a order by 1", {"a"}},
        TFromCase{"Having", "select * from a HaViNg 1", {"a"}},
        TFromCase{"Limit", "select * from a limit 3", {"a"}},
        TFromCase{"For", "select * from a for update", {"a"}},
        TFromCase{"Into", "select * from a into @x", {"a"}},
        TFromCase{"Procedure", "select * from a procedure analyse()", {"a"}},
        TFromCase{"SecondFrom", "select * from a from b", {"a"}},
        TFromCase{"Semicolon", "select * from a;select * from b", {"a"}},
        TFromCase{"SemicolonAfterBlank", "select * from a ; b", {"a"}},
        TFromCase{"QuotesAndBracketsRemoved", "select * from `a`, \"b\", [c d], 'e' where 1", {"a", "b", "c d", "e"}},
        TFromCase{"QualifiedName", "select * from `db`.`tab` t", {"db.tab"}},
        TFromCase{"QuotedKeywordIsATable", "select * from `where` w", {"where"}},
        TFromCase{"FromInsideQuotesIsNotTheClause", "select 'from x' from y", {"y"}},
        TFromCase{"FromAsPartOfAWord", "select fromage from cheese", {"cheese"}},
        TFromCase{"LineBreaks", "select *\r\nfrom\r\na\r\nwhere 1\r\n", {"a"}},
        TFromCase{"NoFrom", "select 1+1", {}},
        TFromCase{"NothingAfterFrom", "select * from", {}},
        TFromCase{"Empty", "", {}}),
    [](const ::testing::TestParamInfo<TFromCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarvik
