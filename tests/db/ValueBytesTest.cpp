// Hostile text values through the live query's INSERT: whatever bytes a value holds, the
// server stores exactly those bytes, and the statement stays one statement.
#include "tests/db/DbTestSupport.h"

#include <algorithm>

namespace tarvik {
namespace {

using test::TRow;

std::string HexOf(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

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

class ValueBytesTest : public test::DbServerTest {
protected:
    void SetUp() override {
        db.Exec("CREATE TABLE produto (produto_id INT NOT NULL PRIMARY KEY)");
        db.Exec("INSERT INTO produto VALUES (1), (2)");
        // One column of each kind that takes text: sized text, long text, byte string.
        db.Exec("CREATE TABLE valores (id INT NOT NULL, texto VARCHAR(300) CHARACTER SET latin1 NOT NULL,"
                " longo TEXT CHARACTER SET latin1, bytes BLOB) ENGINE=InnoDB");
    }
};

// Every case is one row of one run, so the server's log is read once for all of them.
TEST_F(ValueBytesTest, HostileValuesReachTheServerByteForByteEachAsOneStatement) {
    const std::vector<TValueCase>& cases = ValueCases();
    qInclui.SetStatement("Select * from valores where id = 0");
    qInclui.Open();
    for (size_t i = 0; i < cases.size(); ++i) {
        qInclui.AppendRow();
        qInclui.SetFieldInteger("id", static_cast<int32_t>(i + 1));
        for (const char* column : {"texto", "longo", "bytes"}) qInclui.SetFieldText(column, cases[i].value);
        qInclui.PostRow();
    }

    const std::vector<TRow> stored = db.Query("SELECT id, HEX(texto), HEX(longo), HEX(bytes) FROM valores ORDER BY id");
    ASSERT_EQ(stored.size(), cases.size());
    // Read back through the main link as well: the same bytes, NULs and all.
    qTemp.SetStatement("Select * from valores order by id");
    qTemp.Open();
    for (size_t i = 0; i < cases.size(); ++i, qTemp.MoveNext()) {
        SCOPED_TRACE(cases[i].name);
        const std::string hex = HexOf(cases[i].value);
        EXPECT_EQ(stored[i], (TRow{std::to_string(i + 1), hex, hex, hex}));
        for (const char* column : {"texto", "longo", "bytes"}) EXPECT_EQ(HexOf(qTemp.GetFieldText(column)), hex) << column;
    }

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

}  // namespace
}  // namespace tarvik
