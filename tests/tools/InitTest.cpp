// tarvik-admin init: what it writes is what the program's own readers read back, it never
// replaces a file unasked, and a refused init leaves the directory as it was.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <dirent.h>
#include <pwd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "db/DbConnection.h"
#include "identification/UConnectionInfoClass.h"
#include "platform/Clock.h"
#include "platform/ExecutablePath.h"
#include "run/MainConnection.h"
#include "settings/PasswordCipher.h"
#include "settings/UConfigSistemaQOR.h"
#include "tests/support/TempDir.h"
#include "tests/tools/AdminTestSupport.h"

namespace tarvik {
namespace {

using test::Admin;
using test::FileMode;
using test::ReadWholeFile;
using test::TTempDir;

std::vector<std::string> Entries(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> InitArguments(const std::string& dir) {
    return {"init",        dir,          "--host",     "db.filial.example",   "--database",  "merovan",
            "--branch",    "12",         "--id-host",  "LocalHost",           "--id-database", "ident",
            "--id-user",   "leitor",     "--mac",      "00-1A-2B-3C-4D-5E",   "--cod-fisica", "31",
            "--name",      "Filial S\xE3o Jo\xE3o", "--cnpj", "12.345.678/0012-90"};
}

class InitTest : public testing::Test {
protected:
    void TearDown() override {
        ReleaseConnectionInfo();
        SetExecutableDirectoryOverride("");
        SetCipherSeedClock(nullptr);
    }
    TTempDir dir;
};

TEST_F(InitTest, TheProgramsOwnReadersReadBackEveryValue) {
    // A password with blanks, quotes, "=" and a Windows-1252 letter: all of them survive.
    const std::string password = " p\"a's=s w\xF6rd ";
    const std::string idPassword = "leitura;#\xE7";
    // The cipher's seed is one byte of the clock: two given clock values that seed it apart.
    SetCipherSeedClock([] { return 0u; });
    const test::TAdminResult r = Admin(InitArguments(dir.Path()), password + "\n" + idPassword + "\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");

    SetExecutableDirectoryOverride(dir.Path());
    // The main connection, set up exactly as the window sets up its own.
    TDbConnection conexao;
    SetDesignTimeValues(conexao);
    ApplyConnectionSettings(conexao);
    EXPECT_EQ(conexao.Host(), "db.filial.example");
    EXPECT_EQ(conexao.Database(), "merovan");
    EXPECT_EQ(conexao.Password(), password);
    EXPECT_EQ(TConfigSistemaQOR::GetCodLogica(), 12);
    EXPECT_EQ(TConfigSistemaQOR::ReadSetting(settings::kUsaFisLogica), "0");

    ReleaseConnectionInfo();
    const TConnectionInfo& info = GetConnectionInfo();
    EXPECT_EQ(info.GetDatabaseIPAsStored(), "LocalHost");
    EXPECT_EQ(info.GetDatabasename(), "ident");
    EXPECT_EQ(info.GetUsuario(), "leitor");
    EXPECT_EQ(info.GetSenha(), idPassword);
    EXPECT_EQ(info.GetMacAdress(), "00-1A-2B-3C-4D-5E");
    EXPECT_EQ(info.GetCodFisica(), 31);
    EXPECT_EQ(info.GetName(), "Filial S\xE3o Jo\xE3o");
    EXPECT_EQ(info.GetCnpj(), "12.345.678/0012-90");

    // The stored password is cipher text seeded from the clock: a second init at another seed
    // stores another text.
    const std::string first = ReadWholeFile(dir.File("sistema_qor.ini"));
    SetCipherSeedClock([] { return 1u; });
    std::vector<std::string> again = InitArguments(dir.Path());
    again.push_back("--force");
    ASSERT_EQ(Admin(again, password + "\n" + idPassword + "\n").status, 0);
    SetExecutableDirectoryOverride(dir.Path());
    EXPECT_NE(ReadWholeFile(dir.File("sistema_qor.ini")), first);
    EXPECT_EQ(CipherText("D", TConfigSistemaQOR::ReadSetting(settings::kIpSenha), kPasswordCipherKey), password);
}

TEST_F(InitTest, APasswordOfTheConnectionsFullLengthIsKeptWhole) {
    const std::string password(255, 'p');
    const test::TAdminResult r = Admin(InitArguments(dir.Path()), password + "\nb\n");
    ASSERT_EQ(r.status, 0) << r.err;
    SetExecutableDirectoryOverride(dir.Path());
    TDbConnection conexao;
    SetDesignTimeValues(conexao);
    ApplyConnectionSettings(conexao);
    EXPECT_EQ(conexao.Password(), password);
}

TEST_F(InitTest, LogicalBranchNeedsNoIdentificationConnectionAndReadsOneLine) {
    const test::TAdminResult r =
        Admin({"init", dir.Path(), "--host", "127.0.0.1", "--branch", "35", "--use-logical-branch"}, "segredo\n");
    ASSERT_EQ(r.status, 0) << r.err;
    SetExecutableDirectoryOverride(dir.Path());
    EXPECT_EQ(TConfigSistemaQOR::GetFilialId(), "35");
    EXPECT_EQ(TConfigSistemaQOR::GetLojasLeram(), "Z");
    EXPECT_EQ(TConfigSistemaQOR::ReadSetting(settings::kIpDatabase), "merovan");
}

TEST_F(InitTest, FilesAreOwnerOnlyWhateverTheUmask) {
    const mode_t saved = ::umask(0);
    const test::TAdminResult r = Admin(InitArguments(dir.Path()), "a\nb\n");
    ::umask(saved);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(FileMode(dir.File("sistema_qor.ini")), 0600);
    EXPECT_EQ(FileMode(dir.File("connection.conf")), 0600);
    EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"connection.conf", "sistema_qor.ini"}));
}

// The window runs as the desktop user, who can read owner-only files only when they are given
// to it; an administrator writing them as root names that account.
TEST_F(InitTest, OwnerGetsBothFilesAndAnUnknownOneWritesNothing) {
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    const uid_t uid = nobody->pw_uid;  // copied: the next look-up reuses the library's storage
    const gid_t gid = nobody->pw_gid;
    for (const std::string& account : {std::string("nobody"), std::to_string(uid)}) {
        TTempDir d;
        std::vector<std::string> arguments = InitArguments(d.Path());
        arguments.insert(arguments.end(), {"--owner", account});
        const test::TAdminResult r = Admin(arguments, "a\nb\n");
        ASSERT_EQ(r.status, 0) << r.err;
        for (const char* name : {"sistema_qor.ini", "connection.conf"}) {
            struct stat info {};
            ASSERT_EQ(::stat(d.File(name).c_str(), &info), 0);
            EXPECT_EQ(info.st_uid, uid) << name;
            EXPECT_EQ(info.st_gid, gid) << name;
            EXPECT_EQ(FileMode(d.File(name)), 0600) << name;
        }
    }

    std::vector<std::string> unknown = InitArguments(dir.Path());
    unknown.insert(unknown.end(), {"--owner", "no-such-account-here"});
    const test::TAdminResult r = Admin(unknown, "a\nb\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "tarvik-admin: --owner: no account 'no-such-account-here' on this machine\n");
    EXPECT_TRUE(Entries(dir.Path()).empty());
}

// An account number is taken as it is or refused: never cut to another account's id.
TEST_F(InitTest, AnOwnerNumberOutsideTheAccountIdsIsRefused) {
    for (const char* number : {"4294967295", "4294967296", "4294967297", "99999999999999999999999"}) {
        std::vector<std::string> arguments = InitArguments(dir.Path());
        arguments.insert(arguments.end(), {"--owner", number});
        const test::TAdminResult r = Admin(arguments, "a\nb\n");
        EXPECT_EQ(r.status, 2) << number;
        EXPECT_EQ(r.err, std::string("tarvik-admin: --owner: ") + number + " is not an account number (0 to 4294967294)\n");
        EXPECT_TRUE(Entries(dir.Path()).empty()) << number;
    }
}

// Both files or neither: when the second cannot be put in place, the first is as it was.
TEST_F(InitTest, ForceReplacesBothFilesOrNeither) {
    for (const bool settingsExisted : {true, false}) {
        TTempDir d;
        if (settingsExisted) d.Write("sistema_qor.ini", "hand-written\n");
        ASSERT_EQ(::mkdir(d.File("connection.conf").c_str(), 0700), 0);
        std::vector<std::string> arguments = InitArguments(d.Path());
        arguments.push_back("--force");
        const test::TAdminResult r = Admin(arguments, "a\nb\n");
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, "tarvik-admin: " + d.File("connection.conf") + ": cannot write: " + std::strerror(EISDIR) +
                             "\n");
        EXPECT_EQ(r.out, "");
        if (settingsExisted) {
            EXPECT_EQ(ReadWholeFile(d.File("sistema_qor.ini")), "hand-written\n");
            EXPECT_EQ(Entries(d.Path()), (std::vector<std::string>{"connection.conf", "sistema_qor.ini"}));
        } else {
            EXPECT_EQ(Entries(d.Path()), (std::vector<std::string>{"connection.conf"}));
        }
    }
}

TEST_F(InitTest, RefusesToReplaceExistingFilesWithoutForceAndNamesEach) {
    struct TCase {
        std::vector<std::string> existing;
    };
    for (const TCase& c : {TCase{{"sistema_qor.ini"}}, TCase{{"connection.conf"}},
                           TCase{{"sistema_qor.ini", "connection.conf"}}}) {
        TTempDir d;
        std::string expected;
        for (const std::string& name : c.existing) {
            d.Write(name, "hand-written " + name + "\n");
            expected += "tarvik-admin: " + d.File(name) + " exists; give --force to replace it\n";
        }
        const test::TAdminResult r = Admin(InitArguments(d.Path()), "a\nb\n");
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, expected);
        for (const std::string& name : c.existing) EXPECT_EQ(ReadWholeFile(d.File(name)), "hand-written " + name + "\n");
        EXPECT_EQ(Entries(d.Path()).size(), c.existing.size()) << "nothing else may be written";

        std::vector<std::string> forced = InitArguments(d.Path());
        forced.push_back("--force");
        ASSERT_EQ(Admin(forced, "a\nb\n").status, 0);
        for (const std::string& name : c.existing) EXPECT_EQ(FileMode(d.File(name)), 0600);
        EXPECT_NE(ReadWholeFile(d.File("sistema_qor.ini")).find("CodLogica=12"), std::string::npos);
    }
}

TEST_F(InitTest, BadInputIsRefusedWithItsReasonAndWritesNothing) {
    struct TCase {
        std::vector<std::string> arguments;  // after DIR
        std::string input;
        std::string message;
    };
    const std::vector<std::string> ident = {"--id-host", "127.0.0.1", "--id-database", "m", "--id-user", "u"};
    const auto with = [&ident](std::vector<std::string> a) {
        a.insert(a.end(), ident.begin(), ident.end());
        return a;
    };
    const TCase cases[] = {
        {with({"--host", "h", "--branch", "0"}), "a\nb\n", "--branch 0: a branch number is 1 or more"},
        {{"--host", "h", "--branch", "80", "--use-logical-branch"}, "a\n",
         "--branch 80: O filial_id 80 n\xC3\xA3o pode ser convertido para um \"lojas_leram\" v\xC3\xA1lido"},
        {{"--host", "h", "--branch", "3"}, "a\nb\n",
         "--id-host, --id-database and --id-user are needed: without --use-logical-branch the store code comes "
         "from the identification connection"},
        // Values the reader would change on the way back.
        {with({"--host", " db", "--branch", "3"}), "a\nb\n",
         "--host \" db\" cannot be stored in sistema_qor.ini [ip] local: the program would read \"db\""},
        {with({"--host", "h", "--database", "'merovan'", "--branch", "3"}), "a\nb\n",
         "--database \"'merovan'\" cannot be stored in sistema_qor.ini [ip] database: the program would read "
         "\"merovan\""},
        {with({"--host", "h\nx", "--branch", "3"}), "a\nb\n",
         "--host \"h\\x0Ax\" cannot be stored in sistema_qor.ini [ip] local: the program would read \"h\""},
        {with({"--host", "h", "--branch", "3"}), std::string(1100, 'p') + "\nb\n",
         "the main connection's password cannot be stored in sistema_qor.ini [ip] senha: it would not decipher to "
         "the same text (too long, or holding a byte 0 or 255)"},
        // The connection keeps 255 characters of each parameter: more would fail the login.
        {with({"--host", "h", "--branch", "3"}), std::string(256, 'p') + "\nb\n",
         "the main connection's password has 256 characters: the connection takes at most 255"},
        {with({"--host", std::string(256, 'h'), "--branch", "3"}), "a\nb\n",
         "--host has 256 characters: the connection takes at most 255"},
        {with({"--host", "h", "--database", std::string(300, 'd'), "--branch", "3"}), "a\nb\n",
         "--database has 300 characters: the connection takes at most 255"},
        {with({"--host", "h", "--branch", "3", "--name", std::string(1100, 'n')}), "a\nb\n",
         "--name: the value is too long to be stored in connection.conf [connection] Name"},
        // Passwords: the main one from line 1, the identification one from line 2.
        {with({"--host", "h", "--branch", "3"}), "", "standard input: no password of the main connection on line 1"},
        {with({"--host", "h", "--branch", "3"}), "a\n",
         "standard input: no password of the identification connection on line 2"},
    };
    for (const TCase& c : cases) {
        TTempDir d;
        std::vector<std::string> arguments{"init", d.Path()};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const test::TAdminResult r = Admin(arguments, c.input);
        EXPECT_EQ(r.status, 2) << c.message;
        EXPECT_EQ(r.err, "tarvik-admin: " + c.message + "\n");
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(Entries(d.Path()).empty()) << c.message;
    }
}

TEST_F(InitTest, OptionErrorsNameTheOption) {
    const test::TAdminResult noBranch = Admin({"init", dir.Path(), "--host", "h"}, "a\n");
    EXPECT_EQ(noBranch.status, 2);
    EXPECT_NE(noBranch.err.find("--branch is required"), std::string::npos) << noBranch.err;

    const test::TAdminResult notANumber = Admin({"init", dir.Path(), "--host", "h", "--branch", "abc"}, "a\n");
    EXPECT_EQ(notANumber.status, 2);
    EXPECT_NE(notANumber.err.find("--branch"), std::string::npos) << notANumber.err;

    const test::TAdminResult noDirectory =
        Admin({"init", dir.File("nowhere"), "--host", "h", "--branch", "3", "--use-logical-branch"}, "a\n");
    EXPECT_EQ(noDirectory.status, 2);
    EXPECT_EQ(noDirectory.err, "tarvik-admin: " + dir.File("nowhere") + ": no such directory\n");
    EXPECT_TRUE(Entries(dir.Path()).empty());
}

// For a fleet's playbooks: init writes only when something differs from what the files hold,
// the passwords compared deciphered, and says which keys changed without their values.
TEST_F(InitTest, IfChangedWritesOnlyWhatDiffersAndNamesTheKeys) {
    const std::string password = "segredo", idPassword = "leitura";
    std::vector<std::string> arguments = InitArguments(dir.Path());
    arguments.push_back("--if-changed");
    SetCipherSeedClock([] { return 0u; });
    const test::TAdminResult first = Admin(arguments, password + "\n" + idPassword + "\n");
    EXPECT_EQ(first.status, 3) << first.err;
    EXPECT_NE(first.out.find("changed: sistema_qor.ini [ip] senha\n"), std::string::npos) << first.out;
    const std::string written = ReadWholeFile(dir.File("sistema_qor.ini"));

    // Another seed would write another cipher text: the file is left as it was.
    SetCipherSeedClock([] { return 1u; });
    const test::TAdminResult same = Admin(arguments, password + "\n" + idPassword + "\n");
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "unchanged: " + dir.File("sistema_qor.ini") + " and " + dir.File("connection.conf") +
                            " hold these values already\n");
    EXPECT_EQ(ReadWholeFile(dir.File("sistema_qor.ini")), written);

    const test::TAdminResult newPassword = Admin(arguments, "outro segredo\n" + idPassword + "\n");
    EXPECT_EQ(newPassword.status, 3) << newPassword.err;
    EXPECT_EQ(newPassword.out, "changed: sistema_qor.ini [ip] senha\n");
    SetExecutableDirectoryOverride(dir.Path());
    EXPECT_EQ(CipherText("D", TConfigSistemaQOR::ReadSetting(settings::kIpSenha), kPasswordCipherKey), "outro segredo");

    const test::TAdminResult newIdPassword = Admin(arguments, "outro segredo\noutra leitura\n");
    EXPECT_EQ(newIdPassword.status, 3) << newIdPassword.err;
    EXPECT_EQ(newIdPassword.out.rfind("changed: connection.conf [connection] ", 0), 0u) << newIdPassword.out;
    EXPECT_EQ(newIdPassword.out.find("outra"), std::string::npos) << "never a value";
    EXPECT_EQ(std::count(newIdPassword.out.begin(), newIdPassword.out.end(), '\n'), 1);
}

}  // namespace
}  // namespace tarvik
