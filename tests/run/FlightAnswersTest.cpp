// A run in flights against a server whose answers do not line up with the statements it was
// sent: the run stops, names the first product whose outcome is unknown, counts only the rows
// the server reported stored, closes its link, and never reads past the answers it has.
#include "run/RunComponents.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "tests/run/RunSupport.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/ThrowsExactly.h"

namespace tarvik {
namespace {

using test::TScriptedServer;
using test::TWireAnswer;
using test::TWireColumn;
using test::TWireReply;
using TRows = std::vector<std::vector<std::optional<std::string>>>;

const TWireColumn kNumber{"n", 3, 63};

TWireAnswer ShowColumns(const TRows& rows) {
    std::vector<TWireColumn> columns;
    for (const char* name : {"Field", "Type", "Null", "Key", "Default", "Extra"}) columns.push_back({name});
    return TWireAnswer::Result(columns, rows);
}

// The three columns of estoque_minimo, as a probe or QInclui's SELECT returns them.
TWireAnswer TableRows(TRows rows = {}) {
    return TWireAnswer::Result({{"produto_id", 3, 63}, {"filial_id", 3, 63}, {"lojas_leram", 254, 8}},
                               std::move(rows));
}

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> statements;
    size_t start = 0;
    for (size_t end; (end = text.find(';', start)) != std::string::npos; start = end + 1)
        statements.push_back(text.substr(start, end - start));
    statements.push_back(text.substr(start));
    return statements;
}

// A branch of products 1 to 6, of which 2 and 4 have their row for branch 3: in flights of three,
// the second text carries INSERTs 1 and 3 and the probes of 4, 5 and 6. `distort` changes the
// answers to that text.
TWireReply Branch(const std::string& text, const std::function<void(TWireReply&)>& distort) {
    TWireReply reply;
    if (text.rfind("SELECT GET_LOCK(", 0) == 0 || text.rfind("SELECT RELEASE_LOCK(", 0) == 0) {
        reply.answers = {TWireAnswer::Result({kNumber}, {{"1"}})};
    } else if (text == "SELECT @@max_allowed_packet") {
        reply.answers = {TWireAnswer::Result({kNumber}, {{"16777216"}})};
    } else if (text == "SHOW COLUMNS FROM produto") {
        reply.answers = {ShowColumns({{"produto_id", "int(11)", "NO", "", std::nullopt, ""}})};
    } else if (text == "SHOW COLUMNS FROM estoque_minimo") {
        reply.answers = {ShowColumns({{"produto_id", "int(11)", "NO", "", std::nullopt, ""},
                                      {"filial_id", "int(11)", "NO", "", std::nullopt, ""},
                                      {"lojas_leram", "char(1)", "NO", "", std::nullopt, ""}})};
    } else if (text.rfind("SHOW INDEX FROM ", 0) == 0) {
        reply.answers = {TWireAnswer::Result({{"Table"}})};
    } else if (text == "Select produto_id from produto") {
        reply.answers = {TWireAnswer::Result({{"produto_id", 3, 63}}, {{"1"}, {"2"}, {"3"}, {"4"}, {"5"}, {"6"}})};
    } else if (text == "Select * from estoque_minimo where produto_id = 0") {
        reply.answers = {TableRows()};
    } else {
        for (const std::string& statement : Split(text)) {
            if (statement.rfind("INSERT INTO ", 0) == 0) {
                reply.answers.push_back(TWireAnswer::Ok(1));
            } else {
                const bool present = statement.find("produto_id = 2 ") != std::string::npos ||
                                     statement.find("produto_id = 4 ") != std::string::npos;
                reply.answers.push_back(present ? TableRows({{"2", "3", "C"}}) : TableRows());
            }
        }
        if (text.find("INSERT INTO estoque_minimo (produto_id, filial_id, lojas_leram) VALUES (1, 3, 'C')") == 0)
            distort(reply);
    }
    return reply;
}

struct TComponents {
    explicit TComponents(unsigned port) {
        test::PointAt(components, test::TServerAddress{"127.0.0.1", port, "root", "any"}, "loja");
        components.Conexao().SetReadTimeout(2);
    }
    TRunComponents components;
    test::TQuietView view;
};

const TBranchIdentity kBranch{[] { return 3; }, [] { return std::string("C"); }};

TEST(FlightAnswersTest, AnswersThatDoNotMatchTheStatementsStopTheRunAtTheFirstUnknownProduct) {
    const struct {
        const char* name;
        std::function<void(TWireReply&)> distort;
        const char* product;  // the first whose outcome is unknown
        const char* why;
        int posted;
        size_t unanswered;
    } cases[] = {
        {"the text ends three answers early", [](TWireReply& r) { r.answers.resize(3); }, "5",
         "the server answered 3 of the 5 statements sent", 2, 0},
        {"one answer more than statements", [](TWireReply& r) { r.answers.push_back(TWireAnswer::Ok(0)); }, "1",
         "the server sent more answers than the 5 statements sent", 0, 2},
        {"an INSERT answered with rows", [](TWireReply& r) { r.answers[1] = TableRows(); }, "3",
         "an INSERT was answered with a result of 3 columns", 1, 1},
        {"an INSERT that stored no row", [](TWireReply& r) { r.answers[0] = TWireAnswer::Ok(0); }, "1",
         "an INSERT of one row was answered with 0 rows changed", 0, 2},
        {"an INSERT that changed two rows", [](TWireReply& r) { r.answers[1] = TWireAnswer::Ok(2); }, "3",
         "an INSERT of one row was answered with 2 rows changed", 1, 1},
        {"a probe answered without rows", [](TWireReply& r) { r.answers[2] = TWireAnswer::Ok(0); }, "4",
         "a SELECT was answered without a result", 2, 0},
        {"a probe of other columns", [](TWireReply& r) { r.answers[3] = TWireAnswer::Result({{"x"}, {"y"}}); },
         "5", "a SELECT was answered with 2 columns instead of 3", 2, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TScriptedServer server([&c](const std::string& text) { return Branch(text, c.distort); });
        TComponents run(server.Port());
        try {
            run.components.RunInFlights(run.view, "estoque_minimo", TFlightLimits{3, 0}, kBranch);
            ADD_FAILURE() << "the run went on";
        } catch (const EFlightOutcomeUnknown& e) {
            EXPECT_EQ(e.Message(), std::string("QInclui (produto_id ") + c.product + "): " + c.why);
            EXPECT_EQ(e.Product(), c.product);
            EXPECT_EQ(e.Unanswered(), c.unanswered);
        }
        EXPECT_EQ(run.view.posted, c.posted) << "rows counted are the rows the server reported stored";
        EXPECT_FALSE(run.components.Transacao().Connected()) << "the link is closed";
        // Nothing more went over the link once its answers stopped lining up.
        EXPECT_EQ(server.Received().back().rfind("INSERT INTO estoque_minimo (produto_id, filial_id, lojas_leram) "
                                                 "VALUES (1, 3, 'C');",
                                                 0),
                  0u);
    }
}

// A server that ends a text with an answer that announces more, and then sends nothing (as
// MariaDB does when a KILL QUERY lands between two statements of a text): the run waits only as
// long as the link's read timeout.
TEST(FlightAnswersTest, AServerThatGoesQuietEndsTheRunWithinTheReadTimeout) {
    TScriptedServer server([](const std::string& text) {
        return Branch(text, [](TWireReply& r) {
            r.answers.resize(1);
            r.goQuiet = true;
        });
    });
    TComponents run(server.Port());
    const auto start = std::chrono::steady_clock::now();
    try {
        run.components.RunInFlights(run.view, "estoque_minimo", TFlightLimits{3, 0}, kBranch);
        ADD_FAILURE() << "the run went on";
    } catch (const EFlightOutcomeUnknown& e) {
        EXPECT_EQ(e.Message().rfind("QInclui (produto_id 3): ", 0), 0u) << e.Message();
        EXPECT_EQ(e.Unanswered(), 1u);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(run.view.posted, 1);
    EXPECT_FALSE(run.components.Transacao().Connected());
}

// One at a time, as the window runs: a probe answered without a result stops the run there,
// instead of counting as a missing row.
TEST(FlightAnswersTest, OneAtATimeAProbeAnsweredWithoutAResultStopsTheRun) {
    TScriptedServer server([](const std::string& text) {
        if (text == "Select * from estoque_minimo where produto_id = 3 and filial_id = 3")
            return TWireReply{{TWireAnswer::Ok(0)}};
        return Branch(text, [](TWireReply&) {});
    });
    TComponents run(server.Port());
    EXPECT_TRUE(test::ThrowsExactly<EDatabaseError>(
        [&] { run.components.Run(run.view, "estoque_minimo", kBranch); },
        "QTemp (produto_id 3): o servidor respondeu \xE0 consulta sem um resultado; nada foi gravado para este "
        "produto."));
    EXPECT_EQ(run.view.posted, 1);
    for (const std::string& text : server.Received()) EXPECT_EQ(text.find("VALUES (3,"), std::string::npos) << text;
}

// The same server, answering every statement as it should: the run fills the branch.
TEST(FlightAnswersTest, AnswersThatMatchFillTheBranch) {
    TScriptedServer server([](const std::string& text) { return Branch(text, [](TWireReply&) {}); });
    TComponents run(server.Port());
    run.components.RunInFlights(run.view, "estoque_minimo", TFlightLimits{3, 0}, kBranch);
    EXPECT_EQ(run.view.posted, 4);
    EXPECT_EQ(run.view.progress, 6);
    EXPECT_EQ(server.Received().back().rfind("SELECT RELEASE_LOCK(", 0), 0u);
}

}  // namespace
}  // namespace tarvik
