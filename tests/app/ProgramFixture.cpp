#include "tests/app/ProgramFixture.h"

#include <QPushButton>
#include <QtTest/QTest>

#include "identification/UConnectionInfoClass.h"
#include "identification/UIdentificacaoServidorClass.h"
#include "platform/ExecutablePath.h"
#include "settings/PasswordCipher.h"
#include "settings/UConfigSistemaQOR.h"
#include "tests/support/ConnectionConf.h"

namespace tarvik::test {

std::string JoinLines(const Texts& lines, const std::string& end) {
    std::string out;
    for (const std::string& line : lines) out += line + end;
    return out;
}

Texts SettingsLines(const std::string& host, const std::string& database, const std::string& usaFisLogica,
                    const std::string& codLogica, const std::string& password) {
    const std::string text = TConfigSistemaQOR::SettingsFileText(
        {host, database, CipherText("E", password, kPasswordCipherKey), usaFisLogica, codLogica}, "\n");
    Texts lines;
    for (size_t begin = 0, end; (end = text.find('\n', begin)) != std::string::npos; begin = end + 1)
        lines.push_back(text.substr(begin, end - begin));
    return lines;
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
