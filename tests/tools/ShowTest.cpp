// tarvik-admin show: values as the program reads them, and a warning for every value that
// reads differently from how it looks.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "identification/UConnectionInfoClass.h"
#include "platform/ProfileReader.h"
#include "settings/UConfigSistemaQOR.h"
#include "settings/util.h"
#include "tests/support/TempDir.h"
#include "tests/tools/AdminTestSupport.h"
#include "tools/admin/Text.h"

namespace tarvik {
namespace {

using test::Admin;
using test::TTempDir;

const std::string kCipher = CipherText("E", "segredo", kPasswordCipherKey);

std::string Ini(const std::string& usa, const std::string& cod, const std::string& senha = kCipher) {
    return TConfigSistemaQOR::SettingsFileText({"127.0.0.1", "merovan", senha, usa, cod});
}

// Values as stored, so that a test can store one that is no hex.
std::string Conf(const std::string& databaseIP, const std::string& codFisica = TextToHex("12"),
                 const std::string& senha = TextToHex("leitura")) {
    using namespace conf_keys;
    return ProfileSectionText(kSection, {{kMacAdress, TextToHex("00-1A")},
                                         {kCodFisica, codFisica},
                                         {kDatabaseIP, databaseIP},
                                         {kDatabasename, TextToHex("merovan")},
                                         {kUsuario, TextToHex("root")},
                                         {kSenha, senha}});
}

const std::string kIp = TextToHex("127.0.0.1");

// The lines under "warnings:", or "no warnings".
std::string Warnings(const std::string& out) {
    const size_t at = out.find("warnings:\n");
    if (at == std::string::npos) return out.find("no warnings\n") != std::string::npos ? "no warnings" : "?";
    return out.substr(at + 10);
}

TEST(ShowTest, WarnsOfEveryValueThatReadsDifferentlyFromHowItLooks) {
    struct TCase {
        std::string ini;
        std::string conf;
        std::string warnings;
    };
    const std::string cod = "  sistema_qor.ini [FilialMatriz] CodLogica: ";
    const std::string usa = "  sistema_qor.ini [FilialMatriz] usa_fislogica: ";
    const std::string conn = "  connection.conf [connection] ";
    const TCase cases[] = {
        {Ini("0", "3"), Conf(kIp), "no warnings"},
        {Ini("0", "1,000"), Conf(kIp), cod + "\"1,000\" is not a whole number: it reads as 0 (filial_id 0 in every row)\n"},
        {Ini("0", "True"), Conf(kIp), cod + "\"True\" is not a whole number: it reads as 0 (filial_id 0 in every row)\n"},
        {Ini("0", "abc"), Conf(kIp), cod + "\"abc\" is not a whole number: it reads as 0 (filial_id 0 in every row)\n"},
        {Ini("0", "$1F"), Conf(kIp), cod + "\"$1F\" reads as 31\n"},
        {Ini("01", "3"), Conf(kIp),
         usa + "\"01\" is not \"1\": the store code comes from the server's identification record\n"},
        {Ini("true", "3"), Conf(kIp),
         usa + "\"true\" is not \"1\": the store code comes from the server's identification record\n"},
        // The store code follows CodLogica by another rule than filial_id does.
        {Ini("1", "True"), Conf(kIp),
         cod + "\"True\" is not a whole number: it reads as 0 (filial_id 0 in every row)\n" + cod +
             "the store code is that of branch 1, while the rows get filial_id 0\n"},
        {Ini("1", "80"), Conf(kIp),
         cod + "no store code, every run that inserts stops with: O filial_id 80 n\xC3\xA3o pode ser convertido "
               "para um \"lojas_leram\" v\xC3\xA1lido\n"},
        {Ini("0", "3", "zz"), Conf(kIp),
         "  sistema_qor.ini [ip] senha: \"zz\" is not cipher text ('$zz' is not a valid integer value): the window "
         "reports this at start-up and keeps its built-in password\n"},
        {Ini("0", "3"), Conf("6C6F6Z"), conn + "DatabaseIP: \"6C6F6Z\" is not hex: it reads as empty\n"},
        {Ini("0", "3"), Conf(kIp, TextToHex("12"), "ZZ"), conn + "Senha: the value is not hex: it reads as empty\n"},
        {Ini("0", "3"), Conf(kIp + "5"), conn + "DatabaseIP: an odd number of hex digits: the last one is ignored\n"},
        {Ini("0", "3"), Conf(kIp, TextToHex("abc")), conn + "CodFisica: decodes to \"abc\", which reads as 0\n"},
        {Ini("0", "3"), Conf(TextToHex("LocalHost")),
         conn + "DatabaseIP: \"localhost\" is replaced by this machine's own address (looked up at each "
                "connection), and the lookup leaves an empty iphist.dat in the working directory\n"},
        {"", "",
         "  sistema_qor.ini: no such file: every value is its default\n"
         "  sistema_qor.ini [ip] senha: missing: the built-in default password is used\n"
         "  connection.conf: no such file: the identification connection has no server, database, user or "
         "password\n"},
    };
    for (const TCase& c : cases) {
        TTempDir dir;
        if (!c.ini.empty()) dir.Write("sistema_qor.ini", c.ini);
        if (!c.conf.empty()) dir.Write("connection.conf", c.conf);
        const test::TAdminResult r = Admin({"show", dir.Path()});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(Warnings(r.out), c.warnings) << c.ini << c.conf;
    }
}

TEST(ShowTest, ValuesAreThoseTheProgramReadsAndPasswordsAreMaskedUnlessRevealed) {
    TTempDir dir;
    // Blanks and quotes that the reader removes; a key missing, so its default applies.
    dir.Write("sistema_qor.ini", "[IP]\nlocal =  db.example  \nsenha=" + kCipher +
                                     "\n[filialmatriz]\nusa_fislogica = \"1\" \nCodLogica=12\n");
    dir.Write("connection.conf", Conf(kIp));

    const test::TAdminResult masked = Admin({"show", "--json", dir.Path()});
    ASSERT_EQ(masked.status, 0) << masked.err;
    const nlohmann::json m = nlohmann::json::parse(masked.out);
    const nlohmann::json& ini = m["files"][0]["values"];
    EXPECT_EQ(ini["ip"]["local"]["value"], "db.example");
    EXPECT_EQ(ini["ip"]["database"]["value"], "merovan");
    EXPECT_EQ(ini["ip"]["database"]["present"], false);
    EXPECT_EQ(ini["ip"]["senha"]["value"], "********");
    EXPECT_EQ(ini["ip"]["senha"]["stored"], "********");
    EXPECT_EQ(m["files"][1]["values"]["connection"]["Senha"]["value"], "********");
    EXPECT_EQ(m["files"][1]["values"]["connection"]["DatabaseIP"]["value"], "127.0.0.1");
    EXPECT_EQ(m["files"][1]["values"]["connection"]["CodFisica"]["value"], "12");
    EXPECT_EQ(m["logical_branch"], 12);
    EXPECT_EQ(m["store_code"], (nlohmann::json{{"source", "file"}, {"branch", "12"}, {"code", "C"}}));
    EXPECT_TRUE(m["warnings"].empty()) << m["warnings"].dump();
    EXPECT_EQ(masked.out.find("segredo"), std::string::npos);
    EXPECT_EQ(masked.out.find("leitura"), std::string::npos);

    const nlohmann::json r = nlohmann::json::parse(Admin({"show", "--json", "--reveal", dir.Path()}).out);
    EXPECT_EQ(r["files"][0]["values"]["ip"]["senha"]["value"], "segredo");
    EXPECT_EQ(r["files"][0]["values"]["ip"]["senha"]["stored"], kCipher);
    EXPECT_EQ(r["files"][1]["values"]["connection"]["Senha"]["value"], "leitura");
}

TEST(ShowTest, TextNamesTheStoreCodeSource) {
    TTempDir dir;
    dir.Write("sistema_qor.ini", Ini("0", "7"));
    const test::TAdminResult r = Admin({"show", dir.Path()});
    EXPECT_NE(r.out.find("logical branch number (filial_id of the rows): 7\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("store code: from the server's identification record"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  [ip] senha                     ********\n"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace tarvik
