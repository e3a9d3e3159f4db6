// tarvik-admin run: the window's run without the window, against the test server.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "tests/support/KilledServerScene.h"

#include "tests/tools/BranchFixture.h"

namespace tarvik {
namespace {

using test::Admin;
using test::TAdminResult;
using test::TRow;

class RunTest : public test::BranchFixture {};

TEST_F(RunTest, InsertsTheMissingRowsAndSaysHowMany) {
    Init();
    const TAdminResult r = Admin({"run", dir.Path(), "--table", "estoque_minimo2"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Processamento Concluido!\n5 rows inserted into estoque_minimo2\n");
    // Not a terminal: plain lines, the last one at the end of the run.
    EXPECT_NE(r.err.find("estoque_minimo2: 0 of 6 products (0%)\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("estoque_minimo2: 6 of 6 products (100%)"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\r'), std::string::npos);
    // filial_id is the logical branch, the store code that of the server's branch 12.
    EXPECT_EQ(db.Query("SELECT produto_id, filial_id, lojas_leram, quantidade FROM estoque_minimo2 ORDER BY id"),
              (std::vector<TRow>{{"1", "3", "C", "0"}, {"2", "3", "C", "0"}, {"3", "3", "C", "0"},
                                 {"4", "3", "C", "0"}, {"5", "3", "C", "0"}}));
}

// In flights the message also names the product whose INSERT was refused.
TEST_F(RunTest, AnErrorStopsTheRunWithItsTextAndKeepsTheRowsBeforeIt) {
    db.Exec("ALTER TABLE estoque_minimo ADD CONSTRAINT sem_tres CHECK (produto_id <> 3)");
    Init();
    for (const auto& [mode, name] : {std::pair<std::string, std::string>{"--one-at-a-time", "QInclui"},
                                     {"--flight-size=200", "QInclui (produto_id 3)"}}) {
        SCOPED_TRACE(mode);
        db.Exec("DELETE FROM estoque_minimo WHERE lojas_leram = 'C'");
        const TAdminResult r = Admin({"run", dir.Path(), "--table", "estoque_minimo", "--quiet", mode});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, name + ": CONSTRAINT `sem_tres` failed for `" + db.Name() +
                             "`.`estoque_minimo`\n1 rows inserted into estoque_minimo before the error; they stay\n");
        EXPECT_EQ(db.Scalar("SELECT GROUP_CONCAT(produto_id ORDER BY produto_id) FROM estoque_minimo WHERE filial_id = 3"
                            " AND lojas_leram = 'C'"),
                  "1");
    }
}

TEST_F(RunTest, AStoredPasswordThatIsNoCipherTextStopsBeforeConnecting) {
    Init({"--use-logical-branch"});
    dir.Write("sistema_qor.ini", "[ip]\nlocal=127.0.0.1\ndatabase=" + db.Name() + "\nsenha=zz\n");
    const TAdminResult r = Admin({"run", dir.Path(), "--table", "estoque_minimo"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "'$zz' is not a valid integer value\n0 rows inserted into estoque_minimo before the error; they stay\n");
    EXPECT_TRUE(StatementsOfOurSessions().empty());
}

// As the window: a "localhost" identification host leaves an empty iphist.dat in the working
// directory, but never through a link of that name (a run often goes as root).
TEST_F(RunTest, LeavesTheHistoryFileButNeverThroughALink) {
    Init({}, "127.0.0.1", "localhost");
    const test::THistoryFileScene scene;
    ASSERT_TRUE(scene.LinkHistoryElsewhere());
    const TAdminResult linked = Admin({"run", dir.Path(), "--table", "estoque_minimo", "--quiet"});
    EXPECT_EQ(linked.status, 1);
    EXPECT_EQ(linked.err, "Falha ao carregar dados de identifica\xC3\xA7\xC3\xA3o do servidor.\r\nMotivo: Cannot "
                          "create file \"" + scene.History() + "\". " + std::strerror(ELOOP) +
                          "\n0 rows inserted into estoque_minimo before the error; they stay\n");
    EXPECT_EQ(scene.KeptText(), test::THistoryFileScene::kKeptText);

    ASSERT_EQ(::unlink(scene.History().c_str()), 0);
    const TAdminResult plain = Admin({"run", dir.Path(), "--table", "estoque_minimo", "--quiet"});
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out, "3 rows inserted into estoque_minimo\n");
    EXPECT_TRUE(test::FileExists(scene.History()));
    EXPECT_EQ(test::ReadWholeFile(scene.History()), "");
}

TEST_F(RunTest, UnknownTableIsBadUsage) {
    Init();
    const TAdminResult r = Admin({"run", dir.Path(), "--table", "produto"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "tarvik-admin: --table \"produto\": estoque_minimo or estoque_minimo2\n");
}

// The server dies while an insert waits for its answer. The server may have stored that row
// or not (here it had not committed it); either way the count of confirmed rows is not the
// whole story, and the tool says so.
// One at a time the last insert is unknown; in flights, every insert of the last flight that
// the server never answered.
TEST(RunLosesTheServerTest, AnInsertWhoseAnswerWasLostIsReportedAsUnknown) {
  const struct {
    const char* mode;
    std::string lost;
  } cases[] = {
      {"--one-at-a-time",
       "QInclui: Lost connection to server during query\n2 rows inserted into estoque_minimo before the error; they "
       "stay. The connection was lost during the next insert: whether the server stored that row is unknown\n"},
      {"--flight-size=200",
       "QInclui (produto_id 3): Lost connection to server during query\n2 rows inserted into estoque_minimo before "
       "the error; they stay. The last flight's answers were lost or did not match its statements: what the server "
       "did from produto_id 3 on is unknown, and so is whether it stored the flight's 3 unanswered inserts\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    test::TKilledServerScene scene(5);
    // The insert of product 3 keeps its statement open until the server is killed.
    scene.Server().Exec("CREATE TRIGGER loja.espera AFTER INSERT ON loja.estoque_minimo FOR EACH ROW"
                        " SET @espera = IF(NEW.produto_id = 3, SLEEP(120), 0)");
    test::TTempDir dir;
    const TAdminResult init = Admin({"init", dir.Path(), "--host", scene.Address().host, "--database", "loja",
                                     "--branch", "3", "--use-logical-branch"},
                                    scene.Address().password + "\n");
    ASSERT_EQ(init.status, 0) << init.err;

    TAdminResult r;
    std::thread run([&r, &dir, &c] { r = Admin({"run", dir.Path(), "--table", "estoque_minimo", "--quiet", c.mode}); });
    bool inserting = false;
    for (int i = 0; i < 600 && !inserting; ++i) {
        inserting = scene.Server().Query(
                        "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE STATE = 'User sleep'") ==
                    std::vector<TRow>{{"1"}};
        if (!inserting) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    scene.Kill();
    run.join();
    ASSERT_TRUE(inserting) << "the insert of product 3 was never seen waiting: " << r.err;

    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.lost);
    EXPECT_EQ(scene.AfterRestart("SELECT produto_id FROM loja.estoque_minimo ORDER BY produto_id"),
              (std::vector<TRow>{{"1"}, {"2"}}));
  }
}

// The window's run (its own program, offscreen, "Iniciar" clicked) and the headless run, each
// on a copy of the same data: the server sees the same sessions and the same statements.
TEST(RunAgainstTheWindowTest, SendsTheWindowsStatementsByteForByte) {
    const auto logOf = [](test::TScratchDatabase& db) {
        std::vector<std::string> log;
        for (unsigned long id : db.OtherSessions()) {
            for (std::string row : db.GeneralLog(id)) {
                for (size_t at; (at = row.find(db.Name())) != std::string::npos;) row.replace(at, db.Name().size(), "DB");
                log.push_back(row);
            }
        }
        return log;
    };
    std::vector<std::vector<std::string>> logs;
    for (const bool window : {true, false}) {
        test::TScratchDatabase db;
        for (const std::string& s : test::kBranchSchema) db.Exec(s);
        test::TTempDir dir;
        const TAdminResult init = Admin({"init", dir.Path(), "--host", "127.0.0.1", "--database", db.Name(),
                                         "--branch", "3", "--id-host", "127.0.0.1", "--id-database", db.Name(),
                                         "--id-user", test::TestServer().user},
                                        test::TestServer().password + "\n" + test::TestServer().password + "\n");
        ASSERT_EQ(init.status, 0) << init.err;
        if (window) {
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            const TAdminResult r = test::RunProcess(TARVIK_RUN_DRIVER, {dir.Path()});
            ASSERT_EQ(r.status, 0) << r.err;
            ASSERT_EQ(r.out, "information\tProcessamento Concluido!\n");
        } else {
            const TAdminResult r =
                test::RunProcess(TARVIK_ADMIN, {"run", dir.Path(), "--table", "estoque_minimo", "--one-at-a-time"});
            ASSERT_EQ(r.status, 0) << r.err;
            ASSERT_EQ(r.out, "Processamento Concluido!\n3 rows inserted into estoque_minimo\n");
        }
        EXPECT_EQ(db.Scalar("SELECT COUNT(*) FROM estoque_minimo WHERE filial_id = 3 AND lojas_leram = 'C'"), "3");
        logs.push_back(logOf(db));
    }
    ASSERT_FALSE(logs[0].empty());
    EXPECT_EQ(logs[1], logs[0]);
}

}  // namespace
}  // namespace tarvik
