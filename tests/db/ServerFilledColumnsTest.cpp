// Columns the run does not set, against the real server in its default strict mode: the row
// the layer inserts is the row the server writes when it is left to fill every other column
// by itself (an INSERT naming only the three columns the run sets, into a twin table).
#include "tests/db/DbTestSupport.h"

namespace tarvik::test {
namespace {

struct TFilledColumn {
    const char* name;
    std::string definition;        // added to the target table
    std::string sent;              // what the insert carries for that column
    std::string listed = "extra";  // how the insert names it; empty: it is left out
    // What is compared of both tables: everything, or for a default that differs from row to
    // row (uuid()), what it must share with the server's.
    std::string compared = "*";
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

    EXPECT_EQ(db.Query("SELECT " + c.compared + " FROM estoque_minimo"),
              db.Query("SELECT " + c.compared + " FROM espelho"));
    const std::vector<std::string> sent = db.Statements(OurSession());
    ASSERT_FALSE(sent.empty());
    if (c.listed.empty()) {
        EXPECT_EQ(sent.back(), "INSERT INTO estoque_minimo (produto_id, filial_id, lojas_leram) VALUES (12, 3, '3')");
    } else {
        EXPECT_EQ(sent.back(), "INSERT INTO estoque_minimo (produto_id, filial_id, lojas_leram, " + c.listed +
                                   ") VALUES (12, 3, '3', " + c.sent + ")");
    }
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
                      "'it\\'s C:\\\\temp'"},
        // Numbers with a fraction: a literal only where its fifteen-digit form is the default.
        TFilledColumn{"DecimalBeyondADoublesDigits", "extra DECIMAL(30,10) DEFAULT 12345678901234567890.1234567890",
                      "DEFAULT"},
        TFilledColumn{"DecimalOf65Nines", "extra DECIMAL(65,0) DEFAULT " + std::string(65, '9'), "DEFAULT"},
        TFilledColumn{"DecimalWithinADoublesDigits", "extra DECIMAL(10,2) NOT NULL DEFAULT 1.50", "1.5"},
        TFilledColumn{"DoubleOfSeventeenDigits", "extra DOUBLE DEFAULT 1.2345678901234567", "DEFAULT"},
        TFilledColumn{"DoubleWithinFifteenDigits", "extra DOUBLE NOT NULL DEFAULT 0.1", "0.1"},
        // The server prints a FLOAT's default to six digits: 16777217 shows as 16777200.
        TFilledColumn{"FloatPrintedRounded", "extra FLOAT DEFAULT 16777217", "DEFAULT"},
        TFilledColumn{"TimestampWithFraction", "extra TIMESTAMP(3) NULL DEFAULT '2020-01-02 03:04:05.500'",
                      "'2020-01-02 03:04:05.500'"},
        TFilledColumn{"TimestampWithZeroFraction", "extra TIMESTAMP(2) NOT NULL DEFAULT '2020-01-02 03:04:05.00'",
                      "'2020-01-02 03:04:05'"},
        // Texts: VARCHAR and ENUM defaults come raw, quotes and all.
        TFilledColumn{"VarcharDefaultInQuotes", "extra VARCHAR(20) DEFAULT '''x'''", "'\\'x\\''"},
        TFilledColumn{"EnumMemberInQuotes", "extra ENUM('''a''','b') DEFAULT '''a'''", "'\\'a\\''"},
        TFilledColumn{"NullableVarcharEmptyDefault", "extra VARCHAR(10) DEFAULT ''", "''"},
        TFilledColumn{"VarcharDefaultTheFourLettersNull", "extra VARCHAR(10) DEFAULT 'NULL'", "'NULL'"},
        TFilledColumn{"VarcharDefaultLongerThanAField", "extra VARCHAR(1000) DEFAULT '" + std::string(617, 'k') + "'",
                      "'" + std::string(617, 'k') + "'"},
        // Through the latin1 link this default arrives as "??\x80": the server must fill it in.
        TFilledColumn{"Utf8DefaultOutsideLatin1",
                      "extra VARCHAR(10) CHARACTER SET utf8mb4 DEFAULT _utf8mb4 X'E4B8ADE69687E282AC'", "DEFAULT"},
        TFilledColumn{"VarcharDefaultWithAQuestionMark", "extra VARCHAR(10) NOT NULL DEFAULT 'a?b'", "DEFAULT"},
        // TEXT, BLOB and JSON: a quoted default is a literal, a bare one an expression.
        TFilledColumn{"TextExpressionDefault", "extra TEXT DEFAULT concat('a','b')", "DEFAULT"},
        TFilledColumn{"TextUuidDefault", "extra TEXT DEFAULT uuid()", "DEFAULT", "extra",
                      "produto_id, filial_id, lojas_leram, LENGTH(extra)"},
        TFilledColumn{"TextLiteralThatReadsLikeAnExpression", "extra TEXT DEFAULT 'uuid()'", "'uuid()'"},
        TFilledColumn{"TextDefaultTheFourLettersNull", "extra TEXT DEFAULT 'NULL'", "'NULL'"},
        TFilledColumn{"JsonExpressionDefault", "extra JSON DEFAULT (json_object('k',1))", "DEFAULT"},
        TFilledColumn{"JsonLiteralDefault", "extra JSON NOT NULL DEFAULT '{\"a\":1}'", "'{\\\"a\\\":1}'"},
        TFilledColumn{"BlobLiteralDefault", "extra BLOB DEFAULT 'xy'", "'xy'"},
        // Names the server reads only in backquotes.
        TFilledColumn{"ReservedWordOrder", "`order` INT NOT NULL DEFAULT 3", "3", "`order`"},
        TFilledColumn{"ReservedWordDesc", "`desc` VARCHAR(5) DEFAULT 'z'", "'z'", "`desc`"},
        TFilledColumn{"NameWithABlank", "`min qty` INT DEFAULT 4", "4", "`min qty`"},
        TFilledColumn{"NameThatReadsAsANumber", "`1e5` INT DEFAULT 5", "5", "`1e5`"},
        TFilledColumn{"NameWithABackquote", "`a``b` INT DEFAULT 6", "6", "`a``b`"},
        // Through the latin1 link these names arrive as "??": the insert leaves them out.
        TFilledColumn{"NameOutsideLatin1WithADefault", "`\u6570\u91cf` INT NOT NULL DEFAULT 7", "", ""},
        TFilledColumn{"NullableNameOutsideLatin1", "`\u540d\u524d` VARCHAR(5)", "", ""}),
    [](const ::testing::TestParamInfo<TFilledColumn>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarvik::test
