// tarvik-admin over links with TLS, an account of the branch's own and a port: against a private
// server that speaks TLS with certificates the test makes, and serves a bad one when asked.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

#include "tests/support/TempDir.h"
#include "tests/support/TlsServer.h"
#include "tests/tools/AdminTestSupport.h"

namespace tarvik {
namespace {

using nlohmann::json;
using test::Admin;
using test::TAdminResult;
using test::TServedCertificate;

constexpr const char* kDatabase = "tarvik_tls";
constexpr const char* kUser = "filial";
constexpr const char* kPassword = "filial-pw";

class TlsTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = new test::TTlsServer({"--general-log=1", "--log-output=TABLE"});
        test::MakeRunAccount(server_->Server(), kDatabase, kUser, kPassword);
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }

    void SetUp() override {
        server_->Serve(TServedCertificate::Good);
        server_->Server().Exec(std::string("USE ") + kDatabase + "; DELETE FROM estoque_minimo; TRUNCATE mysql.general_log");
    }

    // Both files for the branch (logical branch 3, so no identification link), as `kUser`.
    void Init(const std::vector<std::string>& tls) {
        std::vector<std::string> arguments = {"init", dir_.Path(), "--force", "--host", server_->Address().host,
                                              "--port", "3306", "--database", kDatabase, "--user", kUser,
                                              "--branch", "3", "--use-logical-branch"};
        arguments.insert(arguments.end(), tls.begin(), tls.end());
        const TAdminResult r = Admin(arguments, std::string(kPassword) + "\n");
        ASSERT_EQ(r.status, 0) << r.err;
    }

    json Run() {
        const TAdminResult r = Admin({"run", dir_.Path(), "--table", "estoque_minimo", "--quiet", "--json"});
        return json::parse(r.out);
    }

    std::string Rows() {
        const auto rows = server_->Server().Query(std::string("SELECT GROUP_CONCAT(produto_id ORDER BY produto_id) FROM ") +
                                                  kDatabase + ".estoque_minimo WHERE filial_id = 3");
        return rows.empty() || !rows[0][0] ? std::string() : *rows[0][0];
    }

    // What the server's general log holds of the branch account's sessions: its logins and
    // statements.
    long long BranchAccountEntries() {
        const auto rows = server_->Server().Query(std::string("SELECT COUNT(*) FROM mysql.general_log WHERE user_host LIKE '") +
                                                  kUser + "[%'");
        return std::stoll(*rows[0][0]);
    }

    // The TLS handshakes the server has completed.
    std::string SslAccepts() { return *server_->Server().Query("SHOW GLOBAL STATUS LIKE 'Ssl_finished_accepts'")[0][1]; }

    static test::TTlsServer* server_;
    test::TTempDir dir_;
};

test::TTlsServer* TlsTest::server_ = nullptr;

// A TCP socket of the test's own on 127.0.0.1, on a port the system picks, that never answers:
// listening (connections are taken by the system and then left alone), or closed again, so that
// nothing listens on the port at all. Closed when it goes.
class TSilentPort {
public:
    explicit TSilentPort(bool listening) : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            (listening && ::listen(socket_, 8) != 0) ||
            ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("no loopback socket for the test");
        port_ = std::to_string(ntohs(address.sin_port));
        if (!listening) Close();
    }
    ~TSilentPort() { Close(); }
    TSilentPort(const TSilentPort&) = delete;
    TSilentPort& operator=(const TSilentPort&) = delete;

    const std::string& Port() const { return port_; }
    void Close() {
        if (socket_ >= 0) ::close(socket_);
        socket_ = -1;
    }

private:
    int socket_;
    std::string port_;
};

TEST_F(TlsTest, AVerifiedRunUnderTheBranchsOwnAccount) {
    Init({"--tls-ca", server_->CaFile()});
    const json check = json::parse(Admin({"check", dir_.Path(), "--json", "--table", "estoque_minimo"}).out);
    const json& tls = check["main_connection"]["tls"];
    EXPECT_EQ(tls["asked"], "verify");
    EXPECT_EQ(tls["encrypted"], true);
    EXPECT_EQ(tls["verified"], true);
    EXPECT_EQ(tls["version"].get<std::string>().rfind("TLSv1.", 0), 0u) << tls;
    EXPECT_FALSE(tls["cipher"].get<std::string>().empty());
    EXPECT_EQ(check["run_would_succeed"], true) << check.dump(2);

    const std::string acceptedBefore = SslAccepts();
    const json run = Run();
    EXPECT_EQ(run["result"], "done") << run.dump(2);
    EXPECT_EQ(run["inserted"], 3);
    EXPECT_EQ(Rows(), "1,2,3");
    // The server took the run's link as TLS too.
    EXPECT_EQ(std::stoll(SslAccepts()), std::stoll(acceptedBefore) + 1);
}

// Nothing but the request for TLS crosses a link whose certificate does not verify: no login,
// no statement, no row; the run ends with status 1 and says which link and why.
TEST_F(TlsTest, ACertificateThatDoesNotVerifyIsRefusedBeforeAnyStatement) {
    struct TCase {
        const char* name;
        TServedCertificate served;
        bool otherCa;
    };
    for (const TCase& c : {TCase{"another CA", TServedCertificate::Good, true},
                           TCase{"another host's certificate", TServedCertificate::OtherHost, false},
                           TCase{"an expired certificate", TServedCertificate::Expired, false},
                           TCase{"a self-signed certificate", TServedCertificate::SelfSigned, false}}) {
        SCOPED_TRACE(c.name);
        server_->Serve(c.served);
        Init({"--tls-mode", "verify", "--tls-ca", c.otherCa ? server_->OtherCaFile() : server_->CaFile()});
        const TAdminResult r = Admin({"run", dir_.Path(), "--table", "estoque_minimo", "--quiet", "--json"});
        EXPECT_EQ(r.status, 1);
        const json run = json::parse(r.out);
        EXPECT_EQ(run["result"], "failed");
        EXPECT_EQ(run["error"]["kind"], "tls");
        const std::string prefix = "main connection " + std::string(kUser) + "@" + server_->Address().host +
                                   ":3306: TLS (verify) could not be set up as the settings ask: ";
        EXPECT_EQ(run["error"]["message"].get<std::string>().rfind(prefix, 0), 0u) << run["error"]["message"];
        const TAdminResult check = Admin({"check", dir_.Path(), "--table", "estoque_minimo"});
        EXPECT_EQ(check.status, 1) << check.out << check.err;
        EXPECT_NE(check.out.find(prefix), std::string::npos) << check.out;
        EXPECT_EQ(BranchAccountEntries(), 0);
        EXPECT_EQ(Rows(), "");
    }
}

TEST_F(TlsTest, RequiredEncryptsAgainstASelfSignedServer) {
    server_->Serve(TServedCertificate::SelfSigned);
    Init({"--tls-mode", "required"});
    const json check = json::parse(Admin({"check", dir_.Path(), "--json", "--table", "estoque_minimo"}).out);
    EXPECT_EQ(check["main_connection"]["tls"]["encrypted"], true);
    EXPECT_EQ(check["main_connection"]["tls"]["verified"], false);
    EXPECT_EQ(Run()["result"], "done");
    EXPECT_EQ(Rows(), "1,2,3");
}

TEST_F(TlsTest, AServerThatRequiresSecureTransportTakesOnlyEncryptedLinks) {
    server_->Server().Exec("SET GLOBAL require_secure_transport = ON");
    Init({});
    const json clear = Run();
    EXPECT_EQ(clear["result"], "failed");
    EXPECT_EQ(Rows(), "");
    Init({"--tls-mode", "required"});
    const json encrypted = Run();
    server_->Server().Exec("SET GLOBAL require_secure_transport = OFF");
    EXPECT_EQ(encrypted["result"], "done") << encrypted.dump(2);
    EXPECT_EQ(Rows(), "1,2,3");
}

TEST_F(TlsTest, AnAccountThatRequiresAClientCertificate) {
    server_->Server().Exec(std::string("ALTER USER '") + kUser + "'@'%' REQUIRE X509");
    Init({"--tls-ca", server_->CaFile()});
    const json without = Run();
    Init({"--tls-ca", server_->CaFile(), "--tls-cert", server_->ClientCertFile(), "--tls-key", server_->ClientKeyFile()});
    const json with = Run();
    server_->Server().Exec(std::string("ALTER USER '") + kUser + "'@'%' REQUIRE NONE");
    EXPECT_EQ(without["result"], "failed");
    EXPECT_EQ(without["error"]["kind"], "access") << without.dump(2);
    EXPECT_EQ(with["result"], "done") << with.dump(2);
    EXPECT_EQ(Rows(), "1,2,3");
}

// The shared test server speaks no TLS: a link that asks for it ends before its login.
TEST_F(TlsTest, AServerWithoutTlsEndsALinkThatAsksForIt) {
    test::TTempDir dir;
    const test::TServerAddress& shared = test::TestServer();
    ASSERT_EQ(Admin({"init", dir.Path(), "--host", shared.host, "--branch", "3", "--use-logical-branch", "--tls-mode",
                     "required"},
                    shared.password + "\n")
                  .status,
              0);
    const TAdminResult r = Admin({"run", dir.Path(), "--table", "estoque_minimo", "--quiet", "--json"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(json::parse(r.out)["error"]["kind"], "tls") << r.out;
}

// A server that takes the connection and never greets: check and run end at the connect
// timeout, each with its own error, instead of waiting for ever.
TEST_F(TlsTest, AServerThatNeverAnswersEndsCheckAndRunAtTheConnectTimeout) {
    TSilentPort listener(true);
    const std::string port = listener.Port();
    ASSERT_EQ(Admin({"init", dir_.Path(), "--force", "--host", "127.0.0.1", "--port", port, "--branch", "3",
                     "--use-logical-branch"},
                    "pw\n")
                  .status,
              0);
    const auto start = std::chrono::steady_clock::now();
    const TAdminResult run = Admin({"run", dir_.Path(), "--table", "estoque_minimo", "--quiet", "--json"});
    const TAdminResult check = Admin({"check", dir_.Path(), "--json"});
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    listener.Close();
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(json::parse(run.out)["error"]["kind"], "timeout") << run.out;
    EXPECT_EQ(json::parse(run.out)["error"]["message"].get<std::string>().rfind(
                  "The server 127.0.0.1:" + port + " did not answer the connection within 15 seconds", 0),
              0u);
    EXPECT_EQ(check.status, 2);
    EXPECT_EQ(json::parse(check.out)["error_kind"], "timeout") << check.out;
    EXPECT_LT(seconds, 2 * 15 + 10);
}

// Porta takes the identification connection to its own port: nothing listens on the one given
// here, while the shared test server on 3306 would have answered.
TEST_F(TlsTest, TheIdentificationConnectionGoesToItsOwnPort) {
    const test::TServerAddress& shared = test::TestServer();
    const std::string port = TSilentPort(false).Port();  // free a moment ago, closed now
    ASSERT_EQ(Admin({"init", dir_.Path(), "--force", "--host", shared.host, "--branch", "3", "--id-host", "127.0.0.1",
                     "--id-port", port, "--id-database", "merovan", "--id-user", shared.user},
                    shared.password + "\n" + shared.password + "\n")
                  .status,
              0);
    const json check = json::parse(Admin({"check", dir_.Path(), "--json", "--table", "estoque_minimo"}).out);
    const std::string error = check["identification"]["error"].get<std::string>();
    EXPECT_NE(error.find("Can't connect to server on '127.0.0.1'"), std::string::npos) << error;
}

// What init stores for the links, how show and --if-changed read it back, and what it refuses.
TEST_F(TlsTest, InitStoresTheLinksAccountPortAndTls) {
    Init({"--tls-ca", server_->CaFile(), "--id-port", "3310"});
    const std::string ini = test::ReadWholeFile(dir_.File("sistema_qor.ini"));
    EXPECT_NE(ini.find("usuario=filial\r\nporta=3306\r\ntls=verify\r\ntls_ca=" + server_->CaFile() + "\r\n"),
              std::string::npos)
        << ini;
    const json shown = json::parse(Admin({"show", dir_.Path(), "--json"}).out);
    EXPECT_EQ(shown["files"][0]["values"]["ip"]["tls"]["value"], "verify");
    EXPECT_EQ(shown["files"][1]["values"]["connection"]["Porta"]["value"], "3310");
    // The identification link takes the main one's TLS unless given its own.
    EXPECT_EQ(shown["files"][1]["values"]["connection"]["Tls"]["value"], "verify");
    EXPECT_EQ(shown["warnings"].size(), 0u) << shown["warnings"];

    const std::vector<std::string> base = {"init", dir_.Path(), "--if-changed", "--host", server_->Address().host,
                                           "--port", "3306", "--database", kDatabase, "--user", kUser,
                                           "--branch", "3", "--use-logical-branch", "--tls-ca", server_->CaFile(),
                                           "--id-port", "3310"};
    EXPECT_EQ(Admin(base, std::string(kPassword) + "\n").status, 0);
    std::vector<std::string> required = base;
    required.insert(required.end(), {"--tls-mode", "required"});
    const TAdminResult changed = Admin(required, std::string(kPassword) + "\n");
    EXPECT_EQ(changed.status, 3);
    EXPECT_EQ(changed.out, "changed: sistema_qor.ini [ip] tls\nchanged: connection.conf [connection] Tls\n");

    for (const auto& [options, message] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--tls-mode", "optional"}, "--tls-mode \"optional\": the modes are required and verify"},
             {{"--tls-ca", "/no/such/ca.pem"}, "--tls-ca \"/no/such/ca.pem\": no such file"},
             {{"--tls-cert", server_->ClientCertFile()}, "--tls-cert and --tls-key go together"},
             {{"--port", "70000"}, "--port 70000: a port is 1 to 65535"},
         }) {
        std::vector<std::string> arguments = {"init", dir_.Path(), "--force", "--host", "h", "--branch", "3",
                                              "--use-logical-branch"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const TAdminResult r = Admin(arguments, "pw\n");
        EXPECT_EQ(r.status, 2) << options[0];
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace tarvik
