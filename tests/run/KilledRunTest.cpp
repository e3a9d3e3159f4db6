// A run whose statement another session kills, or whose server goes quiet: the run ends within
// its link's read timeout with an error, and its run lock is free for the next run. Against the
// real server, one at a time (the window's run) and in flights (tarvik-admin's).
#include "run/RunComponents.h"
#include "run/RunLock.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "tests/run/RunSupport.h"
#include "tests/support/PrivateServer.h"
#include "tests/support/TestServer.h"

namespace tarvik {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr unsigned kReadTimeout = 3;

const TBranchIdentity kBranch{[] { return 3; }, [] { return std::string("C"); }};

// `products` products, none with its row yet, the INSERT of product 3 made to sleep by a trigger
// when `sleepAtThree` is given.
void MakeBranch(test::TAdminConnection& admin, int products, int sleepAtThree) {
    admin.Exec("CREATE TABLE produto (produto_id INT NOT NULL)");
    admin.Exec("INSERT INTO produto SELECT seq FROM seq_1_to_" + std::to_string(products));
    admin.Exec("CREATE TABLE estoque_minimo (produto_id INT NOT NULL, filial_id INT NOT NULL,"
               " lojas_leram CHAR(1) NOT NULL, KEY pf (produto_id, filial_id))");
    if (sleepAtThree > 0)
        admin.Exec("CREATE TRIGGER espera AFTER INSERT ON estoque_minimo FOR EACH ROW"
                   " SET @espera = IF(NEW.produto_id = 3, SLEEP(" + std::to_string(sleepAtThree) + "), 0)");
}

// A run on a thread of its own, as the window or tarvik-admin starts it.
class TBackgroundRun {
public:
    TBackgroundRun(const test::TServerAddress& server, const std::string& database, bool inFlights) {
        test::PointAt(components_, server, database);
        components_.Conexao().SetReadTimeout(kReadTimeout);
        thread_ = std::thread([this, inFlights] {
            try {
                if (inFlights) components_.RunInFlights(view_, "estoque_minimo", TFlightLimits{20, 0}, kBranch);
                else components_.Run(view_, "estoque_minimo", kBranch);
            } catch (const std::exception& e) {
                error_ = e.what();
            }
            ended_ = Clock::now();
        });
    }
    ~TBackgroundRun() {
        if (thread_.joinable()) thread_.join();
    }

    // Waits for the run's end; its error ("" for none) and when it ended.
    std::string Join() {
        thread_.join();
        return error_;
    }
    Clock::time_point Ended() const { return ended_; }

private:
    TRunComponents components_;
    test::TQuietView view_;
    std::string error_;
    Clock::time_point ended_;
    std::thread thread_;
};

// The id of the run's session once a statement of it sleeps ("" when none did within 30 s).
std::string SleepingSession(test::TAdminConnection& admin, const std::string& database) {
    for (int i = 0; i < 600; ++i) {
        const std::string id = admin.Scalar("SELECT ID FROM information_schema.PROCESSLIST WHERE DB = '" + database +
                                            "' AND STATE = 'User sleep'");
        if (!id.empty()) return id;
        std::this_thread::sleep_for(50ms);
    }
    return std::string();
}

// True once nobody holds the run lock of branch 3 in estoque_minimo, within 30 s: the server
// frees it a moment after the session that held it ends.
bool LockFreed(test::TAdminConnection& admin, const std::string& database) {
    const std::string name = RunLockName(database, "estoque_minimo", 3);
    for (int i = 0; i < 600; ++i) {
        if (admin.Scalar("SELECT IS_FREE_LOCK('" + name + "')") == "1") return true;
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

TEST(KilledRunTest, AKilledStatementEndsTheRunAndFreesItsLock) {
    const struct {
        const char* kill;
        bool inFlights;
        const char* error;
    } cases[] = {
        {"KILL QUERY", false, "QInclui: Query execution was interrupted"},
        {"KILL QUERY", true, "QInclui (produto_id 3): Query execution was interrupted"},
        {"KILL CONNECTION", false, "QInclui: Lost connection to server during query"},
        {"KILL CONNECTION", true, "QInclui (produto_id 3): Lost connection to server during query"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.kill) + (c.inFlights ? " in flights" : " one at a time"));
        test::TScratchDatabase db;
        MakeBranch(db.Admin(), 5, 60);
        TBackgroundRun run(test::TestServer(), db.Name(), c.inFlights);
        const std::string session = SleepingSession(db.Admin(), db.Name());
        ASSERT_NE(session, "") << "the INSERT of product 3 never slept: " << run.Join();
        db.Exec(std::string(c.kill) + " " + session);
        const Clock::time_point killed = Clock::now();
        EXPECT_EQ(run.Join(), c.error);
        EXPECT_LT(run.Ended() - killed, std::chrono::seconds(kReadTimeout + 5));
        EXPECT_TRUE(LockFreed(db.Admin(), db.Name()));
        EXPECT_EQ(db.Scalar("SELECT GROUP_CONCAT(produto_id ORDER BY produto_id) FROM estoque_minimo"), "1,2");
    }
}

// A KILL QUERY that lands between two statements of a text can end the text with an answer that
// still announces more, and nothing after it. Wherever the kill lands, the run ends within its
// read timeout, never stores a product twice, and leaves its lock free.
TEST(KilledRunTest, AKillQueryAnywhereInARunInFlightsNeverHoldsTheRunOrItsLock) {
    std::mt19937 random(20261211);
    for (int attempt = 0; attempt < 25; ++attempt) {
        SCOPED_TRACE("attempt " + std::to_string(attempt));
        test::TScratchDatabase db;
        MakeBranch(db.Admin(), 400, 0);
        TBackgroundRun run(test::TestServer(), db.Name(), true);
        std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 60)(random)));
        const std::string session = db.Scalar("SELECT ID FROM information_schema.PROCESSLIST WHERE DB = '" +
                                              db.Name() + "' AND ID <> CONNECTION_ID()");
        const Clock::time_point killed = Clock::now();
        if (!session.empty()) db.Exec("KILL QUERY " + session);
        run.Join();
        EXPECT_LT(run.Ended() - killed, std::chrono::seconds(kReadTimeout + 5));
        EXPECT_TRUE(LockFreed(db.Admin(), db.Name()));
        EXPECT_EQ(db.Scalar("SELECT COUNT(*) - COUNT(DISTINCT produto_id) FROM estoque_minimo"), "0");
    }
}

// A server that stops answering in the middle of a run (a hung machine, a cable pulled between
// two routers): the run ends within its read timeout in both modes; once the server comes back,
// the session is gone and so is its lock.
TEST(KilledRunTest, AServerThatGoesQuietEndsTheRunWithinItsReadTimeout) {
    test::TPrivateServer server;
    for (const bool inFlights : {false, true}) {
        SCOPED_TRACE(inFlights ? "in flights" : "one at a time");
        const std::string db = inFlights ? "flights" : "one";
        server.Exec("CREATE DATABASE " + db);
        {
            const test::TServerAddress& address = server.Address();
            test::TAdminConnection admin(address, db);
            MakeBranch(admin, 5, 2);
            TBackgroundRun run(address, db, inFlights);
            ASSERT_NE(SleepingSession(admin, db), "") << run.Join();
            ::kill(server.Pid(), SIGSTOP);
            const Clock::time_point stopped = Clock::now();
            const std::string error = run.Join();
            const Clock::time_point ended = run.Ended();
            ::kill(server.Pid(), SIGCONT);
            EXPECT_EQ(error.rfind(inFlights ? "QInclui (produto_id 3): Lost connection" : "QInclui: Lost connection", 0),
                      0u)
                << error;
            EXPECT_GE(ended - stopped, std::chrono::seconds(kReadTimeout - 1));
            EXPECT_LT(ended - stopped, std::chrono::seconds(kReadTimeout + 5));
            EXPECT_TRUE(LockFreed(admin, db));
        }
    }
}

}  // namespace
}  // namespace tarvik
