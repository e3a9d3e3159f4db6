// The window's run over links with TLS, as the branch's own account: both the main connection
// and the identification connection go to a private server that speaks TLS with certificates
// the test makes.
#include "app/qt/Utarvik.h"
#include "identification/UConnectionInfoClass.h"
#include "settings/PasswordCipher.h"
#include "settings/UConfigSistemaQOR.h"
#include "tests/app/ProgramFixture.h"
#include "tests/support/TlsServer.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

using test::Texts;

constexpr const char* kDatabase = "tarvik_window_tls";
constexpr const char* kUser = "caixa";
constexpr const char* kPassword = "caixa-pw";

class TlsRunTest : public test::TProgramFixture {
protected:
    TlsRunTest() : TProgramFixture({}) {}

    static void SetUpTestSuite() {
        server_ = new test::TTlsServer();
        test::MakeRunAccount(server_->Server(), kDatabase, kUser, kPassword);
        server_->Server().Exec(std::string("INSERT INTO ") + kDatabase + ".estoque_minimo VALUES (2, 3, 'x')");
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }

    // Both files, each link verifying the server against `ca`; the store code comes from the
    // server's record (branch 12, "C") through the identification connection.
    void WriteSettings(const std::string& ca) {
        const std::string host = server_->Address().host;
        TSettingsFileValues values{host, kDatabase, CipherText("E", kPassword, kPasswordCipherKey), "0", "3"};
        values.link = {{&settings::kIpUsuario, kUser}, {&settings::kIpTls, "verify"}, {&settings::kIpTlsCa, ca}};
        dir_.Write("sistema_qor.ini", TConfigSistemaQOR::SettingsFileText(values));
        dir_.Write("connection.conf", TConnectionInfo::ConnectionConfText({{conf_keys::kDatabaseIP, host},
                                                                           {conf_keys::kDatabasename, kDatabase},
                                                                           {conf_keys::kUsuario, kUser},
                                                                           {conf_keys::kSenha, kPassword},
                                                                           {conf_keys::kTls, "verify"},
                                                                           {conf_keys::kTlsCa, ca}}));
    }

    std::string Rows() {
        const auto rows = server_->Server().Query(std::string("SELECT GROUP_CONCAT(produto_id, lojas_leram ORDER BY produto_id) FROM ") +
                                                  kDatabase + ".estoque_minimo WHERE filial_id = 3");
        return rows.empty() || !rows[0][0] ? std::string() : *rows[0][0];
    }

    static test::TTlsServer* server_;
};

test::TTlsServer* TlsRunTest::server_ = nullptr;

TEST_F(TlsRunTest, AVerifiedRunOnBothLinks) {
    WriteSettings(server_->CaFile());
    OpenWindowAndClick();
    EXPECT_EQ(boxes_.Texts(TBoxKind::Error), Texts{});
    EXPECT_EQ(boxes_.Texts(TBoxKind::Information), Texts{"Processamento Concluido!"});
    EXPECT_EQ(Rows(), "1C,2x,3C");
}

// A CA that did not sign the server's certificate: the window says which link failed and why,
// and no row is written.
TEST_F(TlsRunTest, ACertificateThatDoesNotVerifyStopsTheRunBeforeAnyRow) {
    WriteSettings(server_->OtherCaFile());
    server_->Server().Exec(std::string("DELETE FROM ") + kDatabase + ".estoque_minimo WHERE lojas_leram = 'C'");
    OpenWindowAndClick();
    const Texts errors = boxes_.Texts(TBoxKind::Error);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("main connection " + std::string(kUser) + "@" + server_->Address().host +
                                  ":3306: TLS (verify) could not be set up as the settings ask: ",
                              0),
              0u)
        << errors[0];
    EXPECT_EQ(Rows(), "2x");
}

}  // namespace
}  // namespace tarvik
