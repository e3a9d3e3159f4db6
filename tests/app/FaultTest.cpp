// Faults from outside, end to end: a server that dies in the middle of a run, connections and
// tables that are not what the run needs, and settings files that are hostile. Each time the
// user is told the right thing, and nothing already in the database is lost.
#include "app/qt/Gauge.h"
#include "app/qt/Utarvik.h"
#include "identification/UConnectionInfoClass.h"
#include "platform/ExecutablePath.h"
#include "platform/HostLookup.h"
#include "settings/PasswordCipher.h"
#include "settings/UConfigSistemaQOR.h"
#include "tests/app/ProgramFixture.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ClientErrors.h"
#include "tests/support/ConnectionConf.h"
#include "tests/support/FakeResolvers.h"
#include "tests/support/KilledServerScene.h"
#include "tests/support/PrivateServer.h"
#include "tests/support/ScopedWorkingDirectory.h"

#include <fcntl.h>
#include <mysql.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QPushButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <thread>

namespace tarvik {
namespace {

using test::ConnectionConfFor;
using test::JoinLines;
using test::SettingsLines;
using test::TBoxRecorder;
using test::TRow;
using test::Texts;
using Rows = std::vector<TRow>;

// Nothing listens there: the whole 127/8 is loopback, and only 127.0.0.1 and the private
// servers' 127.77.x.y serve.
const std::string kClosedAddress = "127.255.255.254";
const std::string kDefaultPassword = CipherText("D", "8E52B07C19F3A64D0B7E", "WUX");

// Nothing in it may make the program wait: when the FIFO still has a reader after a few
// seconds, that reader is blocked in open(), and this lets it go so the test can fail
// instead of hang.
class TFifoWatch {
public:
    explicit TFifoWatch(std::string path) : path_(std::move(path)) {
        if (::mkfifo(path_.c_str(), 0644) != 0) throw std::runtime_error("cannot make a FIFO at " + path_);
        thread_ = std::thread([this] {
            for (int i = 0; i < 300 && !stop_; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
            while (!stop_) {
                const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    blockedReader_ = true;
                    ::close(fd);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
    }
    ~TFifoWatch() {
        stop_ = true;
        thread_.join();
    }
    bool HadBlockedReader() const { return blockedReader_; }

private:
    std::string path_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> blockedReader_{false};
    std::thread thread_;
};

// The client library's own text for a refused connection to port 3306 of `host`.
std::string ClientConnectError(const std::string& host) { return test::ClientConnectError(host, 3306, "root", "", ""); }

// Three products, the first of which already has its row for branch 3.
class FaultFixture : public test::TProgramFixture {
protected:
    FaultFixture()
        : TProgramFixture({"CREATE TABLE produto (produto_id INT NOT NULL PRIMARY KEY)", test::kCreateEstoqueMinimo,
                           test::kCreateIdentificacaoServidor,
                           "INSERT INTO identificacao_servidor VALUES (12, '12.345.678/0012-90', 'FILIAL', NULL, 'h')",
                           "INSERT INTO produto VALUES (10), (20), (30)",
                           "INSERT INTO estoque_minimo VALUES (10, 3, 'x')"}) {}

    // Every table of the scratch database with all its rows.
    std::map<std::string, Rows> Snapshot() {
        std::map<std::string, Rows> tables;
        for (const TRow& table : db_.Query("SHOW TABLES")) {
            Rows rows = db_.Query("SELECT * FROM " + *table[0]);
            std::sort(rows.begin(), rows.end());
            tables[*table[0]] = std::move(rows);
        }
        return tables;
    }

    Rows EstoqueMinimo() { return db_.Query("SELECT * FROM estoque_minimo ORDER BY 1, 2, 3"); }
};

// ---------------------------------------------------------------------------------------------
// The server dies in the middle of a run.

std::string RunDriver(const std::vector<std::string>& args, const std::string& output, int& status) {
    test::TSpawnOptions options;
    options.output = output;
    // The driver shows the window too: headless also when this test program was started by hand.
    options.environment = {"QT_QPA_PLATFORM=offscreen"};
    status = test::TChildProcess(args, options).WaitStatus();
    return test::ReadWholeFile(output);
}

// The program's whole life in a process of its own, against a server of the test's own that
// is killed once half the products are done.
TEST(ServerDiesMidRun, ErrorBoxShowsTheClientText_RowsBeforeStayComplete_ProgramExitsWithZero) {
    test::TKilledServerScene scene(10);
    scene.Server().Exec("INSERT INTO loja.estoque_minimo VALUES (3, 3, 'x', 'antiga'), (7, 3, 'x', 'antiga')");
    test::TTempDir dir;
    dir.Write("sistema_qor.ini", JoinLines(SettingsLines(scene.Address().host, "loja"), "\r\n"));

    int status = 0;
    const std::string boxes = RunDriver({TARVIK_RUN_DRIVER, dir.Path(), std::to_string(scene.Server().Pid()), "50"},
                                        dir.File("boxes.txt"), status);

    ASSERT_TRUE(WIFEXITED(status)) << "the program did not end by itself (signal " << WTERMSIG(status) << ")";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // The layout statements of product 6's probe are the first to meet the dead server; they
    // fail unreported, and the probe itself then finds the link gone. The box adds its full stop.
    // "Server has gone away" is the client library's text for CR_SERVER_GONE_ERROR.
    EXPECT_EQ(boxes, "error\tServer has gone away.\n");

    EXPECT_EQ(scene.AfterRestart("SELECT produto_id, filial_id, lojas_leram, observacao FROM loja.estoque_minimo"
                                 " ORDER BY produto_id"),
              (Rows{{"1", "3", "3", "nova"},
                    {"2", "3", "3", "nova"},
                    {"3", "3", "x", "antiga"},
                    {"4", "3", "3", "nova"},
                    {"5", "3", "3", "nova"},
                    {"7", "3", "x", "antiga"}}));
    EXPECT_EQ(scene.Server().Query("SELECT COUNT(*) FROM loja.produto"), (Rows{{"10"}}));
}

// ---------------------------------------------------------------------------------------------
// A server that cannot describe the target table: its tmpdir is gone, so SHOW COLUMNS (which
// needs an on-disk temporary table) fails while SHOW INDEX and the plain SELECTs still work.
// The columns have defaults, so a post that dropped the fields it could not place would be
// taken by the server as a row of defaults.

TEST(ServerCannotDescribeTheTable, RunStopsBeforeTheFirstInsertAndWritesNoRowOfDefaults) {
    test::TPrivateServer server;
    server.Exec(
        "CREATE DATABASE loja CHARACTER SET latin1;"
        "CREATE TABLE loja.produto (produto_id INT NOT NULL PRIMARY KEY);"
        "CREATE TABLE loja.estoque_minimo (produto_id INT NOT NULL DEFAULT 0, filial_id INT NOT NULL DEFAULT 0,"
        " lojas_leram CHAR(1) NOT NULL DEFAULT '');"
        "INSERT INTO loja.produto VALUES (1), (2), (3);"
        "INSERT INTO loja.estoque_minimo VALUES (1, 3, 'x')");
    test::TTempDir dir;
    dir.Write("sistema_qor.ini", JoinLines(SettingsLines(server.Address().host, "loja"), "\r\n"));
    SetExecutableDirectoryOverride(dir.Path());
    TBoxRecorder boxes;
    {
        TForm1 form;
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        std::filesystem::remove_all(server.TmpDir());
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        EXPECT_FALSE(form.Button1->isEnabled());
    }
    SetExecutableDirectoryOverride("");

    EXPECT_EQ(boxes.Texts(TBoxKind::Error),
              Texts{"QInclui: Field 'produto_id' cannot be inserted: the server did not describe a column for it in"
                    " table 'estoque_minimo'"});
    EXPECT_EQ(boxes.Texts(TBoxKind::Information), Texts{});
    EXPECT_EQ(server.Query("SELECT produto_id, filial_id, lojas_leram FROM loja.estoque_minimo"),
              (Rows{{"1", "3", "x"}}));
}

// ---------------------------------------------------------------------------------------------
// The run meets a server, a table or an identification connection it cannot work with.

struct TRunFault {
    const char* name;
    std::string host;                // the main connection's
    std::string usaFisLogica;
    std::string identificationHost;  // DatabaseIP of connection.conf
    std::string identificationPassword;
    std::vector<std::string> setup;  // run on the scratch database before the window opens
    // "%DB%" stands for the scratch database's name, "%REFUSED%" for the client library's
    // text for a connection to kClosedAddress.
    std::string box;
};

void PrintTo(const TRunFault& c, std::ostream* os) { *os << c.name; }

class RunFaultTest : public FaultFixture, public testing::WithParamInterface<TRunFault> {};

TEST_P(RunFaultTest, ShowsTheRightMessageAndLosesNothing) {
    const TRunFault& c = GetParam();
    ASSERT_EQ(ClientConnectError(kClosedAddress).rfind("Can't connect", 0), 0u) << "something listens there";
    for (const std::string& sql : c.setup) db_.Exec(sql);
    dir_.Write("sistema_qor.ini", JoinLines(SettingsLines(c.host, db_.Name(), c.usaFisLogica), "\r\n"));
    dir_.Write("connection.conf", ConnectionConfFor(c.identificationHost, db_.Name(), c.identificationPassword));
    const std::map<std::string, Rows> before = Snapshot();

    TForm1& form = OpenWindowAndClick();

    std::string box = c.box;
    if (const size_t at = box.find("%DB%"); at != std::string::npos) box.replace(at, 4, db_.Name());
    if (const size_t at = box.find("%REFUSED%"); at != std::string::npos)
        box.replace(at, 9, ClientConnectError(kClosedAddress));
    EXPECT_EQ(boxes_.Texts(TBoxKind::Error), Texts{box});
    EXPECT_EQ(boxes_.Texts(TBoxKind::Information), Texts{});
    EXPECT_EQ(Snapshot(), before);
    EXPECT_FALSE(form.Button1->isEnabled());
}

const std::string kIdentificationFailure = "Falha ao carregar dados de identifica\xE7\xE3o do servidor.\r\nMotivo: ";
const std::string& kPw = test::TestServer().password;

INSTANTIATE_TEST_SUITE_P(
    Causes, RunFaultTest,
    testing::Values(
        TRunFault{"ServerUnreachable", kClosedAddress, "1", "127.0.0.1", kPw, {}, "%REFUSED%"},
        TRunFault{"MissingTargetTable", "127.0.0.1", "1", "127.0.0.1", kPw, {"DROP TABLE estoque_minimo"},
                  "Table '%DB%.estoque_minimo' doesn't exist."},
        TRunFault{"TargetWithoutLojasLeram", "127.0.0.1", "1", "127.0.0.1", kPw,
                  {"ALTER TABLE estoque_minimo DROP COLUMN lojas_leram"},
                  "QInclui: Field 'lojas_leram' not found."},
        // A column type the layer has no kind for is left out of the insert, so a NOT NULL one
        // without a default makes the server refuse the row.
        TRunFault{"NotNullColumnLeftOut", "127.0.0.1", "1", "127.0.0.1", kPw,
                  {"ALTER TABLE estoque_minimo ADD COLUMN marca VARBINARY(8) NOT NULL"},
                  "QInclui: Field 'marca' doesn't have a default value."},
        TRunFault{"UniqueKeyRefusesTheFirstInsert", "127.0.0.1", "1", "127.0.0.1", kPw,
                  {"ALTER TABLE estoque_minimo ADD UNIQUE KEY uma_por_loja (filial_id, lojas_leram)",
                   "INSERT INTO estoque_minimo VALUES (99, 3, '3')"},
                  "QInclui: Duplicate entry '3-3' for key 'uma_por_loja'"},
        TRunFault{"IdentificationWrongPassword", "127.0.0.1", "0", "127.0.0.1", "not-the-password", {},
                  kIdentificationFailure + "Access denied for user '" + test::TestServer().user +
                      "'@'127.0.0.1' (using password: YES)"},
        TRunFault{"IdentificationUnreachable", "127.0.0.1", "0", kClosedAddress, kPw, {},
                  kIdentificationFailure + "%REFUSED%"}),
    [](const testing::TestParamInfo<TRunFault>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------------
// Hostile settings files.

struct TSettingsShape {
    const char* name;
    std::function<std::string(const Texts&)> write;
};

void PrintTo(const TSettingsShape& c, std::ostream* os) { *os << c.name; }

// Bytes of every value, without line ends; lines start with 0xFF so that none opens a section.
std::string GarbageLines(unsigned seed, int lines) {
    std::mt19937 random(seed);
    std::string out;
    for (int l = 0; l < lines; ++l) {
        out += '\xFF';
        for (int i = 0; i < 200; ++i) {
            char c = static_cast<char>(random() & 0xFF);
            if (c == '\r' || c == '\n') c = '=';
            out += c;
        }
        out += "\r\n";
    }
    return out;
}

class SettingsShapeTest : public FaultFixture, public testing::WithParamInterface<TSettingsShape> {};

// However the file is shaped, the window and every reading of the branch find their values,
// and the run inserts exactly the missing rows.
TEST_P(SettingsShapeTest, RunStillFindsEveryValue) {
    dir_.Write("sistema_qor.ini", GetParam().write(SettingsLines("127.0.0.1", db_.Name())));

    OpenWindowAndClick();

    EXPECT_EQ(boxes_.Texts(TBoxKind::Error), Texts{});
    EXPECT_EQ(boxes_.Texts(TBoxKind::Information), Texts{"Processamento Concluido!"});
    EXPECT_EQ(EstoqueMinimo(), (Rows{{"10", "3", "x"}, {"20", "3", "3"}, {"30", "3", "3"}}));
}

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsShapeTest,
    testing::Values(
        TSettingsShape{"CrOnlyLineEnds", [](const Texts& l) { return JoinLines(l, "\r"); }},
        TSettingsShape{"LfOnlyLineEnds", [](const Texts& l) { return JoinLines(l, "\n"); }},
        TSettingsShape{"MegabyteLines",
                       [](const Texts& l) {
                           // One line of 1 MB before everything, one entry of 1 MB in each section.
                           const std::string mega(1 << 20, 'm');
                           return mega + "\r\n" + l[0] + "\r\nobs=" + mega + "\r\n" +
                                  JoinLines(Texts(l.begin() + 1, l.begin() + 5), "\r\n") + "obs=" + mega + "\r\n" +
                                  JoinLines(Texts(l.begin() + 5, l.end()), "\r\n");
                       }},
        TSettingsShape{"ValuesOf3000Characters",
                       [](const Texts& l) {
                           Texts lines = l;
                           lines.insert(lines.begin() + 5, "CodLogica_antiga=" + std::string(3000, '9'));
                           lines.insert(lines.begin() + 1, "local_antigo=" + std::string(3000, 'h'));
                           return JoinLines(lines, "\r\n");
                       }},
        TSettingsShape{"BinaryGarbageAroundTheEntries",
                       [](const Texts& l) {
                           std::string out = GarbageLines(1, 20) + std::string("\0\0\0\r\n", 5);
                           for (size_t i = 0; i < l.size(); ++i)
                               out += l[i] + "\r\n" + GarbageLines(static_cast<unsigned>(i + 2), 3);
                           return out;
                       }}),
    [](const testing::TestParamInfo<TSettingsShape>& info) { return info.param.name; });

using UnreadableSettingsTest = FaultFixture;

// A directory or a FIFO in the file's place reads as a missing file: the defaults, no message,
// and above all no wait for a writer that never comes.
TEST_F(UnreadableSettingsTest, DirectoryOrFifoGivesTheDefaults) {
    for (const bool fifo : {false, true}) {
        SCOPED_TRACE(fifo ? "FIFO" : "directory");
        const std::string path = dir_.File("sistema_qor.ini");
        std::unique_ptr<TFifoWatch> watch;
        if (fifo) {
            watch = std::make_unique<TFifoWatch>(path);
        } else {
            ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
        }

        TForm1 form;
        EXPECT_EQ(form.Components.Conexao().Host(), "");
        EXPECT_EQ(form.Components.Conexao().Database(), "merovan");
        EXPECT_EQ(form.Components.Conexao().Password(), kDefaultPassword);
        EXPECT_EQ(TConfigSistemaQOR::GetCodLogica(), 0);
        EXPECT_TRUE(boxes_.Shown().empty());
        if (watch) {
            EXPECT_FALSE(watch->HadBlockedReader());
            watch.reset();
            ::unlink(path.c_str());
        } else {
            ::rmdir(path.c_str());
        }
    }
}

TEST_F(UnreadableSettingsTest, FifoAsConnectionConfGivesEmptyValues) {
    ::unlink(dir_.File("connection.conf").c_str());
    TFifoWatch watch(dir_.File("connection.conf"));
    const TConnectionInfo& info = GetConnectionInfo();
    EXPECT_EQ(info.GetDatabaseIPAsStored(), "");
    EXPECT_EQ(info.GetUsuario(), "");
    EXPECT_FALSE(watch.HadBlockedReader());
}

// ---------------------------------------------------------------------------------------------
// "localhost" as the identification host, in a working directory that takes no "iphist.dat".

class HistoryFileTest : public FaultFixture, public testing::WithParamInterface<bool> {};

TEST_P(HistoryFileTest, RunStopsWithTheFileMessageBeforeConnecting) {
    const bool deletedDirectory = GetParam();
    SetHostResolverOverride(&test::ResolveToLoopback);
    dir_.Write("sistema_qor.ini", JoinLines(SettingsLines("127.0.0.1", db_.Name(), "0"), "\r\n"));
    dir_.Write("connection.conf", ConnectionConfFor("localhost", db_.Name()));
    const std::map<std::string, Rows> before = Snapshot();

    test::TTempDir working;
    std::string expected;
    {
        test::TScopedWorkingDirectory scoped(working.Path());
        if (deletedDirectory) {
            // The working directory is gone: its path cannot even be named any more.
            ASSERT_EQ(::rmdir(working.Path().c_str()), 0);
            expected = "Cannot create file \"iphist.dat\". " + std::string(std::strerror(ENOENT)) + ".";
        } else {
            ASSERT_EQ(::mkdir(working.File("iphist.dat").c_str(), 0755), 0);
            expected = "Cannot create file \"" + working.File("iphist.dat") + "\". " + std::strerror(EISDIR) + ".";
        }
        OpenWindowAndClick();
    }
    SetHostResolverOverride(nullptr);

    EXPECT_EQ(boxes_.Texts(TBoxKind::Error), Texts{kIdentificationFailure + expected});
    EXPECT_EQ(Snapshot(), before);
    // The main link only: the identification connection was never tried.
    EXPECT_EQ(db_.OtherSessions().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(WorkingDirectory, HistoryFileTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "Deleted" : "DirectoryInTheFilesPlace";
                         });

}  // namespace
}  // namespace tarvik
