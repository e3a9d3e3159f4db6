// tarvik-admin check against the test server: what it finds, its exit status, and that it
// only ever reads.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>

#include "tests/tools/BranchFixture.h"
#include "tools/admin/CheckCommand.h"

namespace tarvik {
namespace {

using test::Admin;
using test::TAdminResult;

class CheckTest : public test::BranchFixture {};

TEST_F(CheckTest, AGoodSetUpPassesWithTheRowsARunWouldInsert) {
    Init();
    const TAdminResult r = Admin({"check", dir.Path()});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("main connection: root@127.0.0.1, database " + db.Name() + "\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  record: filial_id 12, cnpj_servidor \"12.345.678/0012-90\", tipo_servidor \"FILIAL\"\n"),
              std::string::npos) << r.out;
    EXPECT_NE(r.out.find("branch: filial_id 3 (CodLogica); store code from the server's record: branch 12, code \"C\"\n"),
              std::string::npos) << r.out;
    EXPECT_NE(r.out.find("estoque_minimo: 6 products, 3 rows to insert\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("estoque_minimo2: 6 products, 5 rows to insert\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("note: estoque_minimo2.quantidade is NOT NULL without a default: each row gets the empty "
                         "value (0, '' or the zero date)\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("a run would succeed\n"), std::string::npos) << r.out;

    // The counts are what a run then really inserts.
    const TAdminResult run = Admin({"run", dir.Path(), "--table", "estoque_minimo", "--quiet"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "3 rows inserted into estoque_minimo\n");
    const nlohmann::json after = nlohmann::json::parse(Admin({"check", "--json", dir.Path()}).out);
    EXPECT_EQ(after["tables"]["estoque_minimo"]["rows_to_insert"], 0);
    EXPECT_EQ(after["tables"]["estoque_minimo"]["products"], 6);
    EXPECT_EQ(after["tables"]["estoque_minimo2"]["rows_to_insert"], 5);
    EXPECT_EQ(after["run_would_succeed"], true);
}

TEST_F(CheckTest, EachReasonARunWouldFailIsPrintedWithStatusOne) {
    struct TCase {
        std::vector<std::string> change;  // statements run on the good set-up
        std::string reason;               // one line under "a run would not succeed:" ("DB" is the database)
        std::string kind;                 // its kind in check --json
    };
    const TCase cases[] = {
        {{"DROP TABLE estoque_minimo2"}, "estoque_minimo2: Table 'DB.estoque_minimo2' doesn't exist", "missing_table"},
        {{"ALTER TABLE estoque_minimo DROP COLUMN lojas_leram"}, "estoque_minimo has no column lojas_leram", "missing_column"},
        {{"ALTER TABLE produto CHANGE produto_id codigo INT NOT NULL"}, "produto has no column produto_id", "missing_column"},
        {{"UPDATE identificacao_servidor SET filial_id = 80"},
         "a run stops at the first missing row with: O filial_id 80 n\xC3\xA3o pode ser convertido para um "
         "\"lojas_leram\" v\xC3\xA1lido", "settings"},
        {{"DELETE FROM identificacao_servidor"},
         "a run stops at the first missing row with: Falha ao carregar dados de identifica\xC3\xA7\xC3\xA3o do "
         "servidor.\r\nMotivo: N\xC3\xA3o foi poss\xC3\xADvel encontrar a identifica\xC3\xA7\xC3\xA3o do servidor.", "identification"},
        // A type the run cannot write is left out of the insert, and strict mode wants a value.
        {{"ALTER TABLE estoque_minimo ADD COLUMN marca VARBINARY(8) NOT NULL"},
         "estoque_minimo.marca (varbinary(8)) is NOT NULL without a default and the run cannot write its type: the "
         "strict sql_mode refuses every insert", "insert_refused"},
        // MariaDB keeps JSON as a checked LONGTEXT: the empty text a run gives it is refused.
        {{"ALTER TABLE estoque_minimo ADD COLUMN dados JSON NOT NULL"},
         "estoque_minimo.dados (longtext) is a NOT NULL JSON column without a default: the empty text a run gives "
         "it is no JSON, so the server refuses every insert", "insert_refused"},
        {{"ALTER TABLE estoque_minimo DROP COLUMN lojas_leram",
          "ALTER TABLE estoque_minimo ADD COLUMN lojas_leram CHAR(1) AS ('x') VIRTUAL"},
         "estoque_minimo.lojas_leram is a generated column: the run cannot set it", "insert_refused"},
        // Through the latin1 link the name arrives as "??".
        {{"ALTER TABLE estoque_minimo ADD COLUMN `\u6570\u91cf` INT NOT NULL"},
         "estoque_minimo.?? (int(11)) is NOT NULL without a default and the run leaves it out (its name may hold "
         "characters the latin1 link cannot carry): the strict sql_mode refuses every insert", "insert_refused"},
    };
    for (const TCase& c : cases) {
        test::TScratchDatabase fresh;
        for (const std::string& s : test::kBranchSchema) fresh.Exec(s);
        for (const std::string& s : c.change) fresh.Exec(s);
        const TAdminResult init = Admin({"init", dir.Path(), "--force", "--host", "127.0.0.1", "--database",
                                         fresh.Name(), "--branch", "3", "--id-host", "127.0.0.1", "--id-database",
                                         fresh.Name(), "--id-user", test::TestServer().user},
                                        test::TestServer().password + "\n" + test::TestServer().password + "\n");
        ASSERT_EQ(init.status, 0) << init.err;
        const TAdminResult r = Admin({"check", dir.Path()});
        std::string reason = c.reason;
        if (const size_t at = reason.find("DB"); at != std::string::npos) reason.replace(at, 2, fresh.Name());
        EXPECT_EQ(r.status, 1) << r.out;
        EXPECT_NE(r.out.find("a run would not succeed:\n"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("\n  " + reason + "\n"), std::string::npos) << r.out;
        const nlohmann::json reasons = nlohmann::json::parse(Admin({"check", dir.Path(), "--json"}).out)["reasons"];
        EXPECT_NE(std::find(reasons.begin(), reasons.end(), nlohmann::json({{"kind", c.kind}, {"message", reason}})),
                  reasons.end())
            << reasons.dump(1);
    }
}

// Columns that the run leaves to the server in every shape it can take them: check says a run
// would succeed, and the run then does, with the rows the server itself would write.
TEST_F(CheckTest, SaysARunWouldSucceedOnlyWhenItDoes) {
    db.Exec("ALTER TABLE estoque_minimo ADD COLUMN `order` INT NOT NULL DEFAULT 3, ADD COLUMN `min qty` INT DEFAULT 4,"
            " ADD COLUMN obs VARCHAR(10) DEFAULT '', ADD COLUMN dados JSON DEFAULT (json_object('k', 1)),"
            " ADD COLUMN preco DECIMAL(30,10) NOT NULL DEFAULT 12345678901234567890.1234567890");
    Init();
    const TAdminResult r = Admin({"check", dir.Path(), "--table", "estoque_minimo"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("a run would succeed\n"), std::string::npos) << r.out;

    const TAdminResult run = Admin({"run", dir.Path(), "--table", "estoque_minimo", "--quiet"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "3 rows inserted into estoque_minimo\n");
    const std::vector<test::TRow> added =
        db.Query("SELECT DISTINCT `order`, `min qty`, obs, dados, preco FROM estoque_minimo WHERE lojas_leram = 'C'");
    const std::vector<test::TRow> expected = {
        {"3", "4", "", "{\"k\": 1}", "12345678901234567890.1234567890"}};
    EXPECT_EQ(added, expected);
}

TEST_F(CheckTest, NoStoreCodeIsNoFailureWhileNothingIsToBeInserted) {
    db.Exec("UPDATE identificacao_servidor SET filial_id = 80");
    db.Exec("INSERT INTO estoque_minimo VALUES (1, 3, 'x'), (3, 3, 'x'), (5, 3, 'x')");
    Init();
    const TAdminResult r = Admin({"check", dir.Path(), "--table", "estoque_minimo"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("note: no store code (O filial_id 80"), std::string::npos) << r.out;
}

TEST_F(CheckTest, AnUnreachableServerMeansTheCheckCouldNotBeMade) {
    // Nothing listens on this loopback address.
    Init({}, "127.0.0.2");
    const TAdminResult r = Admin({"check", dir.Path()});
    EXPECT_EQ(r.status, 2);
    const std::string prefix = "tarvik-admin: cannot check: main connection root@127.0.0.2, database " + db.Name() +
                               ": Can't connect to server on '127.0.0.2'";
    EXPECT_EQ(r.err.substr(0, prefix.size()), prefix) << r.err;
    EXPECT_EQ(nlohmann::json::parse(Admin({"check", dir.Path(), "--json"}).out)["error_kind"], "unreachable");
}

// The server answered and refused the settings' login or database: the set-up is wrong (1), which
// the client library's error number tells apart from a server that does not answer (2).
TEST_F(CheckTest, ALoginTheServerRefusesIsASetUpFault) {
    const TAdminResult init = Admin({"init", dir.Path(), "--host", "127.0.0.1", "--database", db.Name(), "--branch",
                                     "3", "--use-logical-branch"},
                                    "not-the-password\n");
    ASSERT_EQ(init.status, 0) << init.err;
    const TAdminResult r = Admin({"check", dir.Path()});
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_NE(r.out.find("main connection root@127.0.0.1, database " + db.Name() +
                         ": Access denied for user 'root'@'127.0.0.1' (using password: YES)"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(nlohmann::json::parse(Admin({"check", dir.Path(), "--json"}).out)["reasons"][0]["kind"], "access");
}

#ifndef _WIN32
// (These start the tool as a process and make a symbolic link; on Windows the tool is run from
// the outside, by tests/windows/test-admin-under-wine.)
// Names the server gives over the main link come as latin1 bytes, the settings' values as
// Windows-1252: both go out as UTF-8, in JSON and on the terminal alike. Run as a process of its
// own, so that an abort shows as one.
TEST_F(CheckTest, NamesOutsideAsciiGoOutAsUtf8) {
    db.Exec("SET NAMES utf8mb4");
    db.Exec("ALTER TABLE estoque_minimo ADD COLUMN `observa\xC3\xA7\xC3\xA3o` VARBINARY(8) NOT NULL");
    Init();
    const std::string column = "estoque_minimo.observa\xC3\xA7\xC3\xA3o (varbinary(8))";
    const TAdminResult json = test::RunProcess(TARVIK_ADMIN, {"check", "--json", dir.Path()});
    EXPECT_EQ(json.status, 1) << json.err;
    const nlohmann::json report = nlohmann::json::parse(json.out);
    ASSERT_FALSE(report["problems"].empty()) << json.out;
    EXPECT_EQ(report["problems"][0].get<std::string>().rfind(column, 0), 0u) << json.out;
    EXPECT_EQ(report["tables"]["estoque_minimo"]["columns_failing_inserts"][0], "observa\xC3\xA7\xC3\xA3o");
    const TAdminResult text = test::RunProcess(TARVIK_ADMIN, {"check", dir.Path()});
    EXPECT_EQ(text.status, 1) << text.err;
    EXPECT_NE(text.out.find("\n  " + column), std::string::npos) << text.out;

    // A database name that the server does not know, written in the settings' Windows-1252.
    const TAdminResult init = Admin({"init", dir.Path(), "--force", "--host", "127.0.0.1", "--database", "loja\xE7",
                                     "--branch", "3", "--use-logical-branch"},
                                    test::TestServer().password + "\n");
    ASSERT_EQ(init.status, 0) << init.err;
    const TAdminResult unknown = test::RunProcess(TARVIK_ADMIN, {"check", "--json", dir.Path()});
    EXPECT_EQ(unknown.status, 1) << unknown.err;
    const nlohmann::json refused = nlohmann::json::parse(unknown.out);
    EXPECT_EQ(refused["main_connection"]["database"], "loja\xC3\xA7");
    ASSERT_FALSE(refused["problems"].empty()) << unknown.out;
    EXPECT_EQ(refused["problems"][0].get<std::string>().rfind("main connection root@127.0.0.1, database loja\xC3\xA7: ", 0),
              0u)
        << unknown.out;
}

// check only reads: the lookup of a "localhost" identification host leaves no iphist.dat in
// the directory it is started from, and a link of that name is not followed.
TEST_F(CheckTest, LeavesNoHistoryFileAndFollowsNoLinkOfItsName) {
    Init({}, "127.0.0.1", "localhost");
    const test::THistoryFileScene scene;
    const TAdminResult plain = Admin({"check", dir.Path()});
    EXPECT_FALSE(test::FileExists(scene.History()));
    ASSERT_TRUE(scene.LinkHistoryElsewhere());
    const TAdminResult linked = Admin({"check", dir.Path()});
    for (const TAdminResult& r : {plain, linked}) {
        EXPECT_EQ(r.status, 0) << r.out << r.err;
        EXPECT_NE(r.out.find("identification connection: root@localhost, database " + db.Name() + "\n"),
                  std::string::npos) << r.out;
        EXPECT_NE(r.out.find("  record: filial_id 12,"), std::string::npos) << r.out;
    }
    EXPECT_EQ(scene.KeptText(), test::THistoryFileScene::kKeptText);
}
#endif

TEST_F(CheckTest, OnlyReadsAndCountsWithOneStatementPerTable) {
    Init();
    const std::string before = db.Scalar("CHECKSUM TABLE estoque_minimo") + db.Scalar("SELECT COUNT(*) FROM estoque_minimo");
    ASSERT_EQ(Admin({"check", dir.Path()}).status, 0);
    db.Exec("DELETE FROM identificacao_servidor");  // and once more on the path that finds a fault
    ASSERT_EQ(Admin({"check", dir.Path()}).status, 1);

    const std::vector<std::string> statements = StatementsOfOurSessions();
    int counts = 0;
    for (const std::string& s : statements) {
        std::string head;
        for (const char c : s) {
            if (std::isspace(static_cast<unsigned char>(c)) && !head.empty()) break;
            if (!std::isspace(static_cast<unsigned char>(c))) head += static_cast<char>(std::toupper(c));
        }
        EXPECT_TRUE(head == "SELECT" || head == "SHOW") << "a statement that is not a read: " << s;
        EXPECT_EQ(s.find("FOR UPDATE"), std::string::npos) << s;
        if (s.find(admin::CountStatement("estoque_minimo", 3)) != std::string::npos ||
            s.find(admin::CountStatement("estoque_minimo2", 3)) != std::string::npos)
            ++counts;
    }
    // Both runs of check counted both tables, each with its one statement.
    EXPECT_EQ(counts, 4) << testing::PrintToString(statements);
    EXPECT_EQ(db.Scalar("CHECKSUM TABLE estoque_minimo") + db.Scalar("SELECT COUNT(*) FROM estoque_minimo"), before);
}

}  // namespace
}  // namespace tarvik

namespace tarvik {
namespace {

// While a run holds a table's run lock, check says so and which connection holds it, and that a
// run started now would be refused; it measures the link and estimates a run either way.
TEST_F(CheckTest, SaysWhichConnectionHoldsTheRunLockAndEstimatesARun) {
    Init();
    test::TAdminConnection holder(db.Name());
    const std::string name = "tarvik/" + db.Name() + "/estoque_minimo/3";
    ASSERT_EQ(holder.Scalar("SELECT GET_LOCK('" + name + "', 0)"), "1");
    const std::string id = std::to_string(holder.ThreadId());

    const TAdminResult r = Admin({"check", dir.Path()});
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("a run would not succeed:\n  estoque_minimo: a run holds the run lock " + name +
                         " now (connection " + id + "): a run started now would be refused until that one ends\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("estoque_minimo2: a run holds"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" ms (median of 5 pings)\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("in the window, "), std::string::npos) << r.out;

    const nlohmann::json json = nlohmann::json::parse(Admin({"check", "--json", dir.Path()}).out);
    EXPECT_EQ(json["tables"]["estoque_minimo"]["run_lock"]["holder"], id);
    EXPECT_EQ(json["tables"]["estoque_minimo2"]["run_lock"]["holder"], nullptr);
    EXPECT_EQ(json["reasons"], nlohmann::json::array({{{"kind", "lock_held"}, {"message", json["problems"][0]}}}));
    EXPECT_GT(json["link"]["round_trip_ms"].get<double>(), 0.0);
    const nlohmann::json& estimate = json["tables"]["estoque_minimo"]["estimated_seconds"];
    EXPECT_GT(estimate["window"].get<double>(), estimate["tarvik_admin_run"].get<double>());

    // Given back, the check passes again, having taken nothing itself.
    holder.Exec("DO RELEASE_LOCK('" + name + "')");
    EXPECT_EQ(Admin({"check", dir.Path()}).status, 0);
    EXPECT_EQ(db.Scalar("SELECT IS_USED_LOCK('" + name + "')"), "");
}

}  // namespace
}  // namespace tarvik
