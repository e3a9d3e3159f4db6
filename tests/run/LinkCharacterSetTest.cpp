// A server that reads the link in its own character set, whatever the handshake asked for
// (skip-character-set-client-handshake, or an init_connect that sets other names): in gbk, big5,
// sjis and cp932 the second byte of a character can be a backslash, which pairs with the
// backslash an escape adds after it. The run learns the set from the server's first answers and
// switches the link to latin1 before it writes anything, so every value reaches the server as
// meant, in both modes.
#include "run/RunComponents.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/run/RunSupport.h"
#include "tests/support/PrivateServer.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/ThrowsExactly.h"

namespace tarvik {
namespace {

using test::TRow;

const TBranchIdentity kBranch{[] { return 3; }, [] { return std::string("C"); }};

class LinkCharacterSetTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = std::make_unique<test::TPrivateServer>(
            std::vector<std::string>{"--skip-character-set-client-handshake", "--character-set-server=latin1"});
        server_->Exec("SET GLOBAL general_log = 1, log_output = 'TABLE';"
                      "CREATE USER loja@'%' IDENTIFIED BY '" + server_->Address().password + "';"
                      "GRANT SELECT, INSERT ON *.* TO loja@'%'");  // no SUPER: init_connect runs for it
    }
    static void TearDownTestSuite() { server_.reset(); }

    // A branch of products 1 to 3 whose estoque_minimo has a column `nota` of `set` with the
    // default `defaultHex`, for which the run inserts rows.
    static void MakeBranch(const std::string& db, const std::string& set, const std::string& defaultHex) {
        server_->Exec("CREATE DATABASE " + db + " CHARACTER SET latin1; USE " + db +
                      "; CREATE TABLE produto (produto_id INT NOT NULL); INSERT INTO produto VALUES (1), (2), (3);"
                      "CREATE TABLE estoque_minimo (produto_id INT NOT NULL, filial_id INT NOT NULL,"
                      " lojas_leram CHAR(1) NOT NULL, nota VARCHAR(60) CHARACTER SET " + set +
                      " NOT NULL DEFAULT X'" + defaultHex + "')");
    }

    static void Run(const std::string& db, const std::string& login, bool inFlights) {
        TRunComponents components;
        test::TServerAddress account = server_->Address();
        account.user = login;
        test::PointAt(components, account, db);
        test::TQuietView view;
        if (inFlights) components.RunInFlights(view, "estoque_minimo", TFlightLimits{}, kBranch);
        else components.Run(view, "estoque_minimo", kBranch);
    }

    // Every statement of the sessions that connected to `db` as `login`.
    static std::vector<std::string> Statements(const std::string& db, const std::string& login) {
        std::vector<std::string> statements;
        for (const TRow& row : server_->Query(
                 "SELECT argument FROM mysql.general_log WHERE command_type = 'Query' AND thread_id IN (SELECT "
                 "thread_id FROM mysql.general_log WHERE command_type = 'Connect' AND argument LIKE '" + login +
                 "@% on " + db + " %')"))
            statements.push_back(row[0].value_or(""));
        return statements;
    }

    static std::unique_ptr<test::TPrivateServer> server_;
};

std::unique_ptr<test::TPrivateServer> LinkCharacterSetTest::server_;

// A character whose second byte is a backslash, then "n" (an escape would make it a line feed),
// "0" (a NUL), or a quote and a statement of its own.
constexpr const char* kDropProduto = "27293B2044524F50205441424C452070726F6475746F3B202D2D20";  // '); DROP TABLE produto; --

TEST_F(LinkCharacterSetTest, EveryDefaultReachesTheServerAsItIsWhateverSetTheServerReadsTheLinkIn) {
    const struct {
        const char* set;
        std::string defaultHex;
    } cases[] = {
        {"gbk", "BF5C6E"}, {"gbk", "BF5C30"},  {"gbk", std::string("BF5C") + kDropProduto},
        {"big5", "A45C6E"}, {"sjis", "815C6E"}, {"cp932", std::string("815C") + kDropProduto},
    };
    int n = 0;
    for (const auto& c : cases) {
        for (const bool inFlights : {false, true}) {
            SCOPED_TRACE(std::string(c.set) + " " + c.defaultHex + (inFlights ? " in flights" : " one at a time"));
            const std::string db = "cs" + std::to_string(++n);
            MakeBranch(db, c.set, c.defaultHex);
            server_->Exec(std::string("SET GLOBAL character_set_client = ") + c.set + ", character_set_connection = " +
                          c.set + ", character_set_results = " + c.set);
            Run(db, "root", inFlights);
            server_->Exec("SET GLOBAL character_set_client = latin1, character_set_connection = latin1,"
                          " character_set_results = latin1");

            EXPECT_EQ(server_->Query("SELECT COUNT(*) FROM " + db + ".produto"), std::vector<TRow>{{"3"}});
            EXPECT_EQ(server_->Query("SELECT DISTINCT HEX(nota), COUNT(*) FROM " + db + ".estoque_minimo"),
                      (std::vector<TRow>{{c.defaultHex, "3"}}));
            const std::vector<std::string> sent = Statements(db, "root");
            EXPECT_EQ(std::count(sent.begin(), sent.end(), "SET NAMES latin1"), 1) << "switched once, on its link";
        }
    }
}

// An account whose names the server sets at login: the same switch. A server that reads the
// link in latin1 from the start gets no statement more than it always did.
TEST_F(LinkCharacterSetTest, AnInitConnectThatSetsOtherNamesIsUndoneAndALatin1LinkIsLeftAsItIs) {
    MakeBranch("ic", "gbk", "BF5C6E");
    server_->Exec("SET GLOBAL init_connect = 'SET NAMES gbk'");
    Run("ic", "loja", true);
    server_->Exec("SET GLOBAL init_connect = ''");
    EXPECT_EQ(server_->Query("SELECT DISTINCT HEX(nota) FROM ic.estoque_minimo"), std::vector<TRow>{{"BF5C6E"}});
    std::vector<std::string> sent = Statements("ic", "loja");
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "SET NAMES latin1"), 1);

    MakeBranch("plain", "latin1", "41");
    Run("plain", "loja", false);
    sent = Statements("plain", "loja");
    EXPECT_EQ(std::count_if(sent.begin(), sent.end(), [](const std::string& s) { return s.rfind("SET", 0) == 0; }), 0);
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[1], "SHOW COLUMNS FROM produto");
    EXPECT_EQ(sent[2], "SHOW INDEX FROM produto");
}

// A server that goes on answering in another set after it was told latin1: the run stops before
// anything is written, naming the set.
TEST(LinkCharacterSetStubbornTest, AServerThatKeepsAnotherSetStopsTheRunBeforeAnyInsert) {
    using test::TWireAnswer;
    test::TScriptedServer server([](const std::string& text) {
        test::TWireReply reply;
        if (text.rfind("SELECT GET_LOCK(", 0) == 0) {
            reply.answers = {TWireAnswer::Result({{"n", 3, 63}}, {{"1"}})};
        } else if (text.rfind("SHOW COLUMNS", 0) == 0) {
            std::vector<test::TWireColumn> columns;
            for (const char* name : {"Field", "Type", "Null", "Key", "Default", "Extra"})
                columns.push_back({name, 253, 28});  // gbk_chinese_ci
            reply.answers = {TWireAnswer::Result(columns, {{"produto_id", "int(11)", "NO", "", std::nullopt, ""}})};
        } else {
            reply.answers = {TWireAnswer::Ok(0)};
        }
        return reply;
    });
    TRunComponents components;
    test::PointAt(components, test::TServerAddress{"127.0.0.1", server.Port(), "root", ""}, "loja");
    test::TQuietView view;
    EXPECT_TRUE(test::ThrowsExactly<EDatabaseError>(
        [&] { components.Run(view, "estoque_minimo", kBranch); },
        "The server reads and writes this connection in character set gbk, not latin1, and did not switch to "
        "latin1: nothing was written, since values would not reach the server as they were meant"));
    const std::vector<std::string> received = server.Received();
    EXPECT_EQ(std::count(received.begin(), received.end(), "SET NAMES latin1"), 1);
    EXPECT_EQ(std::count_if(received.begin(), received.end(),
                            [](const std::string& s) { return s.find("INSERT") != std::string::npos; }),
              0);
}

}  // namespace
}  // namespace tarvik
