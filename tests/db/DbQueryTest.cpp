// The queries of the main connection, against the test server.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "platform/Errors.h"
#include "tests/db/DbTestSupport.h"
#include "tests/support/ThrowsExactly.h"

namespace tarvik::test {
namespace {

// The statements our session sent after the one given (all of them for an empty one).
std::vector<std::string> After(const std::vector<std::string>& statements, const std::string& last) {
    for (size_t i = 0; i < statements.size(); ++i)
        if (statements[i] == last) return {statements.begin() + static_cast<long>(i) + 1, statements.end()};
    return last.empty() ? statements : std::vector<std::string>{"<" + last + " not sent>"};
}

std::vector<std::string> Pair(const std::string& table) {
    return {"SHOW COLUMNS FROM " + table, "SHOW INDEX FROM " + table};
}

class QueryTest : public DbServerTest {
protected:
    QueryTest() {
        db.Exec("CREATE TABLE produto (produto_id int NOT NULL PRIMARY KEY)");
        db.Exec(
            "CREATE TABLE estoque_minimo (produto_id int NOT NULL, filial_id int NOT NULL, "
            "lojas_leram char(1) NOT NULL, PRIMARY KEY (produto_id, filial_id))");
    }
};

TEST_F(QueryTest, TheRunSendsExactlyTheseStatements) {
    db.Exec("INSERT INTO produto VALUES (12), (13), (14)");
    db.Exec("INSERT INTO estoque_minimo VALUES (13, 3, '3'), (14, 5, '5')");
    const std::string t = "estoque_minimo";
    const int branch = 3;

    qProdutos.SetStatement("Select produto_id from produto");
    qProdutos.Open();
    qInclui.SetStatement("Select * from " + t + " where produto_id = 0");
    qInclui.Open();
    EXPECT_EQ(qProdutos.RowCount(), 3);
    int probes = 0;
    while (!qProdutos.AtEnd()) {
        const std::string p = qProdutos.GetFieldText("produto_id");
        qTemp.SetStatement("Select * from " + t + " where produto_id = " + p + " and filial_id = " +
                           std::to_string(branch));
        qTemp.Open();
        if (qTemp.NoRows()) {
            qInclui.AppendRow();
            qInclui.SetFieldInteger("produto_id", qProdutos.GetFieldInteger("produto_id"));
            qInclui.SetFieldInteger("filial_id", branch);
            qInclui.SetFieldText("lojas_leram", "3");
            qInclui.PostRow();
        }
        qTemp.Close();
        qProdutos.MoveNext();
        ++probes;
    }
    qProdutos.Close();
    qInclui.Close();
    EXPECT_EQ(probes, 3);

    std::vector<std::string> expected = {ConnectRow()};
    auto add = [&](std::vector<std::string> statements) {
        for (std::string& s : statements) expected.push_back("Query\t" + s);
    };
    add(Pair("produto"));
    add({"Select produto_id from produto"});
    add(Pair(t));
    add({"Select * from estoque_minimo where produto_id = 0"});
    add(Pair(t));
    add({"Select * from estoque_minimo where produto_id = 12 and filial_id = 3",
         "INSERT INTO estoque_minimo (produto_id, filial_id, lojas_leram) VALUES (12, 3, '3')"});
    add(Pair(t));
    add({"Select * from estoque_minimo where produto_id = 13 and filial_id = 3"});
    add(Pair(t));
    add({"Select * from estoque_minimo where produto_id = 14 and filial_id = 3",
         "INSERT INTO estoque_minimo (produto_id, filial_id, lojas_leram) VALUES (14, 3, '3')"});
    EXPECT_EQ(db.GeneralLog(OurSession()), expected);

    EXPECT_EQ(db.Query("SELECT produto_id, filial_id, lojas_leram FROM estoque_minimo ORDER BY 1, 2"),
              (std::vector<TRow>{{"12", "3", "3"}, {"13", "3", "3"}, {"14", "3", "3"}, {"14", "5", "5"}}));
}

TEST_F(QueryTest, TheLayoutIsLearnedOncePerStatementText) {
    qTemp.SetStatement("Select * from produto");
    qTemp.Open();
    qTemp.Close();
    qTemp.Open();
    qTemp.Open();  // already open: nothing
    qTemp.Close();
    qTemp.SetStatement("Select * from produto");
    qTemp.Open();
    qTemp.SetStatement("Select * from produto p, estoque_minimo e where 1 = 0");
    qTemp.Open();

    std::vector<std::string> expected = Pair("produto");
    for (const char* s : {"Select * from produto", "Select * from produto"}) expected.push_back(s);
    for (const std::string& s : Pair("produto")) expected.push_back(s);
    expected.push_back("Select * from produto");
    for (const std::string& s : Pair("produto")) expected.push_back(s);
    for (const std::string& s : Pair("estoque_minimo")) expected.push_back(s);
    expected.push_back("Select * from produto p, estoque_minimo e where 1 = 0");
    EXPECT_EQ(db.Statements(OurSession()), expected);
}

struct TInsertCase {
    const char* name;
    const char* columns;  // the table's columns after produto_id, filial_id
    std::function<void(TDbQuery&)> set;
    std::vector<std::string> sent;  // what PostRow sends
    const char* readBack;           // columns to read back
    TRow row;                       // their values
};

class InsertTest : public DbServerTest, public ::testing::WithParamInterface<TInsertCase> {};

void SetKeys(TDbQuery& q) {
    q.SetFieldInteger("produto_id", 12);
    q.SetFieldInteger("filial_id", 3);
}

TEST_P(InsertTest, SendsTheInsertAndTheRowReadsBackAsSet) {
    const TInsertCase& c = GetParam();
    db.Exec(std::string("CREATE TABLE estoque_minimo (") + c.columns + ")");
    db.Exec("CREATE TABLE other (a int)");
    qInclui.SetStatement("Select * from estoque_minimo where produto_id = 0");
    qInclui.Open();
    qInclui.AppendRow();
    c.set(qInclui);
    qInclui.PostRow();
    EXPECT_EQ(qInclui.State(), TQueryState::Browsing);
    EXPECT_EQ(After(db.Statements(OurSession()), "Select * from estoque_minimo where produto_id = 0"), c.sent);
    EXPECT_EQ(db.Query(std::string("SELECT ") + c.readBack + " FROM estoque_minimo"), std::vector<TRow>{c.row});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InsertTest,
    ::testing::Values(
        TInsertCase{"ThreeColumns", "produto_id int, filial_id int, lojas_leram char(1)",
                    [](TDbQuery& q) {
                        SetKeys(q);
                        q.SetFieldText("lojas_leram", "3");
                    },
                    {"INSERT INTO estoque_minimo (produto_id, filial_id, lojas_leram) VALUES (12, 3, '3')"},
                    "produto_id, filial_id, lojas_leram",
                    {"12", "3", "3"}},
        TInsertCase{"NullableColumnNotSet", "produto_id int, filial_id int, lojas_leram char(1), obs varchar(20) NULL",
                    [](TDbQuery& q) {
                        SetKeys(q);
                        q.SetFieldText("lojas_leram", "3");
                    },
                    {"INSERT INTO estoque_minimo (produto_id, filial_id, lojas_leram, obs) VALUES (12, 3, '3', NULL)"},
                    "lojas_leram, obs",
                    {"3", std::nullopt}},
        TInsertCase{"DefaultsAndNotNullColumns",
                    "produto_id int, filial_id int, lojas_leram char(1), qtd int NOT NULL DEFAULT 7, "
                    "nome varchar(10) NOT NULL DEFAULT 'x''y', nota text DEFAULT 'q r', preco decimal(8,2) DEFAULT 1.50, "
                    "cod char(2) NOT NULL, n int NOT NULL, "
                    "criado timestamp NOT NULL DEFAULT current_timestamp(), dia date NULL",
                    [](TDbQuery& q) {
                        SetKeys(q);
                        q.SetFieldText("lojas_leram", "3");
                    },
                    {"INSERT INTO estoque_minimo (produto_id, filial_id, lojas_leram, qtd, nome, nota, preco, cod, n, "
                     "criado, dia) VALUES (12, 3, '3', 7, 'x\\'y', 'q r', 1.5, '', 0, DEFAULT, NULL)"},
                    "qtd, nome, nota, preco, cod, n, criado > '2000-01-01', dia",
                    {"7", "x'y", "q r", "1.50", "", "0", "1", std::nullopt}},
        TInsertCase{"AutoIncrementColumn",
                    "id int AUTO_INCREMENT PRIMARY KEY, produto_id int, filial_id int, lojas_leram char(1)",
                    [](TDbQuery& q) {
                        SetKeys(q);
                        q.SetFieldText("lojas_leram", "3");
                    },
                    {"INSERT INTO estoque_minimo (id, produto_id, filial_id, lojas_leram) VALUES (NULL, 12, 3, '3')",
                     "SELECT LAST_INSERT_ID()"},
                    "id, produto_id",
                    {"1", "12"}},
        TInsertCase{"AutoIncrementColumnSetByTheCaller",
                    "id int AUTO_INCREMENT PRIMARY KEY, produto_id int, filial_id int",
                    [](TDbQuery& q) {
                        SetKeys(q);
                        q.SetFieldInteger("id", 40);
                    },
                    {"INSERT INTO estoque_minimo (id, produto_id, filial_id) VALUES (40, 12, 3)"},
                    "id",
                    {"40"}},
        TInsertCase{"QuoteBackslashAndLineBreak",
                    "produto_id int, filial_id int, lojas_leram varchar(30), obs varchar(30)",
                    [](TDbQuery& q) {
                        SetKeys(q);
                        q.SetFieldText("lojas_leram", "O'B\"\r\nx\\");
                        q.SetFieldText("obs", "a  \t b");
                    },
                    {"INSERT INTO estoque_minimo (produto_id, filial_id, lojas_leram, obs) VALUES "
                     "(12, 3, 'O\\'B\\\"\\r\\nx\\\\', 'a  \t b')"},
                    "lojas_leram, obs",
                    {"O'B\"\r\nx\\", "a  \t b"}},
        TInsertCase{"IntegerSetFromTextAndEmptyText",
                    "produto_id int, filial_id int NULL, lojas_leram char(3)",
                    [](TDbQuery& q) {
                        q.SetFieldText("produto_id", " -12");
                        q.SetFieldText("filial_id", "");
                        q.SetFieldText("lojas_leram", "abcdef");
                    },
                    {"INSERT INTO estoque_minimo (produto_id, filial_id, lojas_leram) VALUES (-12, NULL, 'abc')"},
                    "produto_id, filial_id, lojas_leram",
                    {"-12", std::nullopt, "abc"}},
        TInsertCase{"ColumnWithoutAKindIsLeftOut",
                    "produto_id int, filial_id int, vb varbinary(5) DEFAULT 'zz'",
                    [](TDbQuery& q) { SetKeys(q); },
                    {"INSERT INTO estoque_minimo (produto_id, filial_id) VALUES (12, 3)"},
                    "vb",
                    {"zz"}}),
    [](const ::testing::TestParamInfo<TInsertCase>& info) { return std::string(info.param.name); });

TEST_F(QueryTest, AutoIncrementValueIsKeptAndInsertedRowsStayInTheRowSet) {
    db.Exec("CREATE TABLE t (id int AUTO_INCREMENT PRIMARY KEY, a int) AUTO_INCREMENT = 5");
    qInclui.SetStatement("Select * from t where a = 0");
    qInclui.Open();
    EXPECT_TRUE(qInclui.NoRows());
    for (int a : {1, 2}) {
        qInclui.AppendRow();
        qInclui.SetFieldInteger("a", a);
        qInclui.PostRow();
    }
    EXPECT_EQ(qInclui.RowCount(), 2);
    EXPECT_FALSE(qInclui.NoRows());
    EXPECT_EQ(qInclui.GetFieldInteger("ID"), 6);
    EXPECT_EQ(qInclui.GetFieldText("a"), "2");
}

TEST_F(QueryTest, ARefusedInsertNamesTheQueryAndKeepsEarlierRows) {
    qInclui.SetStatement("Select * from estoque_minimo where produto_id = 0");
    qInclui.Open();
    for (int filial : {3, 3}) {
        qInclui.AppendRow();
        qInclui.SetFieldInteger("produto_id", 12);
        qInclui.SetFieldInteger("filial_id", filial);
        qInclui.SetFieldText("lojas_leram", "3");
        if (qInclui.RowCount() == 0) {
            qInclui.PostRow();
            continue;
        }
        EXPECT_TRUE(ThrowsExactly<EInsertRefused>([&] { qInclui.PostRow(); },
                                                  "QInclui: Duplicate entry '12-3' for key 'PRIMARY'"));
    }
    EXPECT_EQ(qInclui.State(), TQueryState::Inserting);
    EXPECT_EQ(qInclui.RowCount(), 1);
    EXPECT_TRUE(transacao.Connected());
    EXPECT_EQ(db.Query("SELECT produto_id, filial_id FROM estoque_minimo"), (std::vector<TRow>{{"12", "3"}}));
    // The link still serves the other queries.
    qTemp.SetStatement("Select * from estoque_minimo");
    qTemp.Open();
    EXPECT_EQ(qTemp.GetFieldInteger("filial_id"), 3);
}

TEST_F(QueryTest, FieldsReadWithTheirConversions) {
    db.Exec("CREATE TABLE v (i int NULL, t char(3), b bigint, vb varbinary(4), d date, f double, u int unsigned)");
    db.Exec("INSERT INTO v VALUES (NULL, 'abc', 9000000000, 'xy', '2024-01-02', 2.5, 3000000000),"
            " (7, NULL, 5, NULL, NULL, NULL, 4)");
    qTemp.SetStatement("Select * from v");
    qTemp.Open();
    EXPECT_EQ(qTemp.GetFieldText("i"), "");
    EXPECT_EQ(qTemp.GetFieldInteger("I"), 0);
    EXPECT_EQ(qTemp.GetFieldText("T"), "abc");
    EXPECT_EQ(qTemp.GetFieldText("b"), "9000000000");
    EXPECT_EQ(qTemp.GetFieldText("d"), "2024-01-02");
    EXPECT_EQ(qTemp.GetFieldText("f"), "2.5");
    EXPECT_TRUE(ThrowsExactly<EConvertError>([&] { qTemp.GetFieldInteger("t"); },
                                             "'abc' is not a valid integer value"));
    EXPECT_TRUE(ThrowsExactly<EConvertError>([&] { qTemp.GetFieldInteger("b"); },
                                             "'9000000000' is not a valid integer value"));
    // An integer field whose value does not fit in 32 bits is never read as 0.
    EXPECT_EQ(qTemp.GetFieldText("u"), "3000000000");
    EXPECT_TRUE(ThrowsExactly<EConvertError>([&] { qTemp.GetFieldInteger("u"); },
                                             "'3000000000' is not a valid integer value"));
    EXPECT_TRUE(ThrowsExactly<EDatabaseError>([&] { qTemp.GetFieldText("vb"); }, "QTemp: Field 'vb' not found"));
    EXPECT_TRUE(ThrowsExactly<EDatabaseError>([&] { qTemp.GetFieldText("nope"); }, "QTemp: Field 'nope' not found"));
    qTemp.MoveNext();
    EXPECT_FALSE(qTemp.AtEnd());
    EXPECT_EQ(qTemp.GetFieldText("i"), "7");
    EXPECT_EQ(qTemp.GetFieldInteger("b"), 5);
    EXPECT_EQ(qTemp.GetFieldInteger("u"), 4);
    EXPECT_EQ(qTemp.GetFieldText("t"), "");
    qTemp.MoveNext();
    EXPECT_TRUE(qTemp.AtEnd());
    EXPECT_EQ(qTemp.GetFieldInteger("i"), 7);  // stays on the last row
}

TEST_F(QueryTest, FieldsSetWithTheirConversionsAndMessages) {
    db.Exec("CREATE TABLE s (i int NULL, t char(3) NOT NULL, d date NULL, f double NULL)");
    qInclui.SetStatement("Select * from s where 1 = 0");
    qInclui.Open();
    EXPECT_TRUE(ThrowsExactly<EDatabaseError>([&] { qInclui.SetFieldText("t", "x"); },
                                              "QInclui: Dataset not in edit or insert mode"));
    qInclui.AppendRow();
    EXPECT_EQ(qInclui.GetFieldText("t"), "");  // NOT NULL without a default starts empty
    EXPECT_EQ(qInclui.GetFieldText("i"), "");
    EXPECT_TRUE(ThrowsExactly<EConvertError>([&] { qInclui.SetFieldText("i", "1x"); },
                                             "'1x' is not a valid integer value for field 'i'"));
    EXPECT_TRUE(ThrowsExactly<EConvertError>([&] { qInclui.SetFieldText("f", "1,5"); },
                                             "'1,5' is not a valid floating point value for field 'f'"));
    EXPECT_TRUE(ThrowsExactly<EConvertError>([&] { qInclui.SetFieldText("d", "tomorrow"); },
                                             "'tomorrow' is not a valid date and time value for field 'd'"));
    EXPECT_TRUE(ThrowsExactly<EDatabaseError>([&] { qInclui.SetFieldInteger("x", 1); },
                                              "QInclui: Field 'x' not found"));
    qInclui.SetFieldText("i", "$1F");
    EXPECT_EQ(qInclui.GetFieldInteger("i"), 31);
    qInclui.SetFieldInteger("t", 12345);
    EXPECT_EQ(qInclui.GetFieldText("t"), "123");
    qInclui.SetFieldText("d", "2024-03-04");
    qInclui.SetFieldText("f", "0.1");
    qInclui.PostRow();
    EXPECT_EQ(After(db.Statements(OurSession()), "Select * from s where 1 = 0"),
              std::vector<std::string>{"INSERT INTO s (i, t, d, f) VALUES (31, '123', '2024-03-04', 0.1)"});
}

TEST_F(QueryTest, FailuresOfTheQueriesAndWhatTheyLeave) {
    qTemp.SetStatement("Select * from produto");
    qTemp.Open();
    EXPECT_TRUE(ThrowsExactly<EDatabaseError>([&] { qTemp.AppendRow(); }, "QTemp: Cannot modify a read-only dataset"));
    EXPECT_EQ(qTemp.State(), TQueryState::Browsing);

    qProdutos.SetStatement(" \r\n ");
    EXPECT_TRUE(ThrowsExactly<EDatabaseError>([&] { qProdutos.Open(); }, "Empty Query"));
    EXPECT_FALSE(qProdutos.Active());

    // The server will not describe the missing table: that is not reported, the SELECT is.
    qProdutos.SetStatement("Select * from nope");
    EXPECT_TRUE(ThrowsExactly<EDatabaseError>([&] { qProdutos.Open(); },
                                              "Table '" + db.Name() + ".nope' doesn't exist"));
    EXPECT_FALSE(qProdutos.Active());
    EXPECT_TRUE(qTemp.Active());
    EXPECT_TRUE(transacao.Connected());
    EXPECT_EQ(After(db.Statements(OurSession()), "Select * from produto"),
              (std::vector<std::string>{"SHOW COLUMNS FROM nope", "SHOW INDEX FROM nope", "Select * from nope"}));

    EXPECT_TRUE(ThrowsExactly<EDatabaseError>([&] { qProdutos.MoveNext(); },
                                              "QProdutos: Cannot perform this operation on a closed dataset"));
    EXPECT_TRUE(ThrowsExactly<EDatabaseError>([&] { qProdutos.GetFieldText("a"); }, "QProdutos: Field 'a' not found"));
    EXPECT_TRUE(qProdutos.AtEnd());
    EXPECT_TRUE(qProdutos.NoRows());
}

TEST_F(QueryTest, ResultColumnsNotLearnedTakeTheResultsOwnDescription) {
    db.Exec("INSERT INTO produto VALUES (12)");
    qTemp.SetStatement(
        "Select a.produto_id, b.produto_id, a.produto_id, 1+1 AS n, 'abc' AS s, 2.5 AS f, CAST(NULL AS SIGNED) AS z, "
        "CAST('2024-01-02' AS DATE) AS d, REPEAT('y', 600) AS r "
        "from produto a join produto b on a.produto_id = b.produto_id");
    qTemp.Open();
    EXPECT_EQ(qTemp.GetFieldInteger("produto_id"), 12);
    EXPECT_EQ(qTemp.GetFieldInteger("produto_id_1"), 12);
    EXPECT_EQ(qTemp.GetFieldText("PRODUTO_ID_2"), "12");
    EXPECT_EQ(qTemp.GetFieldInteger("n"), 2);
    EXPECT_EQ(qTemp.GetFieldText("s"), "abc");
    EXPECT_EQ(qTemp.GetFieldText("f"), "2.5");
    EXPECT_EQ(qTemp.GetFieldText("z"), "");
    EXPECT_EQ(qTemp.GetFieldText("d"), "2024-01-02");
    EXPECT_EQ(qTemp.GetFieldText("r"), std::string(512, 'y'));  // a text field keeps at most 512 bytes
}

TEST_F(QueryTest, EmptyResultAndManyRows) {
    qTemp.SetStatement("Select * from produto where produto_id = 1");
    qTemp.Open();
    EXPECT_TRUE(qTemp.NoRows());
    EXPECT_TRUE(qTemp.AtEnd());
    EXPECT_EQ(qTemp.RowCount(), 0);

    const int count = 50000;
    db.Exec("INSERT INTO produto SELECT seq FROM seq_1_to_" + std::to_string(count));
    qProdutos.SetStatement("Select produto_id from produto order by produto_id");
    qProdutos.Open();
    EXPECT_FALSE(qProdutos.NoRows());
    long long sum = 0;
    int seen = 0;
    for (; seen < 10; ++seen) {
        sum += qProdutos.GetFieldInteger("produto_id");
        qProdutos.MoveNext();
    }
    EXPECT_EQ(qProdutos.RowCount(), count);  // copies the rest without moving
    while (!qProdutos.AtEnd()) {
        sum += qProdutos.GetFieldInteger("produto_id");
        ++seen;
        qProdutos.MoveNext();
    }
    EXPECT_EQ(seen, count);
    EXPECT_EQ(sum, static_cast<long long>(count) * (count + 1) / 2);
    EXPECT_EQ(qProdutos.GetFieldText("produto_id"), std::to_string(count));
}

}  // namespace
}  // namespace tarvik::test
