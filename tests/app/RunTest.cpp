// The start button's run, end to end: the real window, offscreen, against the test server.
// What reaches the server is read back from its general log, statement by statement.
#include "app/qt/Gauge.h"
#include "app/qt/RadioGroup.h"
#include "app/qt/Utarvik.h"
#include "run/GenerationRun.h"
#include "run/RunLock.h"
#include "tests/app/ProgramFixture.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace tarvik {
namespace {

using test::TRow;
using test::Texts;

// One product as the run should meet it: its number, and the INSERT it should cause ("" when
// its row is there).
struct TProduct {
    int id;
    std::string insert;
};

// The second target table has an auto-increment key, so its insert also asks for the new id.
class RunFixture : public test::TProgramFixture {
protected:
    RunFixture()
        : TProgramFixture({"CREATE TABLE produto (produto_id INT NOT NULL PRIMARY KEY,"
                           " descricao VARCHAR(40) NOT NULL DEFAULT '')",
                           test::kCreateEstoqueMinimo,
                           "CREATE TABLE estoque_minimo2 (id INT NOT NULL AUTO_INCREMENT PRIMARY KEY,"
                           " produto_id INT NOT NULL, filial_id INT NOT NULL, lojas_leram CHAR(1) NOT NULL)",
                           test::kCreateIdentificacaoServidor,
                           "INSERT INTO identificacao_servidor"
                           " VALUES (12, '12.345.678/0012-90', 'FILIAL', '2024-05-06 07:08:09', 'h')"}) {}

    // LF line ends here; the fault tests write CR LF, so the reader meets both.
    void WriteSettings(const std::string& usaFisLogica, const std::string& codLogica,
                       const std::string& password = test::TestServer().password) {
        const Texts lines = test::SettingsLines("127.0.0.1", db_.Name(), usaFisLogica, codLogica, password);
        dir_.Write("sistema_qor.ini", test::JoinLines(lines, "\n"));
    }

    void AddProducts(const std::vector<int>& ids) {
        for (const int id : ids) db_.Exec("INSERT INTO produto (produto_id) VALUES (" + std::to_string(id) + ")");
    }

    // Sessions the program opened on the test database.
    size_t ProgramSessions() { return db_.OtherSessions().size(); }

    // The main connection's session: the one that asked for the run lock first, or for
    // produto's layout when the run was started without its lock.
    unsigned long MainSession() {
        for (const unsigned long id : db_.SessionsOnThisDatabase()) {
            const Texts statements = db_.Statements(id);
            if (!statements.empty() && (statements[0].rfind("SELECT GET_LOCK(", 0) == 0 ||
                                        statements[0] == "SHOW COLUMNS FROM produto"))
                return id;
        }
        ADD_FAILURE() << "no session of the main connection";
        return 0;
    }

    // What one run sends over the main link, by the statement table of the run, between taking
    // the run lock and giving it back (also after an error).
    Texts RunLog(const std::string& table, int32_t branch, const std::vector<TProduct>& products,
                 bool autoIncrement = false) {
        const std::string lock = "'" + RunLockName(db_.Name(), table, branch) + "'";
        Texts log = {"SELECT GET_LOCK(" + lock + ", 0)", "SHOW COLUMNS FROM produto", "SHOW INDEX FROM produto", "Select produto_id from produto",
                     "SHOW COLUMNS FROM " + table, "SHOW INDEX FROM " + table,
                     "Select * from " + table + " where produto_id = 0"};
        for (const TProduct& p : products) {
            log.push_back("SHOW COLUMNS FROM " + table);
            log.push_back("SHOW INDEX FROM " + table);
            log.push_back("Select * from " + table + " where produto_id = " + std::to_string(p.id) +
                          " and filial_id = " + std::to_string(branch));
            if (!p.insert.empty()) {
                log.push_back(p.insert);
                if (autoIncrement) log.push_back("SELECT LAST_INSERT_ID()");
            }
        }
        log.push_back("SELECT RELEASE_LOCK(" + lock + ")");
        return log;
    }

    std::vector<TRow> Rows(const std::string& table) {
        return db_.Query("SELECT produto_id, filial_id, lojas_leram FROM " + table +
                         " ORDER BY produto_id, filial_id, lojas_leram");
    }

    static TRow Row(int product, int branch, const std::string& code) {
        return {std::to_string(product), std::to_string(branch), code};
    }

};

std::string Insert(int product, int branch, const std::string& code) {
    return "INSERT INTO estoque_minimo (produto_id, filial_id, lojas_leram) VALUES (" + std::to_string(product) +
           ", " + std::to_string(branch) + ", '" + code + "')";
}

using RunTest = RunFixture;

// Present, missing, present for another branch only, present twice; the branch number is the
// logical one, the store code that of the server's own branch (12, "C").
TEST_F(RunTest, InsertsExactlyTheMissingRowsAndSendsTheStatementTable) {
    WriteSettings("0", "3");
    AddProducts({10, 20, 30, 40, 50});
    db_.Exec("INSERT INTO estoque_minimo VALUES (10, 3, 'x'), (30, 5, '5'), (40, 3, 'a'), (40, 3, 'b')");

    TForm1& form = OpenWindow();
    Click();

    EXPECT_EQ(boxes_.Texts(TBoxKind::Error), Texts{});
    EXPECT_EQ(boxes_.Texts(TBoxKind::Information), Texts{"Processamento Concluido!"});
    EXPECT_EQ(Rows("estoque_minimo"),
              (std::vector<TRow>{Row(10, 3, "x"), Row(20, 3, "C"), Row(30, 3, "C"), Row(30, 5, "5"),
                                 Row(40, 3, "a"), Row(40, 3, "b"), Row(50, 3, "C")}));
    EXPECT_EQ(db_.Statements(MainSession()),
              RunLog("estoque_minimo", 3,
                     {{10, ""}, {20, Insert(20, 3, "C")}, {30, Insert(30, 3, "C")}, {40, ""},
                      {50, Insert(50, 3, "C")}}));
    EXPECT_EQ(ProgramSessions(), 2u) << "the main link and the identification connection";

    EXPECT_TRUE(form.Button1->isEnabled());
    EXPECT_EQ(form.Gauge1->MaxValue(), 5);
    EXPECT_EQ(form.Gauge1->Progress(), 5);
    EXPECT_FALSE(form.Components.QProdutos().Active());
    EXPECT_FALSE(form.Components.QInclui().Active());
    EXPECT_FALSE(form.Components.QTemp().Active());
    EXPECT_TRUE(form.Components.Conexao().Connected()) << "the link stays open after the run";
}

// The second item writes to estoque_minimo2 throughout; with usa_fislogica "1" the store code
// comes from CodLogica and no identification connection is ever opened.
TEST_F(RunTest, SecondItemUsesTheSecondTableAndLogicalBranchNeedsNoIdentification) {
    WriteSettings("1", "12");
    AddProducts({10, 20});
    db_.Exec("INSERT INTO estoque_minimo2 (produto_id, filial_id, lojas_leram) VALUES (10, 12, 'q')");

    TForm1& form = OpenWindow();
    form.RadioGroup1->SetItemIndex(1);
    Click();

    EXPECT_EQ(boxes_.Texts(TBoxKind::Error), Texts{});
    EXPECT_EQ(Rows("estoque_minimo2"), (std::vector<TRow>{Row(10, 12, "q"), Row(20, 12, "C")}));
    EXPECT_EQ(Rows("estoque_minimo"), std::vector<TRow>{});
    EXPECT_EQ(db_.Statements(MainSession()),
              RunLog("estoque_minimo2", 12,
                     {{10, ""},
                      {20, "INSERT INTO estoque_minimo2 (id, produto_id, filial_id, lojas_leram) "
                           "VALUES (NULL, 20, 12, 'C')"}},
                     true));
    EXPECT_EQ(ProgramSessions(), 1u) << "no identification connection";
}

// The probe takes the first reading of the branch number, the inserted row a second one.
TEST_F(RunTest, ProbeAndInsertEachReadTheBranchNumberAfresh) {
    WriteSettings("1", "3");
    AddProducts({10, 20});
    TForm1& form = OpenWindow();

    struct TView : TRunView {
        int32_t max = 0, progress = 0;
        bool enabled = true;
        Texts told;
        void SetStartEnabled(bool e) override { enabled = e; }
        void SetGaugeMaximum(int32_t m) override { max = m; }
        int32_t GaugeProgress() const override { return progress; }
        void SetGaugeProgress(int32_t p) override { progress = p; }
        void Inform(const std::string& text) override { told.push_back(text); }
        void RowPosted() override { ++posted; }
        int posted = 0;
    } view;
    int32_t next = 3;
    const TBranchIdentity counting{[&next] { return next++; }, [] { return std::string("Z"); }};
    RunGeneration(view, "estoque_minimo", form.Components.QProdutos(), form.Components.QTemp(), form.Components.QInclui(), counting);

    EXPECT_EQ(Rows("estoque_minimo"), (std::vector<TRow>{Row(10, 4, "Z"), Row(20, 6, "Z")}));
    EXPECT_EQ(db_.Statements(MainSession()),
              (Texts{"SHOW COLUMNS FROM produto", "SHOW INDEX FROM produto", "Select produto_id from produto",
                          "SHOW COLUMNS FROM estoque_minimo", "SHOW INDEX FROM estoque_minimo",
                          "Select * from estoque_minimo where produto_id = 0",
                          "SHOW COLUMNS FROM estoque_minimo", "SHOW INDEX FROM estoque_minimo",
                          "Select * from estoque_minimo where produto_id = 10 and filial_id = 3", Insert(10, 4, "Z"),
                          "SHOW COLUMNS FROM estoque_minimo", "SHOW INDEX FROM estoque_minimo",
                          "Select * from estoque_minimo where produto_id = 20 and filial_id = 5", Insert(20, 6, "Z")}));
    EXPECT_EQ(view.max, 2);
    EXPECT_EQ(view.progress, 2);
    EXPECT_EQ(view.posted, 2);
    EXPECT_EQ(view.told, Texts{"Processamento Concluido!"});
    EXPECT_TRUE(view.enabled);
}

struct TStoreCodeFailure {
    const char* name;
    std::string usaFisLogica;
    std::string codLogica;
    int32_t branch;
    bool emptyIdentification;
    std::string box;
};

void PrintTo(const TStoreCodeFailure& c, std::ostream* os) { *os << c.name; }

class RunStoreCodeFailureTest : public RunFixture, public testing::WithParamInterface<TStoreCodeFailure> {};

// The products whose row exists go through; the first missing one stops the run before
// anything is posted for it.
TEST_P(RunStoreCodeFailureTest, StopsAtTheFirstMissingRow) {
    const TStoreCodeFailure& c = GetParam();
    WriteSettings(c.usaFisLogica, c.codLogica);
    if (c.emptyIdentification) db_.Exec("DELETE FROM identificacao_servidor");
    AddProducts({10, 20, 30, 40});
    const std::string b = std::to_string(c.branch);
    db_.Exec("INSERT INTO estoque_minimo VALUES (10, " + b + ", 'x'), (20, " + b + ", 'x')");

    TForm1& form = OpenWindow();
    Click();

    EXPECT_EQ(boxes_.Texts(TBoxKind::Error), Texts{c.box});
    EXPECT_EQ(boxes_.Texts(TBoxKind::Information), Texts{});
    EXPECT_EQ(Rows("estoque_minimo"), (std::vector<TRow>{Row(10, c.branch, "x"), Row(20, c.branch, "x")}));
    EXPECT_EQ(db_.Statements(MainSession()), RunLog("estoque_minimo", c.branch, {{10, ""}, {20, ""}, {30, ""}}));
    EXPECT_FALSE(form.Button1->isEnabled());
    EXPECT_EQ(form.Gauge1->Progress(), 2);
    EXPECT_EQ(form.Gauge1->PercentDone(), 50);
    EXPECT_TRUE(form.Components.QProdutos().Active());
    EXPECT_TRUE(form.Components.QTemp().Active());
    EXPECT_EQ(form.Components.QInclui().State(), TQueryState::Inserting);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, RunStoreCodeFailureTest,
    testing::Values(
        TStoreCodeFailure{"BranchWithoutCode", "1", "80", 80, false,
                          "O filial_id 80 n\xE3o pode ser convertido para um \"lojas_leram\" v\xE1lido."},
        TStoreCodeFailure{"NoIdentificationRecord", "0", "3", 3, true,
                          "Falha ao carregar dados de identifica\xE7\xE3o do servidor.\r\nMotivo: "
                          "N\xE3o foi poss\xEDvel encontrar a identifica\xE7\xE3o do servidor."}),
    [](const testing::TestParamInfo<TStoreCodeFailure>& info) { return info.param.name; });

// The third insert is refused: the first two stay, the gauge shows 100 * 2 / 4, and the
// button stays disabled for good.
TEST_F(RunTest, ARefusedInsertKeepsEarlierRowsAndDisablesTheButton) {
    WriteSettings("1", "3");
    db_.Exec("ALTER TABLE estoque_minimo ADD UNIQUE KEY so_um (produto_id)");
    db_.Exec("INSERT INTO estoque_minimo VALUES (30, 5, '5')");
    AddProducts({10, 20, 30, 40});

    TForm1& form = OpenWindow();
    Click();

    EXPECT_EQ(boxes_.Texts(TBoxKind::Error), Texts{"QInclui: Duplicate entry '30' for key 'so_um'"});
    EXPECT_EQ(boxes_.Texts(TBoxKind::Information), Texts{});
    EXPECT_EQ(Rows("estoque_minimo"), (std::vector<TRow>{Row(10, 3, "3"), Row(20, 3, "3"), Row(30, 5, "5")}));
    EXPECT_EQ(form.Gauge1->PercentDone(), 50);
    EXPECT_FALSE(form.Button1->isEnabled());
    EXPECT_EQ(form.Components.QInclui().State(), TQueryState::Inserting);

    // A click on the disabled button starts nothing.
    const size_t sent = db_.Statements(MainSession()).size();
    Click();
    EXPECT_EQ(db_.Statements(MainSession()).size(), sent);
    EXPECT_EQ(boxes_.Shown().size(), 1u);
}

// Between products the window answers the desktop (a timer set before the run fires while it
// works), but takes no input: a key posted to the button meanwhile is dropped, not kept for
// after the run, where it would start another; and a request to close the window is refused.
TEST_F(RunTest, DuringARunTheWindowAnswersButTakesNoInputAndStaysOpen) {
    WriteSettings("1", "3");
    db_.Exec("INSERT INTO produto (produto_id) SELECT seq FROM seq_1_to_300");
    db_.Exec("INSERT INTO estoque_minimo SELECT seq, 3, 'x' FROM seq_1_to_300");
    TForm1& form = OpenWindow();
    int32_t progressSeen = -1;
    bool closed = true;
    QTimer::singleShot(0, &form, [&] {
        progressSeen = form.Gauge1->Progress();
        QCoreApplication::postEvent(form.Button1, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
        QCoreApplication::postEvent(form.Button1, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier));
        // Delivered now, while the run is in progress: left queued, they could wait for the
        // window's next look at its queue, which a fast run may never take before it ends.
        QCoreApplication::sendPostedEvents(form.Button1);
        closed = form.close();
    });
    Click();
    QCoreApplication::processEvents();

    EXPECT_GT(progressSeen, 0) << "the timer did not fire during the run";
    EXPECT_LT(progressSeen, 300) << "the timer did not fire during the run";
    EXPECT_FALSE(closed);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(boxes_.Texts(TBoxKind::Information), Texts{"Processamento Concluido!"}) << "one run only";
    EXPECT_EQ(db_.Statements(MainSession()).size(), 2u + 6u + 3u * 300u) << "the run lock's two, and one run";
}

// Enter presses the button that has the focus, as in a dialog, and after the run the focus is
// on the button again (the run disables it meanwhile, which moves the focus away).
TEST_F(RunTest, EnterOnTheFocusedButtonRunsAndTheFocusComesBack) {
    WriteSettings("1", "3");
    AddProducts({10, 20});
    TForm1& form = OpenWindow();
    form.activateWindow();
    form.Button1->setFocus();
    QTest::keyClick(form.Button1, Qt::Key_Return);

    EXPECT_EQ(boxes_.Texts(TBoxKind::Information), Texts{"Processamento Concluido!"});
    EXPECT_EQ(Rows("estoque_minimo"), (std::vector<TRow>{Row(10, 3, "3"), Row(20, 3, "3")}));
    EXPECT_EQ(form.focusWidget(), form.Button1);
}

// A product number beyond the 32-bit range stops the run with a conversion error at that
// product; it is never probed or inserted as product 0.
TEST_F(RunTest, AProductNumberBeyondThirtyTwoBitsStopsTheRunInsteadOfWritingProductZero) {
    WriteSettings("1", "3");
    db_.Exec("ALTER TABLE produto MODIFY produto_id INT UNSIGNED NOT NULL");
    AddProducts({10});
    db_.Exec("INSERT INTO produto (produto_id) VALUES (3000000000)");

    TForm1& form = OpenWindow();
    Click();

    EXPECT_EQ(boxes_.Texts(TBoxKind::Error), Texts{"'3000000000' is not a valid integer value."});
    EXPECT_EQ(Rows("estoque_minimo"), (std::vector<TRow>{Row(10, 3, "3")}));
    const Texts sent = db_.Statements(MainSession());
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[sent.size() - 2], "Select * from estoque_minimo where produto_id = 3000000000 and filial_id = 3");
    EXPECT_EQ(sent.back(), "SELECT RELEASE_LOCK('" + RunLockName(db_.Name(), "estoque_minimo", 3) + "')");
    EXPECT_FALSE(form.Button1->isEnabled());
}

TEST_F(RunTest, EmptyProductTableStillOpensAndClosesTheInsertQuery) {
    WriteSettings("0", "3");
    TForm1& form = OpenWindow();
    Click();

    EXPECT_EQ(boxes_.Texts(TBoxKind::Information), Texts{"Processamento Concluido!"});
    EXPECT_EQ(db_.Statements(MainSession()), RunLog("estoque_minimo", 3, {}));
    EXPECT_EQ(form.Gauge1->MaxValue(), 0);
    EXPECT_EQ(form.Gauge1->PercentDone(), 0);
    EXPECT_FALSE(form.Components.QInclui().Active());
    EXPECT_TRUE(form.Button1->isEnabled());
}

TEST_F(RunTest, FailedConnectionAtTheFirstRun) {
    WriteSettings("0", "3", "not-the-password");
    TForm1& form = OpenWindow();
    Click();

    EXPECT_EQ(boxes_.Texts(TBoxKind::Error),
              Texts{"Access denied for user '" + test::TestServer().user + "'@'127.0.0.1' (using password: YES)"});
    EXPECT_EQ(boxes_.Texts(TBoxKind::Information), Texts{});
    EXPECT_FALSE(form.Components.QProdutos().Active());
    EXPECT_FALSE(form.Components.QInclui().Active());
    EXPECT_FALSE(form.Components.Conexao().Connected());
    EXPECT_FALSE(form.Button1->isEnabled());
    EXPECT_EQ(form.Gauge1->MaxValue(), 100);
    EXPECT_EQ(form.Gauge1->Progress(), 0);
}

// What the gauge shows in a second run, which starts from where the first one ended.
struct TSecondRun {
    const char* name;
    int products;
    std::vector<int> shown;  // the percentages painted during the second run
    int finalPercent;
};

void PrintTo(const TSecondRun& c, std::ostream* os) { *os << c.name; }

class RunAgainTest : public RunFixture, public testing::WithParamInterface<TSecondRun> {
protected:
    struct TPaintLog : QObject {
        TGauge* gauge = nullptr;
        std::vector<int> shown;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) shown.push_back(gauge->PercentDone());
            return false;
        }
    };

    std::vector<int> ClickAndWatchGauge() {
        TPaintLog log;
        log.gauge = form_->Gauge1;
        form_->Gauge1->installEventFilter(&log);
        Click();
        form_->Gauge1->removeEventFilter(&log);
        return log.shown;
    }
};

TEST_P(RunAgainTest, GaugeIsNotResetBetweenRuns) {
    const TSecondRun& c = GetParam();
    WriteSettings("1", "3");
    AddProducts({1, 2, 3, 4});
    OpenWindow();
    EXPECT_EQ(ClickAndWatchGauge(), (std::vector<int>{0, 25, 50, 75, 100}));

    db_.Exec("DELETE FROM produto");
    std::vector<int> ids;
    for (int i = 1; i <= c.products; ++i) ids.push_back(i);
    AddProducts(ids);
    EXPECT_EQ(ClickAndWatchGauge(), c.shown);

    EXPECT_EQ(form_->Gauge1->PercentDone(), c.finalPercent);
    EXPECT_EQ(boxes_.Texts(TBoxKind::Information), Texts(2, "Processamento Concluido!"));
    EXPECT_EQ(Rows("estoque_minimo").size(), static_cast<size_t>(std::max(4, c.products)));
    // One main session for both runs.
    EXPECT_EQ(ProgramSessions(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Counts, RunAgainTest,
                         testing::Values(TSecondRun{"Same", 4, {}, 100}, TSecondRun{"Fewer", 2, {100}, 100},
                                         TSecondRun{"None", 0, {0}, 0},
                                         TSecondRun{"More", 8, {50, 62, 75, 87, 100}, 100}),
                         [](const testing::TestParamInfo<TSecondRun>& info) { return info.param.name; });

}  // namespace
}  // namespace tarvik
