// The main connection's link, against the test server.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <functional>
#include <thread>

#include "platform/Errors.h"
#include "tests/db/DbTestSupport.h"
#include "tests/support/ThrowsExactly.h"

namespace tarvik::test {
namespace {

using LinkTest = DbServerTest;

TEST_F(LinkTest, OpeningSendsTheHandshakeAloneAndStatementsGoAsTheyAreNormalised) {
    transacao.Connect();
    EXPECT_TRUE(conexao.Connected());
    EXPECT_TRUE(transacao.Connected());
    const unsigned long session = OurSession();
    EXPECT_EQ(db.GeneralLog(session), std::vector<std::string>{ConnectRow()});

    EXPECT_EQ(transacao.ExecStatement("  CREATE TABLE x\r\n(a int,\t b varchar(9))\r\n", "QInclui"), 0u);
    EXPECT_EQ(transacao.ExecStatement("INSERT INTO x VALUES (1, 'p  q'),  (2, NULL)", "QInclui"), 2u);
    EXPECT_EQ(transacao.EvaluateExpression("COUNT(*) FROM x"), "2");
    EXPECT_EQ(transacao.EvaluateExpression("NULL"), "");
    transacao.Commit();
    EXPECT_TRUE(transacao.AutoCommit());
    EXPECT_FALSE(transacao.TransactSafe());

    EXPECT_EQ(db.GeneralLog(session), (std::vector<std::string>{
                                          ConnectRow(),
                                          "Query\tCREATE TABLE x (a int, b varchar(9))",
                                          "Query\tINSERT INTO x VALUES (1, 'p  q'), (2, NULL)",
                                          "Query\tSELECT COUNT(*) FROM x",
                                          "Query\tSELECT NULL",
                                      }));
    EXPECT_EQ(db.Scalar("SELECT b FROM x WHERE a = 1"), "p  q");
}

TEST_F(LinkTest, RefusedStatementsCarryTheServerTextAndLeaveTheLinkOpen) {
    transacao.Connect();
    EXPECT_TRUE(ThrowsExactly<EInsertRefused>(
        [&] { transacao.ExecStatement("INSERT INTO nope VALUES (1)", "QInclui"); },
        "QInclui: Table '" + db.Name() + ".nope' doesn't exist"));
    EXPECT_TRUE(ThrowsExactly<EDatabaseError>([&] { transacao.EvaluateExpression("nope()"); },
                                              "FUNCTION " + db.Name() + ".nope does not exist"));
    EXPECT_TRUE(transacao.Connected());
    EXPECT_EQ(transacao.EvaluateExpression("1+1"), "2");
}

TEST_F(LinkTest, WithoutTheLinkNothingRuns) {
    const std::vector<std::function<void()>> steps = {
        [&] { transacao.ExecStatement("SELECT 1", "QInclui"); },
        [&] { transacao.EvaluateExpression("1"); },
        [&] { transacao.Commit(); },
    };
    for (const auto& step : steps) EXPECT_TRUE(ThrowsExactly<EDatabaseError>(step, "Not connected yet"));
    EXPECT_TRUE(OurSessions().empty());
}

TEST_F(LinkTest, ParametersAreCutTo255Characters) {
    const std::string longText(300, 'h');
    const std::vector<std::pair<std::function<void(const std::string&)>, std::function<const std::string&()>>>
        parameters = {
            {[&](const std::string& v) { conexao.SetHost(v); }, [&]() -> const std::string& { return conexao.Host(); }},
            {[&](const std::string& v) { conexao.SetPort(v); }, [&]() -> const std::string& { return conexao.Port(); }},
            {[&](const std::string& v) { conexao.SetDatabase(v); },
             [&]() -> const std::string& { return conexao.Database(); }},
            {[&](const std::string& v) { conexao.SetLogin(v); },
             [&]() -> const std::string& { return conexao.Login(); }},
            {[&](const std::string& v) { conexao.SetPassword(v); },
             [&]() -> const std::string& { return conexao.Password(); }},
        };
    for (const auto& [set, get] : parameters) {
        set(longText);
        EXPECT_EQ(get(), std::string(255, 'h'));
        set("ab");
        EXPECT_EQ(get(), "ab");
    }
}

TEST_F(LinkTest, DesignTimeValues) {
    TDbConnection fresh;
    EXPECT_EQ(fresh.Port(), "3306");
    EXPECT_FALSE(fresh.LoginPrompt());
    EXPECT_FALSE(fresh.Connected());
}

TEST_F(LinkTest, ADifferentHostOrDatabaseDisconnectsAndTheNextOpenConnectsAgain) {
    qProdutos.SetStatement("Select 1");
    qProdutos.Open();
    conexao.SetHost(conexao.Host());
    conexao.SetDatabase(conexao.Database());
    conexao.SetPort("3306");
    conexao.SetPassword(conexao.Password());
    EXPECT_TRUE(conexao.Connected());
    EXPECT_TRUE(qProdutos.Active());

    TScratchDatabase other;
    conexao.SetDatabase(other.Name());
    EXPECT_FALSE(conexao.Connected());
    EXPECT_FALSE(transacao.Connected());
    EXPECT_FALSE(qProdutos.Active());

    qProdutos.Open();
    EXPECT_TRUE(conexao.Connected());
    EXPECT_EQ(other.OtherSessions().size(), 1u);  // ours

    conexao.SetHost("localhost");
    EXPECT_FALSE(conexao.Connected());
    EXPECT_FALSE(qProdutos.Active());
}

TEST_F(LinkTest, WrongPasswordFailsWithTheClientTextAndALaterOpenConnects) {
    conexao.SetPassword("wrong");
    qProdutos.SetStatement("Select 1");
    EXPECT_TRUE(ThrowsExactly<EDatabaseError>([&] { qProdutos.Open(); },
                                              "Access denied for user 'root'@'127.0.0.1' (using password: YES)"));
    EXPECT_FALSE(qProdutos.Active());
    EXPECT_FALSE(conexao.Connected());
    EXPECT_FALSE(transacao.Connected());
    EXPECT_TRUE(OurSessions().empty());

    conexao.SetPassword(TestServer().password);
    qProdutos.Open();
    EXPECT_TRUE(qProdutos.Active());
    EXPECT_TRUE(conexao.Connected());
    EXPECT_EQ(qProdutos.GetFieldText("1"), "1");
    EXPECT_EQ(OurSessions().size(), 1u);
}

TEST_F(LinkTest, APortOfLettersFailsBeforeAnythingReachesTheServer) {
    conexao.SetPort("abc");
    qProdutos.SetStatement("Select 1");
    EXPECT_TRUE(ThrowsExactly<EConvertError>([&] { qProdutos.Open(); }, "'abc' is not a valid integer value"));
    EXPECT_FALSE(conexao.Connected());
    EXPECT_FALSE(qProdutos.Active());
    EXPECT_TRUE(OurSessions().empty());

    conexao.SetPort("3306");
    qProdutos.Open();
    EXPECT_TRUE(conexao.Connected());
}

TEST_F(LinkTest, TheWaitCursorShowsWhileWorkingAndTheOutermostOneComesBack) {
    struct TRecorder {
        std::vector<TCursorShape> sets;
        TCursorShape shape = TCursorShape::Default;
    } r;
    SetCursorHook({[&] { return r.shape; },
                   [&](TCursorShape s) {
                       r.shape = s;
                       r.sets.push_back(s);
                   }});
    struct TClear {
        ~TClear() { ClearCursorHook(); }
    } clear;

    // A failing open, nested through the transaction and the connection: the pointer shows
    // the wait cursor throughout and only the outermost step puts the old one back.
    conexao.SetPassword("wrong");
    qProdutos.SetStatement("Select 1");
    EXPECT_TRUE(ThrowsExactly<EDatabaseError>([&] { qProdutos.Open(); },
                                              "Access denied for user 'root'@'127.0.0.1' (using password: YES)"));
    ASSERT_GE(r.sets.size(), 3u);
    EXPECT_EQ(r.sets.front(), TCursorShape::Wait);
    EXPECT_EQ(r.sets.back(), TCursorShape::Default);
    for (size_t i = 0; i + 1 < r.sets.size(); ++i) EXPECT_EQ(r.sets[i], TCursorShape::Wait) << i;

    // Already showing the wait cursor: it stays.
    conexao.SetPassword(TestServer().password);
    r.shape = TCursorShape::Wait;
    r.sets.clear();
    qProdutos.Open();
    EXPECT_FALSE(r.sets.empty());
    EXPECT_EQ(r.shape, TCursorShape::Wait);

    // Each step of its own restores the cursor, also when it fails.
    r.shape = TCursorShape::Default;
    const std::vector<std::function<void()>> steps = {
        [&] { qProdutos.RowCount(); },
        [&] { qProdutos.Close(); },
        [&] { transacao.ExecStatement("DO 1", "QInclui"); },
        [&] { transacao.ExecStatement("nonsense", "QInclui"); },
        [&] { transacao.EvaluateExpression("1"); },
        [&] { transacao.Commit(); },
        [&] { conexao.Disconnect(); },
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        r.sets.clear();
        try {
            steps[i]();
        } catch (const Exception&) {
        }
        ASSERT_FALSE(r.sets.empty()) << i;
        EXPECT_EQ(r.sets.front(), TCursorShape::Wait) << i;
        EXPECT_EQ(r.shape, TCursorShape::Default) << i;
    }
}

// The rows, the layout and the appended row that a query read through the link go when the
// link closes, whichever object closes it, and the query reads as closed.
TEST_F(LinkTest, WhatAQueryHeldGoesWithTheLinkItCameThrough) {
    db.Exec("CREATE TABLE x (a int)");
    db.Exec("INSERT INTO x VALUES (1), (2)");
    const std::vector<std::function<void()>> closings = {[&] { transacao.Disconnect(); },
                                                         [&] { conexao.Disconnect(); }};
    for (size_t i = 0; i < closings.size(); ++i) {
        SCOPED_TRACE(i);
        qInclui.SetStatement("Select a from x");
        qInclui.Open();
        ASSERT_EQ(qInclui.InsertLayout().size(), 1u);
        qInclui.AppendRow();
        closings[i]();
        EXPECT_EQ(qInclui.State(), TQueryState::Closed);
        EXPECT_TRUE(qInclui.AtEnd());
        EXPECT_TRUE(qInclui.NoRows());
        EXPECT_TRUE(qInclui.InsertLayout().empty());
        EXPECT_EQ(qInclui.RowCount(), 0);
        EXPECT_TRUE(ThrowsExactly<EDatabaseError>([&] { qInclui.PostRow(); },
                                                  "QInclui: Cannot perform this operation on a closed dataset"));
        EXPECT_TRUE(ThrowsExactly<EDatabaseError>([&] { qInclui.GetFieldText("a"); }, "QInclui: Field 'a' not found"));
        qInclui.Open();
        EXPECT_EQ(qInclui.RowCount(), 2);
        EXPECT_EQ(qInclui.GetFieldText("a"), "1");
    }
    EXPECT_EQ(db.Scalar("SELECT COUNT(*) FROM x"), "2");
}

// Every order in which the three kinds of object can go, with a result open.
class DestructionOrderTest : public ::testing::TestWithParam<std::array<int, 3>> {};

// The server notices a closed session on its own time, which a loaded machine can stretch: the
// wait is long, and costs nothing when the session is gone at once.
bool SessionGone(TScratchDatabase& db, unsigned long id) {
    for (int i = 0; i < 1500; ++i) {
        if (db.Scalar("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = " + std::to_string(id)) == "0")
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

TEST_P(DestructionOrderTest, AnyOrderIsSafeAndTheTransactionClosesTheLink) {
    TScratchDatabase db;
    db.Exec("CREATE TABLE t (a int)");
    db.Exec("INSERT INTO t VALUES (1), (2), (3)");
    auto connection = std::make_unique<TDbConnection>();
    connection->SetHost(TestServer().host);
    connection->SetLogin(TestServer().user);
    connection->SetPassword(TestServer().password);
    connection->SetDatabase(db.Name());
    auto transaction = std::make_unique<TDbTransaction>(*connection);
    auto query = std::make_unique<TDbQuery>("QProdutos", *connection, false);
    query->SetStatement("Select a from t");
    query->Open();
    query->MoveNext();
    unsigned long session = 0;
    for (unsigned long id : db.OtherSessions()) session = id;
    ASSERT_NE(session, 0u);

    for (int which : GetParam()) {
        if (which == 0) connection.reset();
        if (which == 1) {
            transaction.reset();
            EXPECT_TRUE(SessionGone(db, session));
            if (query) {
                EXPECT_FALSE(query->Active());
                try {
                    query->Open();
                    ADD_FAILURE() << "opened without a transaction";
                } catch (const EDatabaseError& e) {
                    EXPECT_TRUE(e.Message() == "Transaction component not defined" ||
                                e.Message() == "Database component not defined")
                        << e.Message();
                }
            }
        }
        if (which == 2) query.reset();
    }
}

INSTANTIATE_TEST_SUITE_P(Orders, DestructionOrderTest,
                         ::testing::Values(std::array<int, 3>{1, 2, 0}, std::array<int, 3>{1, 0, 2},
                                           std::array<int, 3>{0, 1, 2}, std::array<int, 3>{0, 2, 1},
                                           std::array<int, 3>{2, 1, 0}, std::array<int, 3>{2, 0, 1}));

TEST(WindowOrderTest, QueriesMadeBeforeTheirTransactionAreKnownToIt) {
    TScratchDatabase db;
    struct TWindow {
        TDbConnection conexao;
        TDbQuery qProdutos{"QProdutos", conexao, false};
        TDbTransaction transacao{conexao};
    };
    auto window = std::make_unique<TWindow>();
    window->conexao.SetHost(TestServer().host);
    window->conexao.SetLogin(TestServer().user);
    window->conexao.SetPassword(TestServer().password);
    window->conexao.SetDatabase(db.Name());
    window->qProdutos.SetStatement("Select 1");
    window->qProdutos.Open();
    // Closing the link closes the queries that read through it.
    window->transacao.Disconnect();
    EXPECT_FALSE(window->qProdutos.Active());
    window->qProdutos.Open();
    EXPECT_TRUE(window->qProdutos.Active());
    window.reset();
}

}  // namespace
}  // namespace tarvik::test
