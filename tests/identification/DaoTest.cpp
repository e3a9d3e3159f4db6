// The identification connection's session and query, as the test server sees them.

#include <gtest/gtest.h>
#include <mysqld_error.h>

#include <cmath>

#include "client/Session.h"
#include "identification/UDao.h"
#include "platform/Errors.h"
#include "tests/identification/IdentificationSupport.h"
#include "tests/support/TestServer.h"
#include "tests/support/ThrowsExactly.h"

namespace tarvik {
namespace {

using test::ThrowsExactly;

class DaoTest : public ::testing::Test {
protected:
    const test::TServerAddress& server = test::TestServer();
    test::TScratchDatabase db;

    std::unique_ptr<TDaoConnection> Open(const std::string& host, const std::string& database) {
        return TDao::OpenConnection(host, database, server.user, server.password, nullptr,
                                    static_cast<int32_t>(server.port));
    }
    std::unique_ptr<TDaoConnection> Open() { return Open(server.host, db.Name()); }

    // The client address the server saw, from its process list ("127.0.0.1:<port>" over TCP).
    std::string ProcessHost(unsigned long threadId) {
        return db.Scalar("SELECT HOST FROM information_schema.PROCESSLIST WHERE ID = " + std::to_string(threadId));
    }
};

TEST_F(DaoTest, SessionIsLatin1OverTcpAndOnlyTheStatementFollowsTheHandshake) {
    const auto connection = Open();
    const unsigned long thread = connection->ThreadId();
    EXPECT_FALSE(connection->LoginPrompt());
    EXPECT_EQ(db.GeneralLog(thread),
              std::vector<std::string>{"Connect\troot@127.0.0.1 on " + db.Name() + " using TCP/IP"});
    EXPECT_EQ(ProcessHost(thread).rfind("127.0.0.1:", 0), 0u);

    const std::string sql =
        "SELECT @@character_set_client AS client, @@collation_connection AS collation,\r\n"
        "  @@character_set_results AS results, @@autocommit AS autocommit";
    const auto query = TDao::OpenQuery(*connection, sql, true, false);
    ASSERT_TRUE(query);
    EXPECT_EQ(query->GetFieldText("client"), "latin1");
    EXPECT_EQ(query->GetFieldText("collation"), "latin1_swedish_ci");
    EXPECT_EQ(query->GetFieldText("results"), "latin1");
    EXPECT_EQ(query->GetFieldInteger("autocommit"), 1);
    EXPECT_EQ(db.GeneralLog(thread),
              (std::vector<std::string>{"Connect\troot@127.0.0.1 on " + db.Name() + " using TCP/IP",
                                        "Query\t" + sql}));
}

TEST_F(DaoTest, EmptyServerIsLocalhostOverTcp) {
    // The test server has no socket where the client library would look for one, so only a
    // TCP session gets through.
    const auto connection = Open("", db.Name());
    const unsigned long thread = connection->ThreadId();
    EXPECT_EQ(ProcessHost(thread).rfind("127.0.0.1:", 0), 0u);
    EXPECT_EQ(db.GeneralLog(thread),
              std::vector<std::string>{"Connect\troot@127.0.0.1 on " + db.Name() + " using TCP/IP"});
}

TEST_F(DaoTest, EmptyDatabaseConnectsWithoutDefaultDatabase) {
    const auto connection = Open(server.host, "");
    EXPECT_EQ(db.GeneralLog(connection->ThreadId()),
              std::vector<std::string>{"Connect\troot@127.0.0.1 on  using TCP/IP"});
    EXPECT_TRUE(ThrowsExactly<Exception>([&] { TDao::OpenQuery(*connection, "select * from t", true, false); },
                                         "No database selected"));
}

TEST_F(DaoTest, ConnectFailuresCarryTheClientLibrarysTextUnchanged) {
    struct TCase {
        const char* name;
        std::string host;
        unsigned port;
        std::string password;
        std::string database;
    };
    const TCase cases[] = {
        {"closed port", "127.0.0.1", 1, server.password, db.Name()},
        {"no server on that loopback address", "127.0.0.2", server.port, server.password, db.Name()},
        {"wrong password", server.host, server.port, server.password + "x", db.Name()},
        {"unknown database", server.host, server.port, server.password, db.Name() + "_missing"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string expected = test::ClientConnectError(c.host, c.port, server.user, c.password, c.database);
        EXPECT_TRUE(ThrowsExactly<Exception>(
            [&] {
                TDao::OpenConnection(c.host, c.database, server.user, c.password, nullptr,
                                     static_cast<int32_t>(c.port));
            },
            expected));
    }
}

// Below the plain error of OpenConnection, the session's own connect carries the client
// library's number too, so that a refused login or database is told apart from a server that
// does not answer.
TEST_F(DaoTest, ConnectFailuresCarryTheClientLibrarysNumber) {
    struct TCase {
        const char* name;
        std::string host;
        std::string password;
        std::string database;
        bool refusedLogin;
        bool refusedDatabase;
    };
    const TCase cases[] = {
        {"no server on that loopback address", "127.0.0.2", server.password, db.Name(), false, false},
        {"wrong password", server.host, server.password + "x", db.Name(), true, false},
        {"unknown database", server.host, server.password, db.Name() + "_missing", false, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TDaoConnection connection;
        connection.SetServer(c.host);
        connection.SetDatabase(c.database);
        connection.SetUsername(server.user);
        connection.SetPassword(c.password);
        connection.SetPort(static_cast<int32_t>(server.port));
        const std::string expected = test::ClientConnectError(c.host, server.port, server.user, c.password, c.database);
        EXPECT_TRUE(ThrowsExactly<EDatabaseError>([&] { connection.Connect(); }, expected));
        EXPECT_FALSE(connection.Connected());
        try {
            connection.Connect();
        } catch (const EDatabaseError& e) {
            EXPECT_NE(e.ErrorNumber(), 0u);
            EXPECT_EQ(IsRefusedLogin(e.ErrorNumber()), c.refusedLogin) << e.ErrorNumber();
            EXPECT_EQ(IsRefusedDatabase(e.ErrorNumber()), c.refusedDatabase) << e.ErrorNumber();
        }
    }
}

TEST_F(DaoTest, StatementFailuresCarryTheServersTextUnchanged) {
    const auto connection = Open();
    EXPECT_TRUE(ThrowsExactly<Exception>([&] { TDao::OpenQuery(*connection, "selec 1", true, false); },
                                         test::ServerErrorText(db.Name(), "selec 1")));
    EXPECT_TRUE(ThrowsExactly<Exception>([&] { TDao::OpenQuery(*connection, "select * from nope", true, false); },
                                         "Table '" + db.Name() + ".nope' doesn't exist"));
    // A later statement of a text fails the whole text.
    EXPECT_TRUE(ThrowsExactly<Exception>([&] { TDao::OpenQuery(*connection, "select 1; selec 2", true, false); },
                                         test::ServerErrorText(db.Name(), "selec 2")));
    // Without raising, the caller is told by the missing query alone.
    EXPECT_EQ(TDao::OpenQuery(*connection, "select * from nope", false, false), nullptr);
    // None of these leaves the session unusable.
    const auto query = TDao::OpenQuery(*connection, "select 5 as n", true, false);
    EXPECT_EQ(query->GetFieldInteger("n"), 5);
}

// Below the plain error of OpenQuery, the query's own open carries the server's number with
// its text, as the main connection's layer does, so that a caller can tell a missing table
// from a broken statement without reading the text.
TEST_F(DaoTest, StatementFailuresCarryTheServersNumber) {
    const auto connection = Open();
    const auto noDatabase = Open(server.host, "");
    struct TCase {
        TDaoConnection& connection;
        std::string sql;
        std::string text;
        unsigned number;
    };
    const TCase cases[] = {
        {*connection, "selec 1", test::ServerErrorText(db.Name(), "selec 1"), ER_PARSE_ERROR},
        {*connection, "select * from nope", "Table '" + db.Name() + ".nope' doesn't exist", ER_NO_SUCH_TABLE},
        // A later statement of a text: its number, not the first statement's success.
        {*connection, "select 1; selec 2", test::ServerErrorText(db.Name(), "selec 2"), ER_PARSE_ERROR},
        {*noDatabase, "select * from t", "No database selected", ER_NO_DB_ERROR},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.sql);
        TDaoQuery query(c.connection);
        query.SetSQL(c.sql);
        EXPECT_TRUE(ThrowsExactly<EDatabaseError>([&] { query.Open(); }, c.text));
        EXPECT_FALSE(query.Active());
        try {
            query.Open();
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(e.ErrorNumber(), c.number);
        }
    }
}

TEST_F(DaoTest, MultiStatementTextGivesTheFirstResultAndLeavesTheSessionUsable) {
    const auto connection = Open();
    const auto first = TDao::OpenQuery(*connection, "select 1 as a; select 2 as b", true, false);
    EXPECT_EQ(first->GetFieldInteger("a"), 1);
    EXPECT_TRUE(ThrowsExactly<EDatabaseError>([&] { first->GetFieldInteger("b"); }, "Field 'b' not found"));
    const auto next = TDao::OpenQuery(*connection, "select 3 as c", true, false);
    EXPECT_EQ(next->GetFieldInteger("c"), 3);
    EXPECT_EQ(db.Statements(connection->ThreadId()),
              (std::vector<std::string>{"select 1 as a; select 2 as b", "select 3 as c"}));
}

TEST_F(DaoTest, UpdateCountsRowsFoundNotRowsChanged) {
    db.Exec("CREATE TABLE f (a INT)");
    db.Exec("INSERT INTO f VALUES (1), (2)");
    const auto connection = Open();
    const auto update = TDao::OpenQuery(*connection, "update f set a = 1", true, false);
    EXPECT_EQ(update->RowCount(), 0);
    const auto count = TDao::OpenQuery(*connection, "select row_count() as n", true, false);
    EXPECT_EQ(count->GetFieldInteger("n"), 2);
}

class DaoReadTest : public DaoTest {
protected:
    void SetUp() override {
        db.Exec("SET SESSION sql_mode = ''");
        db.Exec(
            "CREATE TABLE t (k INT PRIMARY KEY, Numero INT, Nome VARCHAR(20), Grande BIGINT, "
            "Quando DATETIME(6), Dia DATE) CHARACTER SET latin1");
        db.Exec(
            "INSERT INTO t VALUES "
            "(1, -42, X'4A6FE36F', 4294967296, '2024-02-29 18:00:00.5', '1900-01-01'),"
            "(2, NULL, NULL, NULL, NULL, NULL),"
            "(3, 0, ' 7', 0, '0000-00-00 00:00:00', '0000-00-00'),"
            "(4, 0, '', 0, '1899-12-29 12:00:00', '1899-12-30')");
        connection = Open();
    }
    std::unique_ptr<TDaoQuery> Row(int k) {
        auto query = TDao::OpenQuery(*connection, "select * from t where k = " + std::to_string(k), true, false);
        EXPECT_EQ(query->RowCount(), 1);
        return query;
    }
    std::unique_ptr<TDaoConnection> connection;
};

TEST_F(DaoReadTest, ReadsColumnsByNameInAnyLetterCase) {
    const auto query = Row(1);
    EXPECT_EQ(query->GetFieldInteger("NUMERO"), -42);
    EXPECT_EQ(query->GetFieldText("nome"), "Jo\xE3o");  // latin1 bytes as stored
    EXPECT_EQ(query->GetFieldText("Grande"), "4294967296");
    EXPECT_DOUBLE_EQ(query->GetFieldDateTime("quando"), 45351.75 + 0.5 / 86400);
    EXPECT_DOUBLE_EQ(query->GetFieldDateTime("DIA"), 2.0);
}

TEST_F(DaoReadTest, NullGivesZeroEmptyAndZeroDate) {
    const auto query = Row(2);
    EXPECT_EQ(query->GetFieldInteger("Numero"), 0);
    EXPECT_EQ(query->GetFieldText("Nome"), "");
    EXPECT_EQ(query->GetFieldDateTime("Quando"), 0.0);
    EXPECT_EQ(query->GetFieldDateTime("Dia"), 0.0);
}

TEST_F(DaoReadTest, ZeroDatesGiveTheZeroDateTime) {
    const auto query = Row(3);
    EXPECT_EQ(query->GetFieldDateTime("Quando"), 0.0);
    EXPECT_EQ(query->GetFieldDateTime("Dia"), 0.0);
    const auto before = Row(4);
    EXPECT_DOUBLE_EQ(before->GetFieldDateTime("Quando"), -1.5);
    EXPECT_EQ(before->GetFieldDateTime("Dia"), 0.0);
}

TEST_F(DaoReadTest, FirstRowIsCurrentAndRowCountIsExact) {
    const auto query = TDao::OpenQuery(*connection, "select k from t order by k desc", true, false);
    EXPECT_EQ(query->RowCount(), 4);
    EXPECT_EQ(query->GetFieldInteger("k"), 4);
    const auto none = TDao::OpenQuery(*connection, "select k from t where k < 0", true, false);
    EXPECT_EQ(none->RowCount(), 0);
}

TEST_F(DaoReadTest, ReadFailuresNameTheColumnOrTheValue) {
    const auto query = Row(1);
    EXPECT_TRUE(ThrowsExactly<EDatabaseError>([&] { query->GetFieldText("Nomes"); }, "Field 'Nomes' not found"));
    EXPECT_TRUE(ThrowsExactly<EConvertError>([&] { query->GetFieldInteger("Nome"); },
                                             "'Jo\xE3o' is not a valid integer value"));
    EXPECT_TRUE(ThrowsExactly<EConvertError>([&] { query->GetFieldInteger("Grande"); },
                                             "'4294967296' is not a valid integer value"));
    EXPECT_TRUE(ThrowsExactly<EConvertError>([&] { query->GetFieldDateTime("Nome"); },
                                             "'Jo\xE3o' is not a valid date and time"));
    // The query stays readable after a failed read.
    EXPECT_EQ(query->GetFieldInteger("Numero"), -42);
    const auto other = Row(4);
    EXPECT_TRUE(ThrowsExactly<EConvertError>([&] { other->GetFieldInteger("Nome"); },
                                             "'' is not a valid integer value"));
}

struct TDateCase {
    const char* text;
    double days;
};

void PrintTo(const TDateCase& c, std::ostream* out) { *out << c.text; }

class DateTimeFromServerTextTest : public ::testing::TestWithParam<TDateCase> {};

TEST_P(DateTimeFromServerTextTest, CountsDaysSince18991230) {
    EXPECT_DOUBLE_EQ(DateTimeFromServerText(GetParam().text), GetParam().days);
}

INSTANTIATE_TEST_SUITE_P(Cases, DateTimeFromServerTextTest,
                         ::testing::Values(TDateCase{"1899-12-30", 0.0}, TDateCase{"1899-12-31 06:00:00", 1.25},
                                           TDateCase{"1900-03-01", 61.0}, TDateCase{"2000-01-01", 36526.0},
                                           TDateCase{"2024-02-29 18:00:00", 45351.75},
                                           TDateCase{"2024-02-29 00:00:00.000001", 45351.0 + 1e-6 / 86400},
                                           TDateCase{"1899-12-29 18:00:00", -1.75},
                                           TDateCase{"0001-01-01", -693593.0}, TDateCase{"0000-00-00", 0.0},
                                           TDateCase{"0000-00-00 00:00:00", 0.0},
                                           TDateCase{"0000-00-00 00:00:00.000000", 0.0}));

TEST(DateTimeFromServerText, RejectsTextsThatAreNoDate) {
    for (const std::string text : {"", "abc", "2024-02-30", "2023-02-29", "2024-13-01", "2024-00-10",
                                   "2024-01-01 24:00:00", "2024-01-01T10:00:00", "2024-01-01 10:00",
                                   "2024-01-01 10:00:00.", "0000-00-00 10:00:00", "12:00:00"}) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(ThrowsExactly<EConvertError>([&] { DateTimeFromServerText(text); },
                                                 "'" + text + "' is not a valid date and time"));
    }
}

}  // namespace
}  // namespace tarvik
