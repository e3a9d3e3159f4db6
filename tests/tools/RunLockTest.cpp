// Two runs on one branch and table at once, as processes of their own: the window beside
// tarvik-admin run, or two tarvik-admin runs. The second never starts while the first holds
// the run lock, and a first that dies (killed, interrupted) never keeps the next one out.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>

#include "run/RunLock.h"
#include "tests/support/ChildProcess.h"
#include "tests/tools/BranchFixture.h"

namespace tarvik {
namespace {

using test::TAdminResult;

constexpr int kProducts = 4000;

class RunLockTest : public test::BranchFixture {
protected:
    void SetUp() override {
        BranchFixture::SetUp();
        // Enough products that a run lasts some seconds; none of them has its row yet.
        db.Exec("DELETE FROM produto");
        db.Exec("DELETE FROM estoque_minimo");
        db.Exec("INSERT INTO produto SELECT seq FROM seq_1_to_" + std::to_string(kProducts));
        Init();
    }

    std::string Holder() {
        return db.Scalar("SELECT IS_USED_LOCK('" + RunLockName(db.Name(), "estoque_minimo", 3) + "')");
    }
    // Waits until somebody holds the run lock (or `seconds` pass); the holder's connection id.
    std::string WaitForHolder(int seconds = 30) {
        for (int i = 0; i < seconds * 50; ++i) {
            const std::string holder = Holder();
            if (!holder.empty()) return holder;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return "";
    }
    // One at a time, so that the run lasts; `flights` for a run in flights.
    std::unique_ptr<test::TChildProcess> StartRun(const std::string& output, bool flights = false) {
        return std::make_unique<test::TChildProcess>(
            std::vector<std::string>{TARVIK_ADMIN, "run", dir.Path(), "--table", "estoque_minimo", "--quiet",
                                     flights ? "--flight-size=200" : "--one-at-a-time"},
            test::TSpawnOptions{{}, output, false, true, true, -1});
    }
    // Every product of branch 3 exactly once: "products rows".
    std::string Counts() {
        return db.Scalar("SELECT CONCAT(COUNT(DISTINCT produto_id), ' ', COUNT(*)) FROM estoque_minimo"
                         " WHERE filial_id = 3");
    }
    std::string InProgressText(const std::string& holder) {
        return "Uma gera\xC3\xA7\xC3\xA3o para a filial 3 em estoque_minimo j\xC3\xA1 est\xC3\xA1 em andamento (conex"
               "\xC3\xA3o " + holder + "). Tente novamente quando ela terminar.\n";
    }

    test::TTempDir out;
};

// The second run goes in flights, which take the same lock.
TEST_F(RunLockTest, ASecondRunWhileTheFirstHoldsTheLockDoesNothingAndSaysWhy) {
    auto gate = std::make_unique<test::TInsertGate>(db);
    auto first = StartRun(out.File("first.txt"));
    const std::string holder = WaitForHolder();
    ASSERT_NE(holder, "");

    const TAdminResult second = test::RunProcess(TARVIK_ADMIN, {"run", dir.Path(), "--table", "estoque_minimo"});
    EXPECT_EQ(second.status, 75);
    EXPECT_EQ(second.out, "");
    EXPECT_EQ(second.err.substr(second.err.find("Uma ")), InProgressText(holder)) << second.err;
    gate.reset();

    EXPECT_EQ(WEXITSTATUS(first->WaitStatus()), 0) << test::ReadWholeFile(out.File("first.txt"));
    EXPECT_EQ(Counts(), std::to_string(kProducts) + " " + std::to_string(kProducts));
}

// Started together, whichever gets the lock fills the table; the other is refused or, if it
// came after the first ended, finds nothing missing.
TEST_F(RunLockTest, TwoRunsStartedTogetherNeverInsertAProductTwice) {
    auto a = StartRun(out.File("a.txt"));
    auto b = StartRun(out.File("b.txt"), true);
    const int statusA = WEXITSTATUS(a->WaitStatus());
    const int statusB = WEXITSTATUS(b->WaitStatus());
    EXPECT_TRUE((statusA == 0 && (statusB == 0 || statusB == 75)) || (statusB == 0 && statusA == 75))
        << statusA << " " << statusB << "\n"
        << test::ReadWholeFile(out.File("a.txt")) << test::ReadWholeFile(out.File("b.txt"));
    EXPECT_EQ(Counts(), std::to_string(kProducts) + " " + std::to_string(kProducts));
}

// The window beside tarvik-admin run: the window's run is refused with the same text in its
// error box, and the tool's run goes on to the end.
TEST_F(RunLockTest, TheWindowIsRefusedWhileTheToolRuns) {
    auto gate = std::make_unique<test::TInsertGate>(db);
    auto tool = StartRun(out.File("tool.txt"));
    const std::string holder = WaitForHolder();
    ASSERT_NE(holder, "");
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const TAdminResult window = test::RunProcess(TARVIK_RUN_DRIVER, {dir.Path()});
    EXPECT_EQ(window.status, 0) << window.err;
    EXPECT_EQ(window.out, "error\tUma gera\xE7\xE3o para a filial 3 em estoque_minimo j\xE1 est\xE1 em andamento "
                          "(conex\xE3o " + holder + "). Tente novamente quando ela terminar.\n");
    gate.reset();
    EXPECT_EQ(WEXITSTATUS(tool->WaitStatus()), 0);
    EXPECT_EQ(Counts(), std::to_string(kProducts) + " " + std::to_string(kProducts));
}

// A holder that is killed outright, or interrupted with Ctrl-C, frees the lock with its
// connection at once; the next run then fills in what is missing, each product once.
TEST_F(RunLockTest, AHolderThatDiesFreesTheLockForTheNextRun) {
    for (const int signal : {SIGKILL, SIGINT}) {
        SCOPED_TRACE(signal == SIGKILL ? "SIGKILL" : "SIGINT");
        db.Exec("DELETE FROM estoque_minimo");
        auto first = StartRun(out.File("first.txt"));
        ASSERT_NE(WaitForHolder(), "");
        first->Signal(signal);
        const int status = first->WaitStatus();
        // Ctrl-C stops the run after the product in progress, with a status of its own.
        if (signal == SIGINT) {
            EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 130);
        }
        const auto killed = std::chrono::steady_clock::now();
        while (!Holder().empty() && std::chrono::steady_clock::now() - killed < std::chrono::seconds(30))
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(Holder(), "") << "still held 30 s after its holder died";

        const TAdminResult next = test::RunProcess(TARVIK_ADMIN, {"run", dir.Path(), "--table", "estoque_minimo"});
        EXPECT_EQ(next.status, 0) << next.err;
        EXPECT_EQ(Counts(), std::to_string(kProducts) + " " + std::to_string(kProducts));
    }
}

}  // namespace
}  // namespace tarvik
