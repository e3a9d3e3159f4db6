#include "tests/app/ProgramFixture.h"

#include <QPushButton>
#include <QtTest/QTest>

#include "identification/UConnectionInfoClass.h"
#include "identification/UIdentificacaoServidorClass.h"
#include "platform/ExecutablePath.h"
#include "settings/util.h"
#include "tests/support/ConnectionConf.h"

namespace tarvik::test {

const char* const kCreateEstoqueMinimo =
    "CREATE TABLE estoque_minimo (produto_id INT NOT NULL, filial_id INT NOT NULL, lojas_leram CHAR(1) NOT NULL)";
const char* const kCreateIdentificacaoServidor =
    "CREATE TABLE identificacao_servidor (filial_id INT, cnpj_servidor VARCHAR(18),"
    " tipo_servidor VARCHAR(20), data_identificacao DATETIME, hash_identificacao VARCHAR(64))";

std::string JoinLines(const Texts& lines, const std::string& end) {
    std::string out;
    for (const std::string& line : lines) out += line + end;
    return out;
}

Texts SettingsLines(const std::string& host, const std::string& database, const std::string& usaFisLogica,
                    const std::string& codLogica, const std::string& password) {
    return {"[ip]", "local=" + host, "database=" + database, "senha=" + CipherText("E", password, "WUX"),
            "[FilialMatriz]", "usa_fislogica=" + usaFisLogica, "CodLogica=" + codLogica};
}

void TProgramFixture::SetUp() {
    SetExecutableDirectoryOverride(dir_.Path());
    ReleaseIdentificacaoServidor();
    ReleaseConnectionInfo();
    for (const std::string& statement : schema_) db_.Exec(statement);
    dir_.Write("connection.conf", ConnectionConfFor("127.0.0.1", db_.Name()));
}

void TProgramFixture::TearDown() {
    form_.reset();
    ReleaseConnectionInfo();
    ReleaseIdentificacaoServidor();
    SetExecutableDirectoryOverride("");
}

TForm1& TProgramFixture::OpenWindow() {
    form_ = std::make_unique<TForm1>();
    form_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    QCoreApplication::processEvents();
    return *form_;
}

void TProgramFixture::Click() { QTest::mouseClick(form_->Button1, Qt::LeftButton); }

TForm1& TProgramFixture::OpenWindowAndClick() {
    OpenWindow();
    Click();
    return *form_;
}

}  // namespace tarvik::test
