#pragma once
// A branch database on the test server and a settings directory written for it by
// `tarvik-admin init`, as an administrator would set a workstation up.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/BranchTables.h"
#include "tests/support/FakeResolvers.h"
#include "tests/support/ScopedWorkingDirectory.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestServer.h"
#include "tests/tools/AdminTestSupport.h"

namespace tarvik::test {

// The branch tables with six rows of produto (product 5 twice); estoque_minimo holds rows for
// branch 3 of products 2 and 4 (4 twice) and one of branch 7; estoque_minimo2 is empty. A run for
// branch 3 inserts products 1, 3 and 5 into estoque_minimo and 1 to 5 into estoque_minimo2. The
// server's record names branch 12, store code "C".
inline const std::vector<std::string> kBranchSchema = [] {
    std::vector<std::string> statements = BranchSchema();
    statements.push_back("INSERT INTO produto VALUES (1), (2), (3), (4), (5), (5)");
    statements.push_back("INSERT INTO estoque_minimo VALUES (2, 3, 'x'), (4, 3, 'x'), (4, 3, 'y'), (1, 7, 'x')");
    return statements;
}();

#ifndef _WIN32
// (Symbolic links are POSIX's; the Windows build's history file is tested in platform/.)
// A "localhost" identification host as the tool meets it: resolved to the test server, from a
// working directory of the scene's own, with a file elsewhere that a link named iphist.dat can
// point to. Everything is put back when the scene goes.
class THistoryFileScene {
public:
    static constexpr const char* kKeptText = "someone else's file\n";

    THistoryFileScene() : kept_(elsewhere_.Write("kept.txt", kKeptText)), inWorking_(working_.Path()) {}

    std::string History() const { return working_.File("iphist.dat"); }
    // Makes iphist.dat a symbolic link to the file elsewhere.
    bool LinkHistoryElsewhere() const { return ::symlink(kept_.c_str(), History().c_str()) == 0; }
    std::string KeptText() const { return ReadWholeFile(kept_); }

private:
    TTempDir working_;
    TTempDir elsewhere_;
    std::string kept_;
    TScopedWorkingDirectory inWorking_;
    TScopedResolver resolver_{&ResolveToLoopback};
};
#endif

// Holds a run that starts next at its INSERT of product 1 for branch 3, with the run lock taken,
// for as long as the gate lives: a transaction of the test's own holds that row uncommitted, so
// the run waits on its key (the run does not see the row, and inserts it). However fast the run
// would be, it cannot end before the gate opens.
class TInsertGate {
public:
    explicit TInsertGate(TScratchDatabase& db) : session_(db.Name()) {
        db.Exec("ALTER TABLE estoque_minimo ADD UNIQUE KEY um_por_filial (produto_id, filial_id)");
        session_.Exec("START TRANSACTION");
        session_.Exec("INSERT INTO estoque_minimo VALUES (1, 3, 'x')");
    }
    ~TInsertGate() { session_.Exec("ROLLBACK"); }
    TInsertGate(const TInsertGate&) = delete;
    TInsertGate& operator=(const TInsertGate&) = delete;

private:
    TAdminConnection session_;
};

class BranchFixture : public testing::Test {
protected:
    void SetUp() override {
        for (const std::string& statement : kBranchSchema) db.Exec(statement);
    }

    // Writes both settings files for the scratch database; `extra` are further init options.
    void Init(const std::vector<std::string>& extra = {}, const std::string& host = "127.0.0.1",
              const std::string& idHost = "127.0.0.1") {
        std::vector<std::string> arguments = {"init", dir.Path(), "--force", "--host", host, "--database", db.Name(),
                                              "--branch", "3"};
        if (std::find(extra.begin(), extra.end(), "--use-logical-branch") == extra.end())
            arguments.insert(arguments.end(),
                             {"--id-host", idHost, "--id-database", db.Name(), "--id-user", TestServer().user});
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        const TAdminResult r = Admin(arguments, TestServer().password + "\n" + TestServer().password + "\n");
        ASSERT_EQ(r.status, 0) << r.err;
    }

    // Every statement that sessions other than the test's own sent on the scratch database.
    std::vector<std::string> StatementsOfOurSessions() {
        std::vector<std::string> all;
        for (unsigned long id : db.OtherSessions())
            for (const std::string& s : db.Statements(id)) all.push_back(s);
        return all;
    }

    TScratchDatabase db;
    TTempDir dir;
};

}  // namespace tarvik::test
