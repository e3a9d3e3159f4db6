// Decoding of connection.conf: the hex form of its values and what each key loads into.

#include <gtest/gtest.h>

#include <optional>

#include "identification/UConnectionInfoClass.h"
#include "platform/Errors.h"
#include "tests/identification/IdentificationSupport.h"
#include "tests/support/ScopedWorkingDirectory.h"
#include "tests/support/ThrowsExactly.h"

namespace tarvik {
namespace {

using test::ThrowsExactly;

struct THexCase {
    const char* name;
    std::string text;
    std::string decoded;
};

void PrintTo(const THexCase& c, std::ostream* out) { *out << c.name; }

class HexToTextDecodes : public ::testing::TestWithParam<THexCase> {};

TEST_P(HexToTextDecodes, EveryPairBecomesOneByte) { EXPECT_EQ(HexToText(GetParam().text), GetParam().decoded); }

INSTANTIATE_TEST_SUITE_P(
    Cases, HexToTextDecodes,
    ::testing::Values(THexCase{"Empty", "", ""}, THexCase{"UpperDigits", "6C6F63616C686F7374", "localhost"},
                      THexCase{"LowerDigits", "6c6f63616c686f7374", "localhost"},
                      THexCase{"MixedDigits", "6C6f", "lo"},
                      THexCase{"OddLastDigitIgnored", "6C6F63616C686F73745", "localhost"},
                      THexCase{"OddLastCharacterNotCheckedEither", "41Z", "A"},
                      THexCase{"HighBytesKept", "E7E380FF", "\xE7\xE3\x80\xFF"},
                      THexCase{"ZeroByteKept", "410042", std::string("A\0B", 3)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HexToText, APairThatIsNotTwoHexDigitsFailsTheWholeText) {
    for (const std::string text : {"6C6F6Z", "G0", " 41", "41 42", "+1", "4-"}) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(ThrowsExactly<EConvertError>([&] { HexToText(text); },
                                                 "'" + text + "' is not a valid hexadecimal text"));
    }
}

// The encoder the writers use: upper-case pairs, every byte kept; HexToText takes it back.
TEST(TextToHex, EveryByteBecomesTwoUpperCaseDigits) {
    const THexCase cases[] = {
        {"Empty", "", ""},
        {"Ascii", "6C6F63616C686F7374", "localhost"},
        {"HighBytes", "E7E380FF", "\xE7\xE3\x80\xFF"},
        {"ZeroByte", "410042", std::string("A\0B", 3)},
        {"BlankAndEquals", "7020773D", "p w="},
    };
    for (const THexCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TextToHex(c.decoded), c.text);
        EXPECT_EQ(HexToText(TextToHex(c.decoded)), c.decoded);
    }
}

// What LoadConnectionConf leaves in the members.
struct TLoaded {
    std::string macAdress;
    int32_t codFisica = 0;
    std::string databaseIP;
    std::string databasename;
    std::string usuario;
    std::string senha;
    std::string name;
    std::string cnpj;
};

bool operator==(const TLoaded& a, const TLoaded& b) {
    return a.macAdress == b.macAdress && a.codFisica == b.codFisica && a.databaseIP == b.databaseIP &&
           a.databasename == b.databasename && a.usuario == b.usuario && a.senha == b.senha && a.name == b.name &&
           a.cnpj == b.cnpj;
}

std::ostream& operator<<(std::ostream& out, const TLoaded& v) {
    return out << "{MacAdress=" << v.macAdress << " CodFisica=" << v.codFisica << " DatabaseIP=" << v.databaseIP
               << " Databasename=" << v.databasename << " Usuario=" << v.usuario << " Senha=" << v.senha
               << " Name=" << v.name << " Cnpj=" << v.cnpj << "}";
}

TLoaded Load(const std::optional<std::string>& fileContents) {
    test::TTempDir dir;
    if (fileContents) dir.Write("connection.conf", *fileContents);
    test::TScopedExecutableDirectory executableDir(dir.Path());
    TConnectionInfo info;
    info.LoadConnectionConf();
    return {info.GetMacAdress(), info.GetCodFisica(), info.GetDatabaseIPAsStored(), info.GetDatabasename(),
            info.GetUsuario(),   info.GetSenha(),     info.GetName(),               info.GetCnpj()};
}

const test::TConfEntries kFullConf = {
    {"MacAdress", TextToHex("00-1A-2B-3C-4D-5E")}, {"CodFisica", TextToHex("12")},
    {"DatabaseIP", TextToHex("LocalHost")},        {"Databasename", TextToHex("gestao")},
    {"Usuario", "7573756172696f"},                  // lower-case digits
    {"Senha", TextToHex("p\xE1ss w=rd")},          // Windows-1252 byte, blank and '=' kept
    {"Name", TextToHex("Filial S\xE3o Jo\xE3o")},  {"Cnpj", TextToHex("12.345.678/0001-99")}};

const TLoaded kFullLoaded = {"00-1A-2B-3C-4D-5E", 12,        "LocalHost",         "gestao",
                             "usuario",           "p\xE1ss w=rd", "Filial S\xE3o Jo\xE3o", "12.345.678/0001-99"};

test::TConfEntries With(const std::string& key, const std::string& storedValue) {
    test::TConfEntries entries = kFullConf;
    for (auto& [k, v] : entries)
        if (k == key) v = storedValue;
    return entries;
}

TEST(LoadConnectionConf, ReadsEveryKeyDecoded) { EXPECT_EQ(Load(test::ConnectionConfText(kFullConf)), kFullLoaded); }

// The program's own writer: every key in the order given, hex-encoded, CR LF; a key left out
// is not written and reads as empty.
TEST(ConnectionConfText, IsReadBackAsWritten) {
    const std::string text = TConnectionInfo::ConnectionConfText({{conf_keys::kDatabaseIP, "10.0.0.5"},
                                                                  {conf_keys::kCodFisica, "12"},
                                                                  {conf_keys::kSenha, "p\xE1ss w=rd"}});
    EXPECT_EQ(text, "[connection]\r\nDatabaseIP=31302E302E302E35\r\nCodFisica=3132\r\nSenha=70E1737320773D7264\r\n");
    TLoaded expected;
    expected.databaseIP = "10.0.0.5";
    expected.codFisica = 12;
    expected.senha = "p\xE1ss w=rd";
    EXPECT_EQ(Load(text), expected);

    std::vector<TProfileEntry> all;
    for (const char* key : conf_keys::kAll) all.push_back({key, std::string("v-") + key});
    const TLoaded every = Load(TConnectionInfo::ConnectionConfText(all));
    EXPECT_EQ(every.macAdress, "v-MacAdress");
    EXPECT_EQ(every.databaseIP, "v-DatabaseIP");
    EXPECT_EQ(every.databasename, "v-Databasename");
    EXPECT_EQ(every.usuario, "v-Usuario");
    EXPECT_EQ(every.senha, "v-Senha");
    EXPECT_EQ(every.name, "v-Name");
    EXPECT_EQ(every.cnpj, "v-Cnpj");
}

TEST(LoadConnectionConf, MissingFileOrSectionGivesEmptyValues) {
    EXPECT_EQ(Load(std::nullopt), TLoaded{});
    std::string otherSection = test::ConnectionConfText(kFullConf);
    otherSection.replace(0, 12, "[conexao]");
    EXPECT_EQ(Load(otherSection), TLoaded{});
}

TEST(LoadConnectionConf, EachMissingKeyAloneIsEmpty) {
    for (size_t i = 0; i < kFullConf.size(); ++i) {
        test::TConfEntries entries = kFullConf;
        const std::string key = entries[i].first;
        entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
        SCOPED_TRACE(key);
        TLoaded expected = kFullLoaded;
        if (key == "MacAdress") expected.macAdress.clear();
        if (key == "CodFisica") expected.codFisica = 0;
        if (key == "DatabaseIP") expected.databaseIP.clear();
        if (key == "Databasename") expected.databasename.clear();
        if (key == "Usuario") expected.usuario.clear();
        if (key == "Senha") expected.senha.clear();
        if (key == "Name") expected.name.clear();
        if (key == "Cnpj") expected.cnpj.clear();
        EXPECT_EQ(Load(test::ConnectionConfText(entries)), expected);
    }
}

struct TValueCase {
    const char* name;
    std::string key;
    std::string stored;
    std::string expectedText;  // for text keys
    int32_t expectedInteger;   // for CodFisica
};

void PrintTo(const TValueCase& c, std::ostream* out) { *out << c.name; }

class LoadConnectionConfValue : public ::testing::TestWithParam<TValueCase> {};

// One damaged or unusual value changes that value only.
TEST_P(LoadConnectionConfValue, AffectsOnlyItsOwnKey) {
    const TValueCase& c = GetParam();
    TLoaded expected = kFullLoaded;
    if (c.key == "CodFisica") expected.codFisica = c.expectedInteger;
    if (c.key == "DatabaseIP") expected.databaseIP = c.expectedText;
    if (c.key == "Usuario") expected.usuario = c.expectedText;
    if (c.key == "Senha") expected.senha = c.expectedText;
    if (c.key == "Cnpj") expected.cnpj = c.expectedText;
    EXPECT_EQ(Load(test::ConnectionConfText(With(c.key, c.stored))), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadConnectionConfValue,
    ::testing::Values(
        TValueCase{"OddDigitCount", "DatabaseIP", "6C6F63616C686F73745", "localhost", 0},
        TValueCase{"BadPairEmptiesTheValue", "Usuario", "6C6F6Z", "", 0},
        TValueCase{"BlankInsidePairs", "Senha", "41 42", "", 0},
        TValueCase{"PresentButEmpty", "Cnpj", "", "", 0},
        TValueCase{"QuotedValue", "Usuario", "\"6C6F\"", "lo", 0},
        TValueCase{"IntegerNegative", "CodFisica", TextToHex("-7"), "", -7},
        TValueCase{"IntegerLeadingBlanks", "CodFisica", TextToHex("  42"), "", 42},
        TValueCase{"IntegerHexDollar", "CodFisica", TextToHex("$1F"), "", 31},
        TValueCase{"IntegerHex0x", "CodFisica", TextToHex("0x10"), "", 16},
        TValueCase{"IntegerLargest", "CodFisica", TextToHex("2147483647"), "", 2147483647},
        TValueCase{"IntegerOutOfRange", "CodFisica", TextToHex("2147483648"), "", 0},
        TValueCase{"IntegerNotANumber", "CodFisica", TextToHex("abc"), "", 0},
        TValueCase{"IntegerTrailingBlank", "CodFisica", TextToHex("12 "), "", 0},
        TValueCase{"IntegerBadHex", "CodFisica", "3Z", "", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConnectionConfFileName, IsBesideTheExecutableNotInTheWorkingDirectory) {
    test::TTempDir executableDir, workingDir;
    test::TScopedExecutableDirectory scopedExecutable(executableDir.Path());
    test::TScopedWorkingDirectory scopedWorking(workingDir.Path());
    workingDir.Write("connection.conf", test::ConnectionConfText(kFullConf));
    EXPECT_EQ(TConnectionInfo::ConnectionConfFileName(), executableDir.Path() + "connection.conf");
    TConnectionInfo info;
    info.LoadConnectionConf();
    EXPECT_EQ(info.GetDatabasename(), "");
}

TEST(GetConnectionInfo, LoadsOnFirstUseAndKeepsItsValues) {
    ReleaseConnectionInfo();
    test::TTempDir dir;
    test::TScopedExecutableDirectory executableDir(dir.Path());
    const std::string path = dir.Write("connection.conf", test::ConnectionConfText(kFullConf));
    TConnectionInfo& first = GetConnectionInfo();
    EXPECT_EQ(first.GetUsuario(), "usuario");
    // Read once: a changed file is not seen by the same instance.
    dir.Write("connection.conf", test::ConnectionConfText(With("Usuario", TextToHex("outro"))));
    EXPECT_EQ(&GetConnectionInfo(), &first);
    EXPECT_EQ(GetConnectionInfo().GetUsuario(), "usuario");
    ReleaseConnectionInfo();
    EXPECT_EQ(GetConnectionInfo().GetUsuario(), "outro");
    ReleaseConnectionInfo();
}

}  // namespace
}  // namespace tarvik
