// Hostile text values through the live query's INSERT: whatever bytes a value holds, the
// server stores exactly those bytes, and the statement stays one statement. Both ways a server
// may read backslashes: the usual escapes, and sql_mode NO_BACKSLASH_ESCAPES (on a server of
// the test's own, since the mode is the server's global setting).
#include "tests/db/DbTestSupport.h"
#include "identification/UConnectionInfoClass.h"
#include "tests/support/PrivateServer.h"

#include <algorithm>
#include <functional>
#include <memory>

namespace tarvik {
namespace {

using test::TRow;

std::string Bytes(int from, int to) {
    std::string out;
    for (int c = from; c <= to; ++c) out += static_cast<char>(c);
    return out;
}

struct TValueCase {
    const char* name;
    std::string value;
};

const std::vector<TValueCase>& ValueCases() {
    static const std::vector<TValueCase> cases = {
        {"NUL", std::string("a\0b\0\0", 5)},
        {"quotes", "O'Brien said \"no\" '' \"\" `x`"},
        // A value ending in a backslash must not swallow the quote that closes it.
        {"backslashes", "\\ \\\\ \\' \\\" \\0 \\n end\\"},
        {"line breaks", "one\r\ntwo\nthree\rfour\n"},
        {"Ctrl-Z", "\x1a" "a\x1a"},
        // Blanks inside the quotes are not the statement's own: not one is collapsed or trimmed.
        {"blanks and tabs", "  a   b\t\tc \r\n d  "},
        {"0x80 to 0xFF", Bytes(0x80, 0xFF)},
        {"every byte", Bytes(0x00, 0xFF)},
        {"injection", "x'); DROP TABLE produto; --"},
        {"injection after a backslash", "x\\'); DROP TABLE produto; -- "},
        {"injection in double quotes", "x\"); DROP TABLE produto; --"},
    };
    return cases;
}

// Two tables: produto, to show that nothing but the inserts ran, and one column of each kind
// that takes text: sized text, long text, byte string.
const char* const kValueTables[] = {
    "CREATE TABLE produto (produto_id INT NOT NULL PRIMARY KEY)",
    "INSERT INTO produto VALUES (1), (2)",
    "CREATE TABLE valores (id INT NOT NULL, texto VARCHAR(300) CHARACTER SET latin1 NOT NULL,"
    " longo TEXT CHARACTER SET latin1, bytes BLOB) ENGINE=InnoDB",
};
const char* const kStoredValues = "SELECT id, HEX(texto), HEX(longo), HEX(bytes) FROM valores ORDER BY id";

// Inserts every case as one row through the live query, then reads the rows back through the
// main link and through `stored` (kStoredValues on the server), expecting the same bytes.
void InsertAndReadBackEveryCase(test::TMainConnection& link, const std::function<std::vector<TRow>()>& stored) {
    const std::vector<TValueCase>& cases = ValueCases();
    link.qInclui.SetStatement("Select * from valores where id = 0");
    link.qInclui.Open();
    for (size_t i = 0; i < cases.size(); ++i) {
        link.qInclui.AppendRow();
        link.qInclui.SetFieldInteger("id", static_cast<int32_t>(i + 1));
        for (const char* column : {"texto", "longo", "bytes"}) link.qInclui.SetFieldText(column, cases[i].value);
        link.qInclui.PostRow();
    }

    const std::vector<TRow> rows = stored();
    ASSERT_EQ(rows.size(), cases.size());
    // Read back through the main link as well: the same bytes, NULs and all.
    link.qTemp.SetStatement("Select * from valores order by id");
    link.qTemp.Open();
    for (size_t i = 0; i < cases.size(); ++i, link.qTemp.MoveNext()) {
        SCOPED_TRACE(cases[i].name);
        const std::string hex = TextToHex(cases[i].value);
        EXPECT_EQ(rows[i], (TRow{std::to_string(i + 1), hex, hex, hex}));
        for (const char* column : {"texto", "longo", "bytes"})
            EXPECT_EQ(TextToHex(link.qTemp.GetFieldText(column)), hex) << column;
    }
}

class ValueBytesTest : public test::DbServerTest {
protected:
    void SetUp() override {
        for (const char* sql : kValueTables) db.Exec(sql);
    }
};

// Every case is one row of one run, so the server's log is read once for all of them.
TEST_F(ValueBytesTest, HostileValuesReachTheServerByteForByteEachAsOneStatement) {
    const std::vector<TValueCase>& cases = ValueCases();
    InsertAndReadBackEveryCase(main, [this] { return db.Query(kStoredValues); });

    // Each insert went as one statement and nothing else ran: no table is gone.
    const std::vector<std::string> sent = db.Statements(OurSession());
    ASSERT_EQ(sent.size(), 3 + cases.size() + 3);
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(sent[3 + i].rfind("INSERT INTO valores (id, texto, longo, bytes) VALUES (" + std::to_string(i + 1) +
                                        ", '",
                                    0),
                  0u)
            << sent[3 + i];
    EXPECT_EQ(sent.back(), "Select * from valores order by id");
    EXPECT_EQ(db.Query("SELECT produto_id FROM produto ORDER BY 1"), (std::vector<TRow>{{"1"}, {"2"}}));
    EXPECT_EQ(db.Scalar("SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = '" + db.Name() + "'"),
              "2");
}

// A server whose sql_mode holds NO_BACKSLASH_ESCAPES, with strict mode on.
class NoBackslashEscapesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = std::make_unique<test::TPrivateServer>();
        server_->Exec("SET GLOBAL sql_mode = 'STRICT_TRANS_TABLES,NO_BACKSLASH_ESCAPES'");
        server_->Exec("SET GLOBAL general_log = 1, log_output = 'TABLE'");
    }
    static void TearDownTestSuite() { server_.reset(); }

    void SetUp() override {
        server_->Exec("DROP DATABASE IF EXISTS loja; CREATE DATABASE loja CHARACTER SET latin1");
        link_ = std::make_unique<test::TMainConnection>(server_->Address(), "loja");
    }

    static std::vector<TRow> InLoja(const std::string& sql) { return server_->Query("USE loja; " + sql); }

    // The statements the main link sent to the private server that begin with `prefix`.
    static std::vector<std::string> SentStartingWith(const std::string& prefix) {
        std::vector<std::string> sent;
        for (const TRow& row : server_->Query("SELECT argument FROM mysql.general_log WHERE command_type = 'Query'"
                                              " AND user_host NOT LIKE '%localhost%' ORDER BY event_time"))
            if (row[0] && row[0]->rfind(prefix, 0) == 0) sent.push_back(*row[0]);
        return sent;
    }

    static std::unique_ptr<test::TPrivateServer> server_;
    std::unique_ptr<test::TMainConnection> link_;
};

std::unique_ptr<test::TPrivateServer> NoBackslashEscapesTest::server_;

TEST_F(NoBackslashEscapesTest, HostileValuesReachTheServerByteForByteEachAsOneStatement) {
    for (const char* sql : kValueTables) InLoja(sql);
    InsertAndReadBackEveryCase(*link_, [] { return InLoja(kStoredValues); });

    // One statement each: a value holding a NUL as a hexadecimal literal, the others quoted
    // with only their single quotes doubled.
    const std::vector<std::string> inserts = SentStartingWith("INSERT INTO valores");
    ASSERT_EQ(inserts.size(), ValueCases().size());
    EXPECT_EQ(inserts[0], "INSERT INTO valores (id, texto, longo, bytes) VALUES (1, _latin1 X'6100620000', "
                          "_latin1 X'6100620000', _latin1 X'6100620000')");
    EXPECT_NE(inserts[1].find(", 'O''Brien said \"no\" '''' \"\" `x`', "), std::string::npos) << inserts[1];
    EXPECT_EQ(InLoja("SELECT produto_id FROM produto ORDER BY 1"), (std::vector<TRow>{{"1"}, {"2"}}));
}

// A default holding a quote and a backslash, which the usual escapes would break in this mode.
TEST_F(NoBackslashEscapesTest, DefaultWithQuoteAndBackslashIsStoredAsTheServerWouldFillIt) {
    InLoja("CREATE TABLE estoque_minimo (produto_id INT NOT NULL, filial_id INT NOT NULL,"
           " lojas_leram CHAR(1) NOT NULL, caminho VARCHAR(40) NOT NULL DEFAULT 'it''s C:\\temp')");
    link_->qInclui.SetStatement("Select * from estoque_minimo where produto_id = 0");
    link_->qInclui.Open();
    link_->qInclui.AppendRow();
    link_->qInclui.SetFieldInteger("produto_id", 12);
    link_->qInclui.SetFieldInteger("filial_id", 3);
    link_->qInclui.SetFieldText("lojas_leram", "3");
    link_->qInclui.PostRow();

    EXPECT_EQ(InLoja("SELECT produto_id, filial_id, lojas_leram, caminho FROM estoque_minimo"),
              (std::vector<TRow>{{"12", "3", "3", "it's C:\\temp"}}));
    EXPECT_EQ(SentStartingWith("INSERT INTO estoque_minimo"),
              std::vector<std::string>{"INSERT INTO estoque_minimo (produto_id, filial_id, lojas_leram, caminho)"
                                       " VALUES (12, 3, '3', 'it''s C:\\temp')"});
}

}  // namespace
}  // namespace tarvik
