// tarvik-admin run: the window's run without the window, against the test server.
#include <gtest/gtest.h>

#include <cstdlib>

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

TEST_F(RunTest, AnErrorStopsTheRunWithItsTextAndKeepsTheRowsBeforeIt) {
    db.Exec("ALTER TABLE estoque_minimo ADD CONSTRAINT sem_tres CHECK (produto_id <> 3)");
    Init();
    const TAdminResult r = Admin({"run", dir.Path(), "--table", "estoque_minimo", "--quiet"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "QInclui: CONSTRAINT `sem_tres` failed for `" + db.Name() +
                         "`.`estoque_minimo`\n1 rows inserted into estoque_minimo before the error; they stay\n");
    EXPECT_EQ(db.Scalar("SELECT GROUP_CONCAT(produto_id ORDER BY produto_id) FROM estoque_minimo WHERE filial_id = 3"
                        " AND lojas_leram = 'C'"),
              "1");
}

TEST_F(RunTest, AStoredPasswordThatIsNoCipherTextStopsBeforeConnecting) {
    Init({"--use-logical-branch"});
    dir.Write("sistema_qor.ini", "[ip]\nlocal=127.0.0.1\ndatabase=" + db.Name() + "\nsenha=zz\n");
    const TAdminResult r = Admin({"run", dir.Path(), "--table", "estoque_minimo"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "'$zz' is not a valid integer value\n0 rows inserted into estoque_minimo before the error; they stay\n");
    EXPECT_TRUE(StatementsOfOurSessions().empty());
}

TEST_F(RunTest, UnknownTableIsBadUsage) {
    Init();
    const TAdminResult r = Admin({"run", dir.Path(), "--table", "produto"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "tarvik-admin: --table \"produto\": estoque_minimo or estoque_minimo2\n");
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
            const TAdminResult r = test::RunProcess(TARVIK_ADMIN, {"run", dir.Path(), "--table", "estoque_minimo"});
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
