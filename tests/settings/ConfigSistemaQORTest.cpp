#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "identification/UConnectionInfoClass.h"
#include "identification/UIdentificacaoServidorClass.h"
#include "platform/Errors.h"
#include "platform/ExecutablePath.h"
#include "settings/UConfigSistemaQOR.h"
#include "tests/support/BranchTables.h"
#include "tests/support/ConnectionConf.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestServer.h"
#include "tests/support/ThrowsExactly.h"

namespace tarvik {
namespace {

using test::ThrowsExactly;

const char kMismatch[] = "Could not convert variant of type (String) into type (Boolean)";
const char kOverflow[] = "Overflow while converting variant of type (String) into type (Integer)";

std::string FilialMatriz(const std::string& entries) { return "[FilialMatriz]\r\n" + entries; }

// Settings files in a directory of the test's own, found as the executable's directory.
class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetExecutableDirectoryOverride(dir_.Path());
        // A record from an earlier test would answer without reading anything.
        ReleaseIdentificacaoServidor();
        ReleaseConnectionInfo();
    }
    void TearDown() override {
        ReleaseIdentificacaoServidor();
        ReleaseConnectionInfo();
        SetExecutableDirectoryOverride("");
    }
    void WriteSettings(const std::string& contents) { dir_.Write("sistema_qor.ini", contents); }

    test::TTempDir dir_;
};

// With "usa_fislogica" 1 the branch comes from "CodLogica" alone; no identification is needed.
TEST_F(SettingsFileTest, LogicalBranchDecidesWhenUsaFisLogicaIsOne) {
    const struct {
        const char* name;
        std::string entries;  // below [FilialMatriz], after usa_fislogica=1
        int32_t codLogica;
        std::string filialId;
        std::string lojasLeram;    // empty when an error is expected
        std::string errorMessage;  // EVariantError unless it names lojas_leram
    } cases[] = {
        {"decimal", "CodLogica=12", 12, "12", "C", ""},
        {"missing", "", 0, "0", "0", ""},
        {"hex dollar", "CodLogica=$1F", 31, "$1F", "V", ""},
        {"hex 0x", "CodLogica=0x1F", 31, "0x1F", "V", ""},
        {"negative", "CodLogica=-1", -1, "-1", "/", ""},
        {"truth word", "CodLogica=tRuE", 0, "tRuE", "*", ""},
        {"false word", "CodLogica=False", 0, "False", "0", ""},
        {"blanks inside quotes", "CodLogica=\" 12 \"", 0, " 12 ", "C", ""},
        {"fraction", "CodLogica=2.5", 0, "2.5", "2", ""},
        {"empty", "CodLogica=", 0, "", "", kMismatch},
        {"other word", "CodLogica=matriz", 0, "matriz", "", kMismatch},
        {"eleven digits", "CodLogica=12345678901", 0, "12345678901", "", kOverflow},
        {"no store code", "CodLogica=80", 80, "80", "",
         "O filial_id 80 n\xE3o pode ser convertido para um \"lojas_leram\" v\xE1lido"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteSettings(FilialMatriz("usa_fislogica = \"1\"\r\n" + c.entries + "\r\n"));
        EXPECT_EQ(TConfigSistemaQOR::GetCodLogica(), c.codLogica);
        EXPECT_EQ(TConfigSistemaQOR::GetFilialId(), c.filialId);
        if (!c.lojasLeram.empty())
            EXPECT_EQ(TConfigSistemaQOR::GetLojasLeram(), c.lojasLeram);
        else if (c.errorMessage.find("lojas_leram") != std::string::npos)
            EXPECT_TRUE(ThrowsExactly<Exception>([] { TConfigSistemaQOR::GetLojasLeram(); }, c.errorMessage));
        else
            EXPECT_TRUE(ThrowsExactly<EVariantError>([] { TConfigSistemaQOR::GetLojasLeram(); }, c.errorMessage));
    }
}

TEST_F(SettingsFileTest, EditsTakeEffectAtTheNextCall) {
    WriteSettings(FilialMatriz("usa_fislogica=1\r\nCodLogica=12\r\n"));
    EXPECT_EQ(TConfigSistemaQOR::GetCodLogica(), 12);
    EXPECT_EQ(TConfigSistemaQOR::GetLojasLeram(), "C");

    WriteSettings(FilialMatriz("usa_fislogica=1\r\nCodLogica=54\r\n"));
    EXPECT_EQ(TConfigSistemaQOR::GetCodLogica(), 54);
    EXPECT_EQ(TConfigSistemaQOR::GetFilialId(), "54");
    EXPECT_EQ(TConfigSistemaQOR::GetLojasLeram(), "a");

    ASSERT_EQ(std::remove(TConfigSistemaQOR::SettingsFileName().c_str()), 0);
    EXPECT_EQ(TConfigSistemaQOR::GetCodLogica(), 0);
}

// The branch taken from the server identification record, on the test server.
class ServerBranchTest : public SettingsFileTest {
protected:
    void SetUp() override {
        SettingsFileTest::SetUp();
        db_.Exec(test::kCreateIdentificacaoServidor);
        dir_.Write("connection.conf", test::ConnectionConfFor(test::TestServer().host, db_.Name()));
    }
    size_t IdentificationSessions() { return db_.OtherSessions().size(); }

    test::TScratchDatabase db_;
};

TEST_F(ServerBranchTest, RecordDecidesUnlessUsaFisLogicaIsExactlyOne) {
    db_.Exec("INSERT INTO identificacao_servidor VALUES (37, '123', 'M', '2024-01-02 03:04:05', 'h')");
    for (const char* entries : {"usa_fislogica=0\r\nCodLogica=12\r\n", "CodLogica=12\r\n",
                                "usa_fislogica=01\r\nCodLogica=12\r\n", "usa_fislogica=true\r\nCodLogica=12\r\n",
                                "usa_fislogica=2\r\nCodLogica=12\r\n", "usa_fislogica=\"1 \"\r\nCodLogica=12\r\n"}) {
        SCOPED_TRACE(entries);
        WriteSettings(FilialMatriz(entries));
        EXPECT_EQ(TConfigSistemaQOR::GetCodLogica(), 12);
        EXPECT_EQ(TConfigSistemaQOR::GetFilialId(), "37");
        EXPECT_EQ(TConfigSistemaQOR::GetLojasLeram(), "#");
    }
    // Loaded once for the whole process: one identification session, whatever the calls.
    EXPECT_EQ(IdentificationSessions(), 1u);

    // No section at all: the record still answers; the logical branch is 0.
    WriteSettings("[ip]\r\nlocal=127.0.0.1\r\n");
    EXPECT_EQ(TConfigSistemaQOR::GetCodLogica(), 0);
    EXPECT_EQ(TConfigSistemaQOR::GetLojasLeram(), "#");
}

TEST_F(ServerBranchTest, UsaFisLogicaOneOpensNoIdentificationConnection) {
    db_.Exec("INSERT INTO identificacao_servidor VALUES (37, '123', 'M', NULL, 'h')");
    WriteSettings(FilialMatriz("usa_fislogica=1\r\nCodLogica=12\r\n"));
    EXPECT_EQ(TConfigSistemaQOR::GetFilialId(), "12");
    EXPECT_EQ(TConfigSistemaQOR::GetLojasLeram(), "C");
    EXPECT_EQ(IdentificationSessions(), 0u);
}

TEST_F(ServerBranchTest, LoadFailurePassesThroughUnchanged) {
    WriteSettings(FilialMatriz("usa_fislogica=0\r\nCodLogica=12\r\n"));
    const std::string message =
        "Falha ao carregar dados de identifica\xE7\xE3o do servidor.\r\nMotivo: "
        "N\xE3o foi poss\xEDvel encontrar a identifica\xE7\xE3o do servidor.";
    EXPECT_TRUE(ThrowsExactly<Exception>([] { TConfigSistemaQOR::GetFilialId(); }, message));
    EXPECT_TRUE(ThrowsExactly<Exception>([] { TConfigSistemaQOR::GetLojasLeram(); }, message));
    EXPECT_EQ(TConfigSistemaQOR::GetCodLogica(), 12);
}

}  // namespace
}  // namespace tarvik
