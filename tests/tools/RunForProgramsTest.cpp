// tarvik-admin run for programs that drive it (a fleet's playbooks, systemd, a scheduler): one
// JSON document whatever happens, a failure's kind, waiting for another run's lock, counting
// first, a record kept on disk, and SIGTERM stopping a run as Ctrl-C does.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <functional>
#include <nlohmann/json.hpp>
#include <thread>

#include "run/RunLock.h"
#include "tests/support/ChildProcess.h"
#include "tests/tools/BranchFixture.h"

namespace tarvik {
namespace {

using nlohmann::json;
using test::Admin;
using test::TAdminResult;

class RunForProgramsTest : public test::BranchFixture {
protected:
    TAdminResult Run(std::vector<std::string> extra = {}, const std::string& table = "estoque_minimo") {
        std::vector<std::string> arguments = {"run", dir.Path(), "--table", table, "--quiet", "--json"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return Admin(arguments);
    }
    // sistema_qor.ini alone, for `database` with `password`, the store code from the file.
    void InitWith(const std::string& database, const std::string& password) {
        const TAdminResult r = Admin({"init", dir.Path(), "--force", "--host", "127.0.0.1", "--database", database,
                                      "--branch", "3", "--use-logical-branch"},
                                     password + "\n");
        ASSERT_EQ(r.status, 0) << r.err;
    }
    std::string LockName() { return RunLockName(db.Name(), "estoque_minimo", 3); }
    std::string Holder() { return db.Scalar("SELECT IS_USED_LOCK('" + LockName() + "')"); }
};

// Standard output is the document alone, in both modes.
TEST_F(RunForProgramsTest, ADoneRunSaysWhatItFoundAndDid) {
    Init();
    for (const char* mode : {"--flight-size=2", "--one-at-a-time"}) {
        SCOPED_TRACE(mode);
        db.Exec("DELETE FROM estoque_minimo WHERE lojas_leram = 'C'");
        const TAdminResult r = Run({mode});
        ASSERT_EQ(r.status, 0) << r.err;
        const json report = json::parse(r.out);
        EXPECT_EQ(report["result"], "done");
        EXPECT_EQ(report["table"], "estoque_minimo");
        EXPECT_EQ(report["products"], 6);
        EXPECT_EQ(report["probed"], 6);
        EXPECT_EQ(report["inserted"], 3);         // products 1, 3 and 5
        EXPECT_EQ(report["already_present"], 3);  // 2, 4, and 5 again
        EXPECT_EQ(report["unknown"], 0);
        EXPECT_EQ(report["counted_only"], false);
        // Flights of two: 1 2, then 3 4, 5 (5 again waits for the next) and 5, each with the
        // INSERTs of the one before; the last finds nothing missing.
        EXPECT_EQ(report["flights"], std::string(mode) == "--one-at-a-time" ? 0 : 4);
        EXPECT_EQ(report["lock"], json({{"name", LockName()}, {"holder", nullptr}}));
        EXPECT_EQ(report["error"], nullptr);
        EXPECT_GT(report["seconds"].get<double>(), 0);
    }
}

TEST_F(RunForProgramsTest, EachFailureHasItsKindNumberAndSqlState) {
    const struct {
        const char* what;
        std::function<void()> arrange;
        const char* table;
        const char* kind;
        unsigned number;  // 0: any
        const char* sqlState;
        const char* product;  // "": none
    } cases[] = {
        {"nothing listens there", [this] { Init({}, "127.255.255.254"); }, "estoque_minimo",
         "unreachable", 0, "HY000", ""},
        {"a wrong password", [this] { InitWith(db.Name(), "not the password"); },
         "estoque_minimo", "access", 1045, "28000", ""},
        {"no such database", [this] { InitWith("tarvik_t_no_such_db", test::TestServer().password); },
         "estoque_minimo", "unknown_database", 1049, "42000", ""},
        {"no such table", [this] {
             Init();
             db.Exec("DROP TABLE estoque_minimo2");
         }, "estoque_minimo2", "missing_table", 1146, "42S02", ""},
        {"a refused insert", [this] {
             Init();
             db.Exec("ALTER TABLE estoque_minimo2 ADD CONSTRAINT sem_tres CHECK (produto_id <> 3)");
         }, "estoque_minimo2", "insert_refused", 4025, "23000", "3"},
        {"a product id that is no integer", [this] {
             Init();
             db.Exec("ALTER TABLE produto MODIFY produto_id VARCHAR(20) NOT NULL");
             db.Exec("INSERT INTO produto VALUES ('7;x')");
         }, "estoque_minimo", "product_id", 0, "", "7;x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        db.Exec("DROP TABLE IF EXISTS produto, estoque_minimo, estoque_minimo2, identificacao_servidor");
        SetUp();
        c.arrange();
        const TAdminResult r = Run({}, c.table);
        EXPECT_EQ(r.status, 1) << r.err;
        const json report = json::parse(r.out);
        EXPECT_EQ(report["result"], "failed");
        const json& error = report["error"];
        EXPECT_EQ(error["kind"], c.kind) << report.dump();
        if (c.number) {
            EXPECT_EQ(error["number"], c.number);
        }
        EXPECT_EQ(error["sqlstate"], *c.sqlState ? json(c.sqlState) : json()) << report.dump();
        EXPECT_EQ(error["product"], *c.product ? json(c.product) : json()) << report.dump();
        EXPECT_FALSE(error["message"].get<std::string>().empty());
    }
}

// Another session holds the run lock: busy at once, or the run waits until it is given back.
TEST_F(RunForProgramsTest, ABusyLockIsReportedOrWaitedFor) {
    Init();
    test::TAdminConnection other;
    ASSERT_EQ(other.Scalar("SELECT GET_LOCK('" + LockName() + "', 0)"), "1");
    const TAdminResult busy = Run();
    EXPECT_EQ(busy.status, 75);
    const json report = json::parse(busy.out);
    EXPECT_EQ(report["result"], "busy");
    EXPECT_EQ(report["error"]["kind"], "lock_held");
    EXPECT_EQ(report["lock"]["holder"], std::to_string(other.ThreadId()));
    EXPECT_EQ(report["inserted"], 0);

    std::thread giveBack([&other, name = LockName()] {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        other.Exec("DO RELEASE_LOCK('" + name + "')");
    });
    const auto start = std::chrono::steady_clock::now();
    const TAdminResult waited = Run({"--wait-for-lock", "30"});
    giveBack.join();
    EXPECT_EQ(waited.status, 0) << waited.err;
    EXPECT_EQ(json::parse(waited.out)["inserted"], 3);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// With nothing missing, one statement and nothing else; with something missing, the run.
TEST_F(RunForProgramsTest, IfMissingCountsFirstAndEndsWhenNothingIsMissing) {
    Init();
    const TAdminResult filled = Run({"--if-missing"});
    ASSERT_EQ(filled.status, 0) << filled.err;
    EXPECT_EQ(json::parse(filled.out)["inserted"], 3);

    const TAdminResult again = Admin({"run", dir.Path(), "--table", "estoque_minimo", "--if-missing"});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, "nothing missing in estoque_minimo: each of the 6 products has its row\n");
    const std::vector<std::string> sent = db.Statements(db.OtherSessions().back());
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].rfind("SELECT CONCAT_WS(' ', faltantes, produtos) FROM (SELECT COUNT(*)", 0), 0u) << sent[0];

    const json report = json::parse(Run({"--if-missing"}).out);
    EXPECT_EQ(report["result"], "done");
    EXPECT_EQ(report["counted_only"], true);
    EXPECT_EQ(report["products"], 6);
    EXPECT_EQ(report["inserted"], 0);
}

TEST_F(RunForProgramsTest, TheRecordIsTheDocumentWrittenWhole) {
    Init();
    const TAdminResult r = Run({"--record", dir.File("last-run.json")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::ReadWholeFile(dir.File("last-run.json")), r.out);
    EXPECT_EQ(test::FileMode(dir.File("last-run.json")), 0600);

    const TAdminResult nowhere = Run({"--record", dir.File("no-such-folder/last-run.json")});
    EXPECT_EQ(nowhere.status, 2);
    EXPECT_NE(nowhere.err.find("the run's record was not written"), std::string::npos) << nowhere.err;
    EXPECT_EQ(json::parse(nowhere.out)["result"], "done");
}

// SIGTERM (systemd, timeout(1), a playbook's task timeout) stops the run after the flight in
// progress, with a status of its own, the lock given back. The run is held at its first INSERT
// until the signal has come.
TEST_F(RunForProgramsTest, SigtermStopsTheRunAfterTheFlightInProgress) {
    Init();
    db.Exec("DELETE FROM estoque_minimo WHERE lojas_leram = 'y'");  // product 4's second row, for the gate's key
    test::TTempDir out;
    auto gate = std::make_unique<test::TInsertGate>(db);
    test::TChildProcess run({TARVIK_ADMIN, "run", dir.Path(), "--table", "estoque_minimo", "--quiet", "--json",
                             "--flight-size=1"},
                            test::TSpawnOptions{{}, out.File("run.json"), false, false, true, -1});
    // Signalled once its INSERT waits at the gate: the run holds its lock well before that, and a
    // signal that came before the first flight would rightly stop it with nothing inserted.
    const auto insertWaits = [this] {
        return db.Scalar("SELECT COUNT(*) FROM information_schema.processlist WHERE db = DATABASE() AND"
                         " info LIKE 'INSERT INTO estoque_minimo%' AND id <> CONNECTION_ID()") != "0";
    };
    for (int i = 0; i < 1500 && !insertWaits(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(insertWaits());
    ASSERT_NE(Holder(), "");
    run.Signal(SIGTERM);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    gate.reset();
    const int status = run.WaitStatus();
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 143);
    const json report = json::parse(test::ReadWholeFile(out.File("run.json")));
    EXPECT_EQ(report["result"], "interrupted");
    EXPECT_EQ(report["inserted"], 1) << report.dump();
    EXPECT_EQ(Holder(), "");
    EXPECT_EQ(db.Scalar("SELECT GROUP_CONCAT(produto_id) FROM estoque_minimo WHERE lojas_leram = 'C'"), "1");
}

}  // namespace
}  // namespace tarvik
