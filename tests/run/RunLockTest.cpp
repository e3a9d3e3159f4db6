// The run lock: its name, and what a run does when the lock is taken, refused or cannot be given
// back, through the components every front end runs with, against the test server.
#include "run/RunComponents.h"
#include "run/RunLock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/run/RunSupport.h"
#include "tests/support/BranchTables.h"
#include "tests/support/TestServer.h"
#include "tests/support/ThrowsExactly.h"

namespace tarvik {
namespace {

using test::TRow;
using Texts = std::vector<std::string>;

struct TNameCase {
    const char* what;
    std::string database;
    std::string table;
    int32_t branch;
    std::string name;
};

TEST(RunLockNameTest, PlainPartsAsTheyAreAnythingElseHashed) {
    const std::string longName(60, 'b');
    const TNameCase cases[] = {
        {"plain", "merovan", "estoque_minimo", 3, "tarvik/merovan/estoque_minimo/3"},
        {"letters in lower case", "MeroVan", "estoque_minimo2", 12, "tarvik/merovan/estoque_minimo2/12"},
        {"negative branch", "merovan", "estoque_minimo", -1, "tarvik/merovan/estoque_minimo/-1"},
        {"a quote in the database", "mero'van", "estoque_minimo", 3, "tarvik/#fc3e6fd73bb5b6c2/estoque_minimo/3"},
        {"a blank", "loja 1", "estoque_minimo", 3, "tarvik/#a63d0c977914482e/estoque_minimo/3"},
        {"a Windows-1252 letter", "s\xE3o_paulo", "estoque_minimo", 3, "tarvik/#c8282d1b53382ac0/estoque_minimo/3"},
        {"too long for the server", longName, "estoque_minimo", 3, "tarvik/#6f785f2ab65f6f25/estoque_minimo/3"},
    };
    for (const TNameCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = RunLockName(c.database, c.table, c.branch);
        EXPECT_EQ(name, c.name);
        EXPECT_LE(name.size(), 64u);
        EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_$-/#"), std::string::npos) << name;
    }
    // The hash tells databases apart and does not depend on letter case.
    EXPECT_NE(RunLockName("loja 1", "estoque_minimo", 3), RunLockName("loja 2", "estoque_minimo", 3));
    EXPECT_EQ(RunLockName("Loja 1", "estoque_minimo", 3), RunLockName("loja 1", "estoque_minimo", 3));
    EXPECT_NE(RunLockName("merovan", "estoque_minimo", 3), RunLockName("merovan", "estoque_minimo2", 3));
    EXPECT_NE(RunLockName("merovan", "estoque_minimo", 3), RunLockName("merovan", "estoque_minimo", 4));
}

// What the run asked of its front end.
struct TRecordingView : TRunView {
    bool enabled = true;
    int32_t maximum = 0, progress = 0;
    Texts told;
    std::function<void(int32_t)> onProgress;
    void SetStartEnabled(bool e) override { enabled = e; }
    void SetGaugeMaximum(int32_t m) override { maximum = m; }
    int32_t GaugeProgress() const override { return progress; }
    void SetGaugeProgress(int32_t p) override {
        progress = p;
        if (onProgress) onProgress(p);
    }
    void Inform(const std::string& text) override { told.push_back(text); }
};

// Products 1 to 4, the row of product 2 already there; branch 3, store code "C".
class RunLockTest : public testing::Test {
protected:
    RunLockTest() {
        db_.Exec(test::kCreateProduto);
        db_.Exec("INSERT INTO produto VALUES (1), (2), (3), (4)");
        db_.Exec(test::kCreateEstoqueMinimo);
        db_.Exec("INSERT INTO estoque_minimo VALUES (2, 3, 'x')");
        test::PointAt(components_, test::TestServer(), db_.Name());
    }

    void Run() { components_.Run(view_, "estoque_minimo", branch_); }
    std::string LockName() const { return RunLockName(db_.Name(), "estoque_minimo", 3); }
    std::string Holder() { return db_.Scalar("SELECT IS_USED_LOCK('" + LockName() + "')"); }
    std::string Rows() {
        return db_.Scalar("SELECT GROUP_CONCAT(produto_id, lojas_leram ORDER BY produto_id) FROM estoque_minimo");
    }
    // The components' session: the first one of the code under test, leaving out `besides`.
    unsigned long MainSession(unsigned long besides = 0) {
        for (const unsigned long id : db_.OtherSessions())
            if (id != besides) return id;
        return 0;
    }

    test::TScratchDatabase db_;
    TRunComponents components_;
    TRecordingView view_;
    const TBranchIdentity branch_{[] { return 3; }, [] { return std::string("C"); }};
};

TEST_F(RunLockTest, ARunTakesTheLockAndGivesItBackBeforeTheCompletionMessage) {
    std::string heldDuringRun, heldAtTheMessage = "not asked";
    view_.onProgress = [&](int32_t) {
        if (heldDuringRun.empty()) heldDuringRun = Holder();
    };
    Run();
    heldAtTheMessage = Holder();
    EXPECT_EQ(heldDuringRun, std::to_string(MainSession()));
    EXPECT_EQ(heldAtTheMessage, "");
    EXPECT_EQ(view_.told, Texts{"Processamento Concluido!"});
    EXPECT_TRUE(view_.enabled);
    EXPECT_EQ(Rows(), "1C,2x,3C,4C");
    const Texts sent = db_.Statements(MainSession());
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent.front(), "SELECT GET_LOCK('" + LockName() + "', 0)");
    EXPECT_EQ(sent.back(), "SELECT RELEASE_LOCK('" + LockName() + "')");
    EXPECT_TRUE(components_.Conexao().Connected()) << "the link stays open after the run";
}

TEST_F(RunLockTest, ALockHeldElsewhereStopsTheRunBeforeItDoesAnything) {
    test::TAdminConnection other(db_.Name());
    ASSERT_EQ(other.Scalar("SELECT GET_LOCK('" + LockName() + "', 0)"), "1");
    const std::string holder = std::to_string(other.ThreadId());

    try {
        Run();
        FAIL() << "the run went on while another held its lock";
    } catch (const ERunInProgress& e) {
        EXPECT_STREQ(e.what(), ("Uma gera\xE7\xE3o para a filial 3 em estoque_minimo j\xE1 est\xE1 em andamento "
                                "(conex\xE3o " + holder + "). Tente novamente quando ela terminar.")
                                   .c_str());
        EXPECT_EQ(e.Holder(), holder);
    }
    EXPECT_TRUE(view_.enabled) << "the user may try again";
    EXPECT_EQ(view_.told, Texts{});
    EXPECT_EQ(Rows(), "2x");
    EXPECT_EQ(db_.Statements(MainSession(other.ThreadId())), (Texts{"SELECT GET_LOCK('" + LockName() + "', 0)",
                                                    "SELECT IS_USED_LOCK('" + LockName() + "')"}));
    EXPECT_FALSE(components_.QProdutos().Active());

    // Once the other gives it back, the same components run.
    other.Exec("DO RELEASE_LOCK('" + LockName() + "')");
    Run();
    EXPECT_EQ(Rows(), "1C,2x,3C,4C");
    EXPECT_EQ(view_.told, Texts{"Processamento Concluido!"});
}

// The lock is given back after an error too, while the program (and its link) stays.
TEST_F(RunLockTest, ARefusedInsertStopsTheRunAndTheLockIsFreeAgain) {
    db_.Exec("ALTER TABLE estoque_minimo ADD CONSTRAINT sem_tres CHECK (produto_id <> 3)");
    EXPECT_THROW(Run(), EDatabaseError);
    EXPECT_EQ(Rows(), "1C,2x");
    EXPECT_FALSE(view_.enabled);
    EXPECT_TRUE(components_.Conexao().Connected());
    EXPECT_EQ(Holder(), "");
}

// A link that breaks before the lock is taken: the run says which lock it could not take, and
// sends nothing else.
TEST_F(RunLockTest, ALockTheServerWillNotGiveStopsTheRunWithTheReason) {
    components_.Transacao().Connect();
    const std::string main = std::to_string(MainSession());
    db_.Exec("KILL " + main);
    try {
        Run();
        FAIL() << "the run went on without its lock";
    } catch (const ERunInProgress&) {
        FAIL() << "a refusal is no run in progress";
    } catch (const EDatabaseError& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("N\xE3o foi poss\xEDvel reservar a gera\xE7\xE3o para a filial 3 em estoque_minimo: ", 0),
                  0u)
            << text;
        EXPECT_NE(e.ErrorNumber(), 0u);
    }
    EXPECT_FALSE(view_.enabled);
    EXPECT_EQ(view_.told, Texts{});
    EXPECT_EQ(Rows(), "2x");
}

// When the lock cannot be given back, the link is closed (the server frees the lock with it)
// and the run's result stands: the completion message still comes.
TEST_F(RunLockTest, ALockThatCannotBeGivenBackClosesTheLinkAndTheRunStillCompletes) {
    view_.onProgress = [&](int32_t progress) {
        if (progress == 4) db_.Exec("KILL " + std::to_string(MainSession()));
    };
    db_.Exec("INSERT INTO estoque_minimo VALUES (4, 3, 'x')");
    Run();
    EXPECT_EQ(view_.told, Texts{"Processamento Concluido!"});
    EXPECT_TRUE(view_.enabled);
    EXPECT_FALSE(components_.Conexao().Connected());
    EXPECT_EQ(Rows(), "1C,2x,3C,4x");
    // The killed session lets go of its locks as it ends, a moment after KILL returns.
    for (int i = 0; i < 1500 && !Holder().empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(Holder(), "");
}

}  // namespace
}  // namespace tarvik
