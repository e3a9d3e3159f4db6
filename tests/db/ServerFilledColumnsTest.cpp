// Columns the run does not set, against the real server in its default strict mode: the row
// the layer inserts is the row the server writes when it is left to fill every other column
// by itself (an INSERT naming only the three columns the run sets, into a twin table).
#include "tests/db/DbTestSupport.h"

namespace tarvik::test {
namespace {

struct TFilledColumn {
    const char* name;
    std::string definition;  // added to the target table
    std::string sent;        // what the insert carries for that column
};

void PrintTo(const TFilledColumn& c, std::ostream* os) { *os << c.name; }

class ServerFilledColumnsTest : public DbServerTest, public ::testing::WithParamInterface<TFilledColumn> {};

TEST_P(ServerFilledColumnsTest, InsertedRowIsTheOneTheServerFillsByItself) {
    const TFilledColumn& c = GetParam();
    const std::string table = "(produto_id INT NOT NULL, filial_id INT NOT NULL, lojas_leram CHAR(1) NOT NULL, " +
                              c.definition + ")";
    db.Exec("CREATE TABLE estoque_minimo " + table);
    db.Exec("CREATE TABLE espelho " + table);

    qInclui.SetStatement("Select * from estoque_minimo where produto_id = 0");
    qInclui.Open();
    qInclui.AppendRow();
    qInclui.SetFieldInteger("produto_id", 12);
    qInclui.SetFieldInteger("filial_id", 3);
    qInclui.SetFieldText("lojas_leram", "3");
    qInclui.PostRow();
    db.Exec("INSERT INTO espelho (produto_id, filial_id, lojas_leram) VALUES (12, 3, '3')");

    EXPECT_EQ(db.Query("SELECT * FROM estoque_minimo"), db.Query("SELECT * FROM espelho"));
    const std::vector<std::string> sent = db.Statements(OurSession());
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back(), "INSERT INTO estoque_minimo (produto_id, filial_id, lojas_leram, extra) VALUES (12, 3, '3', " +
                               c.sent + ")");
}

INSTANTIATE_TEST_SUITE_P(
    Columns, ServerFilledColumnsTest,
    ::testing::Values(
        TFilledColumn{"IntUnsignedDefaultBeyond32Bits", "extra INT UNSIGNED NOT NULL DEFAULT 3000000000", "3000000000"},
        TFilledColumn{"BigintUnsignedDefaultAtItsTop", "extra BIGINT UNSIGNED NOT NULL DEFAULT 18446744073709551615",
                      "18446744073709551615"},
        TFilledColumn{"NegativeBigintDefault", "extra BIGINT NOT NULL DEFAULT -9000000000", "-9000000000"},
        TFilledColumn{"VirtualGeneratedColumn", "extra INT AS (produto_id * 2) VIRTUAL", "DEFAULT"},
        TFilledColumn{"StoredGeneratedColumn", "extra BIGINT AS (produto_id * 1000 + filial_id) STORED",
                      "DEFAULT"},
        TFilledColumn{"PersistentGeneratedColumn", "extra INT AS (filial_id + 1) PERSISTENT", "DEFAULT"},
        TFilledColumn{"ExpressionDefaultOnANumber", "extra INT NOT NULL DEFAULT (2 + 3)", "DEFAULT"},
        TFilledColumn{"NotNullEnumWithoutDefault", "extra ENUM('A','I') NOT NULL", "DEFAULT"},
        TFilledColumn{"NotNullEnumWithDefault", "extra ENUM('A','I') NOT NULL DEFAULT 'I'", "'I'"},
        TFilledColumn{"TextDefaultWithQuoteAndBackslash", "extra VARCHAR(40) NOT NULL DEFAULT 'it''s C:\\\\temp'",
                      "'it\\'s C:\\\\temp'"}),
    [](const ::testing::TestParamInfo<TFilledColumn>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarvik::test
