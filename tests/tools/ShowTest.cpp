// tarvik-admin show: values as the program reads them, and a warning for every value that
// reads differently from how it looks.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <istream>
#include <ostream>
#include <sstream>
#include <streambuf>

#include "identification/UConnectionInfoClass.h"
#include "platform/ProfileReader.h"
#include "settings/PasswordCipher.h"
#include "settings/UConfigSistemaQOR.h"
#include "tests/support/TempDir.h"
#include "tests/tools/AdminTestSupport.h"
#include "tools/admin/Admin.h"
#include "tools/admin/Console.h"
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
        // Without --reveal the text that is no cipher text is not shown: it is often the password.
        {Ini("0", "3", "zz"), Conf(kIp),
         "  sistema_qor.ini [ip] senha: the value is not cipher text: the window reports this at start-up and keeps "
         "its built-in password\n"},
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

// A password written into the file in plain text is no cipher text; it is shown, in the
// warning too, only when asked for.
TEST(ShowTest, APlainPasswordIsMaskedInItsWarningUnlessRevealed) {
    TTempDir dir;
    dir.Write("sistema_qor.ini", Ini("0", "3", "segredo"));
    dir.Write("connection.conf", Conf(kIp));
    for (const bool json : {false, true}) {
        std::vector<std::string> arguments = {"show", dir.Path()};
        if (json) arguments.push_back("--json");
        const test::TAdminResult masked = Admin(arguments);
        ASSERT_EQ(masked.status, 0) << masked.err;
        EXPECT_EQ(masked.out.find("segredo"), std::string::npos) << masked.out;
        EXPECT_EQ(masked.out.find("$se"), std::string::npos) << masked.out;
    }
    const test::TAdminResult masked = Admin({"show", dir.Path()});
    EXPECT_EQ(Warnings(masked.out),
              "  sistema_qor.ini [ip] senha: the value is not cipher text: the window reports this at start-up and "
              "keeps its built-in password\n");
    const test::TAdminResult revealed = Admin({"show", "--reveal", dir.Path()});
    EXPECT_EQ(Warnings(revealed.out),
              "  sistema_qor.ini [ip] senha: \"segredo\" is not cipher text ('$se' is not a valid integer value): "
              "the window reports this at start-up and keeps its built-in password\n");
}

#ifndef _WIN32
// (On Windows a path's bytes are the ANSI code page's, not UTF-8.)
// Paths are the system's own bytes (UTF-8 here), shown as they are, not decoded as if they
// were the settings' Windows-1252.
TEST(ShowTest, PathsAreShownAsTheyAre) {
    TTempDir parent;
    const std::string dir = parent.File("w8-\xC3\xA7\xC3\xA3o/");
    ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
    parent.Write("w8-\xC3\xA7\xC3\xA3o/sistema_qor.ini", Ini("0", "3"));
    const test::TAdminResult text = Admin({"show", dir});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out.rfind("sistema_qor.ini (" + dir + "sistema_qor.ini)\n", 0), 0u) << text.out;
    EXPECT_NE(text.out.find("connection.conf (" + dir + "connection.conf, missing)\n"), std::string::npos) << text.out;

    const test::TAdminResult json = Admin({"show", "--json", dir});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(nlohmann::json::parse(json.out)["files"][0]["path"], dir + "sistema_qor.ini");

    // A directory that is not there is named as it was given.
    const test::TAdminResult missing = Admin({"show", dir + "n\xC3\xA3o"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "tarvik-admin: " + dir + "n\xC3\xA3o: no such directory\n");
}
#endif

// Standard output that cannot be written (a full disk, for a stream that reports it): an error
// the tool has no case for still ends the command with its text and status 2.
TEST(ShowTest, AnErrorOfAnyKindEndsTheCommandWithItsTextAndStatusTwo) {
    struct TFullBuffer : std::streambuf {
        int overflow(int) override { return traits_type::eof(); }
    } full;
    std::ostream out(&full);
    out.exceptions(std::ios::badbit);
    std::istringstream in;
    std::ostringstream err;
    admin::TConsole console{in, out, err, false, false, {}};
    TTempDir dir;
    dir.Write("sistema_qor.ini", Ini("0", "3"));
    EXPECT_EQ(admin::RunAdmin({"tarvik-admin", "show", dir.Path()}, console), 2);
    EXPECT_EQ(err.str(), "tarvik-admin: basic_ios::clear: iostream error\n");
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
