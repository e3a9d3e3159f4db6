// Reading sistema_qor.ini beside the executable: the values and the logical branch number,
// neither of which needs the server identification record.

#include <gtest/gtest.h>

#include <string>

#include "platform/ExecutablePath.h"
#include "settings/UConfigSistemaQOR.h"
#include "tests/support/TempDir.h"

namespace tarvik {
namespace {

class SettingsFileReadTest : public ::testing::Test {
protected:
    void SetUp() override { SetExecutableDirectoryOverride(dir_.Path()); }
    void TearDown() override { SetExecutableDirectoryOverride(""); }
    void WriteSettings(const std::string& contents) { dir_.Write("sistema_qor.ini", contents); }

    test::TTempDir dir_;
};

TEST_F(SettingsFileReadTest, MissingFileGivesTheDefaults) {
    EXPECT_EQ(TConfigSistemaQOR::SettingsFileName(), dir_.Path() + "sistema_qor.ini");
    EXPECT_EQ(TConfigSistemaQOR::ReadSetting("FilialMatriz", "usa_fislogica", "0"), "0");
    EXPECT_EQ(TConfigSistemaQOR::ReadSetting(settings::kCodLogica), "0");
    EXPECT_EQ(TConfigSistemaQOR::ReadSetting(settings::kIpDatabase), "merovan");
    EXPECT_EQ(TConfigSistemaQOR::ReadSetting(settings::kIpLocal), "");
    EXPECT_EQ(TConfigSistemaQOR::ReadSetting(settings::kIpSenha), "8E52B07C19F3A64D0B7E");
    EXPECT_EQ(TConfigSistemaQOR::GetCodLogica(), 0);
    EXPECT_FALSE(test::FileExists(TConfigSistemaQOR::SettingsFileName())) << "reading must not create the file";
}

TEST_F(SettingsFileReadTest, ReadsThroughTheProfileRules) {
    WriteSettings("[ip]\r\nlocal=db.example\r\n[filialmatriz]\r\n  USA_FISLOGICA  =  1  \r\ncodlogica=\"12\"\r\n"
                  "Vazio=\r\n");
    EXPECT_EQ(TConfigSistemaQOR::ReadSetting(settings::kUsaFisLogica), "1");
    EXPECT_EQ(TConfigSistemaQOR::ReadSetting(settings::kCodLogica), "12");
    EXPECT_EQ(TConfigSistemaQOR::ReadSetting("FilialMatriz", "vazio", "0"), "");
    EXPECT_EQ(TConfigSistemaQOR::ReadSetting(settings::kIpLocal), "db.example");
    EXPECT_EQ(TConfigSistemaQOR::ReadSetting(settings::kIpDatabase), "merovan");
}

// The program's own writer: the keys its readers look up, in sections "ip" and "FilialMatriz".
TEST_F(SettingsFileReadTest, WrittenTextIsReadBackAsWritten) {
    const TSettingsFileValues values{"10.0.0.7", "loja", "083EF50132", "1", "12"};
    const std::string text = TConfigSistemaQOR::SettingsFileText(values);
    EXPECT_EQ(text,
              "[ip]\r\nlocal=10.0.0.7\r\ndatabase=loja\r\nsenha=083EF50132\r\n"
              "[FilialMatriz]\r\nusa_fislogica=1\r\nCodLogica=12\r\n");
    EXPECT_EQ(TConfigSistemaQOR::SettingsFileText(values, "\n"),
              "[ip]\nlocal=10.0.0.7\ndatabase=loja\nsenha=083EF50132\n[FilialMatriz]\nusa_fislogica=1\nCodLogica=12\n");
    WriteSettings(text);
    EXPECT_EQ(TConfigSistemaQOR::ReadSetting(settings::kIpLocal), values.local);
    EXPECT_EQ(TConfigSistemaQOR::ReadSetting(settings::kIpDatabase), values.database);
    EXPECT_EQ(TConfigSistemaQOR::ReadSetting(settings::kIpSenha), values.senha);
    EXPECT_EQ(TConfigSistemaQOR::ReadSetting(settings::kUsaFisLogica), values.usaFisLogica);
    EXPECT_EQ(TConfigSistemaQOR::ReadSetting(settings::kCodLogica), values.codLogica);
    EXPECT_EQ(TConfigSistemaQOR::GetCodLogica(), 12);
}

TEST_F(SettingsFileReadTest, CodLogicaFollowsTheIntegerTextRule) {
    const struct {
        const char* entry;
        int32_t codLogica;
    } cases[] = {
        {"CodLogica=12", 12},     {"CodLogica=$1F", 31},   {"CodLogica=0x1F", 31}, {"CodLogica=-1", -1},
        {"CodLogica=\" 7\"", 7}, {"CodLogica=tRuE", 0},   {"CodLogica=2.5", 0},   {"CodLogica=", 0},
        {"CodLogica=12345678901", 0}, {"CodLogica=1,000", 0}, {"usa_fislogica=1", 0},
    };
    for (const auto& c : cases) {
        WriteSettings(std::string("[FilialMatriz]\r\n") + c.entry + "\r\n");
        EXPECT_EQ(TConfigSistemaQOR::GetCodLogica(), c.codLogica) << c.entry;
    }
}

}  // namespace
}  // namespace tarvik
