// Loading the server identification record through connection.conf and the identification
// connection, against the test server.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "identification/UConnectionInfoClass.h"
#include "identification/UDao.h"
#include "identification/UIdentificacaoServidorClass.h"
#include "platform/Errors.h"
#include "tests/identification/IdentificationSupport.h"
#include "tests/support/ConnectionConf.h"
#include "tests/support/TestServer.h"
#include "tests/support/ThrowsExactly.h"

namespace tarvik {
namespace {

using test::ThrowsExactly;

const std::string kHeading = "Falha ao carregar dados de identifica\xE7\xE3o do servidor.\r\nMotivo: ";
const std::string kNoRow = "N\xE3o foi poss\xEDvel encontrar a identifica\xE7\xE3o do servidor.";

// The statement as the server must receive it, byte for byte.
const std::string kSelect =
    "select \r\n  filial_id \r\n  ,cnpj_servidor \r\n  ,tipo_servidor \r\n  ,data_identificacao \r\n"
    "  ,hash_identificacao\r\nfrom \r\n  identificacao_servidor \r\n";

// The server drops the blanks and line ends that close a statement before it logs it, so the
// log shows the text without them; every other byte is as sent.
const std::string kSelectAsLogged = "Query\t" + kSelect.substr(0, kSelect.find_last_not_of(" \r\n") + 1);

const char* kCreateTable =
    "CREATE TABLE identificacao_servidor (filial_id INT, cnpj_servidor VARCHAR(20), tipo_servidor VARCHAR(10), "
    "data_identificacao DATETIME, hash_identificacao VARCHAR(64)) CHARACTER SET latin1";

class IdentificacaoServidorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReleaseIdentificacaoServidor();
        ReleaseConnectionInfo();
        db.Exec("SET SESSION sql_mode = ''");
        WriteConf("127.0.0.1");
    }
    void TearDown() override {
        ReleaseIdentificacaoServidor();
        ReleaseConnectionInfo();
    }
    void WriteConf(const std::string& host) {
        confDir.Write("connection.conf", test::ConnectionConfFor(host, db.Name()));
    }
    std::vector<std::string> IdentificationSessionLog() {
        return db.GeneralLog(GetConnectionInfo().GetConnection().ThreadId());
    }
    std::string ConnectRow() const { return "Connect\troot@127.0.0.1 on " + db.Name() + " using TCP/IP"; }

    test::TScratchDatabase db;
    test::TTempDir confDir;
    test::TScopedExecutableDirectory executableDir{confDir.Path()};
};

TEST_F(IdentificacaoServidorTest, LoadsTheRowOnceAndTheServerSeesOnlyTheConnectAndTheSelect) {
    db.Exec(kCreateTable);
    db.Exec("INSERT INTO identificacao_servidor VALUES (7, '12345678000199', 'M', '2024-02-29 18:00:00', X'68E3')");
    const TIdentificacaoServidor& record = GetIdentificacaoServidor();
    EXPECT_EQ(record.GetFilialServidor(), 7);
    EXPECT_EQ(record.GetCnpjServidor(), "12345678000199");
    EXPECT_EQ(record.GetTipoServidor(), "M");
    EXPECT_DOUBLE_EQ(record.GetDataIdentificacao(), 45351.75);
    EXPECT_EQ(record.GetHashIdentificacao(), "h\xE3");
    EXPECT_EQ(TIdentificacaoServidor::SelectIdentificacaoSQL(), kSelect);

    EXPECT_EQ(IdentificationSessionLog(), (std::vector<std::string>{ConnectRow(), kSelectAsLogged}));
    EXPECT_EQ(&GetIdentificacaoServidor(), &record);
    EXPECT_EQ(GetIdentificacaoServidor().GetFilialServidor(), 7);
    EXPECT_EQ(IdentificationSessionLog(), (std::vector<std::string>{ConnectRow(), kSelectAsLogged}));
    EXPECT_EQ(db.OtherSessions().size(), 1u);
}

struct TRowCase {
    const char* name;
    std::string values;
    int32_t filial;
    double date;
};

void PrintTo(const TRowCase& c, std::ostream* out) { *out << c.name; }

class IdentificacaoServidorRow : public IdentificacaoServidorTest,
                                 public ::testing::WithParamInterface<TRowCase> {};

TEST_P(IdentificacaoServidorRow, LoadsWithZeroForNullAndZeroDates) {
    db.Exec(kCreateTable);
    db.Exec("INSERT INTO identificacao_servidor VALUES " + GetParam().values);
    const TIdentificacaoServidor& record = GetIdentificacaoServidor();
    EXPECT_EQ(record.GetFilialServidor(), GetParam().filial);
    EXPECT_EQ(record.GetDataIdentificacao(), GetParam().date);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IdentificacaoServidorRow,
    ::testing::Values(TRowCase{"NullFilial", "(NULL, 'c', 't', '2000-01-01', 'h')", 0, 36526.0},
                      TRowCase{"NullDate", "(3, 'c', 't', NULL, 'h')", 3, 0.0},
                      TRowCase{"ZeroDate", "(4, 'c', 't', '0000-00-00 00:00:00', 'h')", 4, 0.0},
                      TRowCase{"AllNull", "(NULL, NULL, NULL, NULL, NULL)", 0, 0.0}),
    [](const auto& info) { return std::string(info.param.name); });

struct TFailureCase {
    const char* name;
    std::vector<std::string> setup;  // statements run before the load
    std::string reason;  // what follows the heading: "@" stands for the database name, "?" for the
                         // server's own text for the statement
};

void PrintTo(const TFailureCase& c, std::ostream* out) { *out << c.name; }

std::string WithDatabase(std::string text, const std::string& database) {
    for (size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + database.size()))
        text.replace(at, 1, database);
    return text;
}

class IdentificacaoServidorFailure : public IdentificacaoServidorTest,
                                     public ::testing::WithParamInterface<TFailureCase> {};

TEST_P(IdentificacaoServidorFailure, IsReportedUnderTheHeadingAndTheNextCallLoadsAgain) {
    for (const std::string& statement : GetParam().setup) db.Exec(statement);
    const std::string reason = GetParam().reason == "?" ? test::ServerErrorText(db.Name(), kSelect)
                                                        : WithDatabase(GetParam().reason, db.Name());
    const std::string message = kHeading + reason;
    EXPECT_TRUE(ThrowsExactly<Exception>([] { GetIdentificacaoServidor(); }, message));
    // Nothing half-loaded is kept: the next call runs the statement again on the same session.
    EXPECT_TRUE(ThrowsExactly<Exception>([] { GetIdentificacaoServidor(); }, message));
    EXPECT_EQ(IdentificationSessionLog(),
              (std::vector<std::string>{ConnectRow(), kSelectAsLogged, kSelectAsLogged}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IdentificacaoServidorFailure,
    ::testing::Values(
        TFailureCase{"NoRow", {kCreateTable}, kNoRow},
        TFailureCase{"MissingTable", {}, "Table '@.identificacao_servidor' doesn't exist"},
        TFailureCase{"MissingColumn",
                     {"CREATE TABLE identificacao_servidor (filial_id INT, cnpj_servidor VARCHAR(20), "
                      "tipo_servidor VARCHAR(10), data_identificacao DATETIME)",
                      "INSERT INTO identificacao_servidor VALUES (5, 'c', 't', NULL)"},
                     "?"},
        TFailureCase{"FilialNotAnInteger",
                     {"CREATE TABLE identificacao_servidor (filial_id VARCHAR(9), cnpj_servidor VARCHAR(20), "
                      "tipo_servidor VARCHAR(10), data_identificacao DATETIME, hash_identificacao VARCHAR(64))",
                      "INSERT INTO identificacao_servidor VALUES ('abc', 'c', 't', NULL, 'h')"},
                     "'abc' is not a valid integer value"},
        TFailureCase{"DateNotADate",
                     {"CREATE TABLE identificacao_servidor (filial_id INT, cnpj_servidor VARCHAR(20), "
                      "tipo_servidor VARCHAR(10), data_identificacao VARCHAR(20), hash_identificacao VARCHAR(64))",
                      "INSERT INTO identificacao_servidor VALUES (6, 'c', 't', 'ontem', 'h')"},
                     "'ontem' is not a valid date and time"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IdentificacaoServidorTest, FailedLoadIsFollowedByAFreshLoad) {
    db.Exec(kCreateTable);
    EXPECT_TRUE(ThrowsExactly<Exception>([] { GetIdentificacaoServidor(); }, kHeading + kNoRow));
    db.Exec("INSERT INTO identificacao_servidor VALUES (11, 'c', 't', NULL, 'h')");
    EXPECT_EQ(GetIdentificacaoServidor().GetFilialServidor(), 11);
    EXPECT_EQ(IdentificationSessionLog(),
              (std::vector<std::string>{ConnectRow(), kSelectAsLogged, kSelectAsLogged}));
}

TEST_F(IdentificacaoServidorTest, UnreachableServerGivesTheClientsTextUnderTheHeading) {
    // Another loopback address: the test server listens on 127.0.0.1 only, and the port is always 3306.
    WriteConf("127.0.0.2");
    const test::TServerAddress& server = test::TestServer();
    const std::string clientText =
        test::ClientConnectError("127.0.0.2", TConnectionInfo::kPort, server.user, server.password, db.Name());
    EXPECT_TRUE(ThrowsExactly<Exception>([] { GetIdentificacaoServidor(); }, kHeading + clientText));
    EXPECT_FALSE(GetConnectionInfo().HasConnection());
}

TEST_F(IdentificacaoServidorTest, ConnectionIsOpenedOnceAndReopenedAfterAFailure) {
    // The database the file names does not exist yet, so the first open fails.
    const std::string late = db.Name() + "_late";
    confDir.Write("connection.conf", test::ConnectionConfFor("127.0.0.1", late));
    TConnectionInfo& info = GetConnectionInfo();
    EXPECT_TRUE(ThrowsExactly<Exception>([&] { info.GetConnection(); }, "Unknown database '" + late + "'"));
    EXPECT_FALSE(info.HasConnection());
    db.Exec("CREATE DATABASE " + late);
    TDaoConnection* first = nullptr;
    try {
        first = &info.GetConnection();
        EXPECT_EQ(&info.GetConnection(), first);
        EXPECT_EQ(db.GeneralLog(first->ThreadId()),
                  std::vector<std::string>{"Connect\troot@127.0.0.1 on " + late + " using TCP/IP"});
    } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
    }
    db.Exec("DROP DATABASE " + late);
}

TEST_F(IdentificacaoServidorTest, ReleasingTheConnectionInfoEndsTheSession) {
    db.Exec(kCreateTable);
    db.Exec("INSERT INTO identificacao_servidor VALUES (1, 'c', 't', NULL, 'h')");
    GetIdentificacaoServidor();
    const std::string thread = std::to_string(GetConnectionInfo().GetConnection().ThreadId());
    const std::string inList = "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = " + thread;
    EXPECT_EQ(db.Scalar(inList), "1");
    ReleaseConnectionInfo();
    // The server notices the closed session on its own time.
    std::string count;
    for (int i = 0; i < 1500 && (count = db.Scalar(inList)) != "0"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(count, "0");
    // The record stays as loaded.
    EXPECT_EQ(GetIdentificacaoServidor().GetFilialServidor(), 1);
}

}  // namespace
}  // namespace tarvik
