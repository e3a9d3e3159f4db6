// The main window as it is created: its definition, and FormCreate's reading of section "ip".
#include "app/qt/Gauge.h"
#include "app/qt/RadioGroup.h"
#include "app/qt/Utarvik.h"
#include "platform/ExecutablePath.h"
#include "settings/util.h"
#include "tests/app/BoxHookRecorder.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QIcon>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace tarvik {
namespace {

using test::TBoxRecorder;

class FormFixture : public testing::Test {
protected:
    void SetUp() override { SetExecutableDirectoryOverride(dir_.Path()); }
    void TearDown() override { SetExecutableDirectoryOverride(""); }

    test::TTempDir dir_;
    TBoxRecorder boxes_;
};

using FormDefinitionTest = FormFixture;

TEST_F(FormDefinitionTest, ControlsStandWhereTheWindowDefinitionPutsThem) {
    TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    EXPECT_EQ(form.windowTitle(), "Tarvik");
    // No window manager here, so the outer frame is the client area.
    EXPECT_EQ(form.frameGeometry(), QRect(192, 107, 386, 152));
    EXPECT_EQ(form.font().family(), "MS Sans Serif");
    EXPECT_EQ(form.font().pixelSize(), 11);

    EXPECT_EQ(form.RadioGroup1->geometry(), QRect(8, 0, 361, 33));
    EXPECT_EQ(form.RadioGroup1->title(), "Gerar");
    ASSERT_EQ(form.RadioGroup1->Count(), 2);
    EXPECT_EQ(form.RadioGroup1->Item(0)->text(), "estoque_minimo");
    EXPECT_EQ(form.RadioGroup1->Item(1)->text(), "estoque_minimo2");
    EXPECT_EQ(form.RadioGroup1->ItemIndex(), 0);
    // Two columns: the items side by side.
    EXPECT_EQ(form.RadioGroup1->Item(0)->y(), form.RadioGroup1->Item(1)->y());
    EXPECT_LT(form.RadioGroup1->Item(0)->geometry().right(), form.RadioGroup1->Item(1)->x());

    EXPECT_EQ(form.Gauge1->geometry(), QRect(8, 40, 361, 41));
    EXPECT_EQ(form.Gauge1->MinValue(), 0);
    EXPECT_EQ(form.Gauge1->MaxValue(), 100);
    EXPECT_EQ(form.Gauge1->Progress(), 0);

    EXPECT_EQ(form.Button1->geometry(), QRect(144, 88, 75, 25));
    EXPECT_EQ(form.Button1->text(), "Iniciar");
    EXPECT_TRUE(form.Button1->isEnabled());
    // Tab order: the button first, then the group's items.
    QWidget* next = form.Button1->nextInFocusChain();
    while (next != form.Button1 && !(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
    EXPECT_EQ(next, form.RadioGroup1->Item(0));

    // Controls keep their place when the window is resized.
    form.resize(600, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.Gauge1->geometry(), QRect(8, 40, 361, 41));
    EXPECT_EQ(form.Button1->geometry(), QRect(144, 88, 75, 25));

    EXPECT_FALSE(form.Components.Conexao().Connected());
    EXPECT_FALSE(form.Components.QProdutos().Active());
    EXPECT_TRUE(form.Components.QInclui().RequestLive());
    EXPECT_FALSE(form.Components.QTemp().RequestLive());
    EXPECT_TRUE(boxes_.Shown().empty());
}

// The title bar and the task bar show the icon that the package installs for the desktop
// entry, not the toolkit's generic one.
TEST_F(FormDefinitionTest, TheWindowShowsTheProgramsIcon) {
    // Both through the same icon pipeline, so that only the source can differ.
    const QIcon packaged(QStringLiteral(TARVIK_PACKAGED_ICON));
    ASSERT_FALSE(packaged.isNull());
    TForm1 form;
    ASSERT_FALSE(form.windowIcon().isNull());
    for (const int size : {16, 48}) {
        const QImage shown = form.windowIcon().pixmap(size, size).toImage();
        EXPECT_EQ(shown.size(), QSize(size, size));
        EXPECT_TRUE(shown == packaged.pixmap(size, size).toImage()) << size << " pixels";
    }
}

using FormCreateTest = FormFixture;

TEST_F(FormCreateTest, NoSettingsFileGivesTheDefaultsWithoutAMessage) {
    TForm1 form;
    EXPECT_EQ(form.Components.Conexao().Host(), "");
    EXPECT_EQ(form.Components.Conexao().Database(), "merovan");
    EXPECT_EQ(form.Components.Conexao().Password(), CipherText("D", "8E52B07C19F3A64D0B7E", "WUX"));
    EXPECT_EQ(form.Components.Conexao().Port(), "3306");
    EXPECT_EQ(form.Components.Conexao().Login(), "root");
    EXPECT_FALSE(form.Components.Conexao().LoginPrompt());
    EXPECT_FALSE(form.Components.Conexao().Connected());
    EXPECT_TRUE(boxes_.Shown().empty());
}

struct TSettingsCase {
    const char* name;
    std::string ini;
    std::string host;
    std::string database;
    std::string password;
    std::string errorBox;  // empty: none
};

void PrintTo(const TSettingsCase& c, std::ostream* os) { *os << c.name; }

class FormCreateSettingsTest : public FormFixture, public testing::WithParamInterface<TSettingsCase> {};

TEST_P(FormCreateSettingsTest, ConfiguresTheConnectionFromSectionIp) {
    const TSettingsCase& c = GetParam();
    dir_.Write("sistema_qor.ini", c.ini);

    // The error box must come before the window is on the screen.
    std::vector<std::string> errors;
    bool windowVisibleAtBox = false;
    SetBoxHook([&](const TBoxShown& shown) {
        for (QWidget* w : QApplication::topLevelWidgets()) windowVisibleAtBox |= w->isVisible();
        EXPECT_EQ(shown.kind, TBoxKind::Error);
        errors.push_back(shown.text);
    });
    TForm1 form;
    SetBoxHook({});
    EXPECT_EQ(errors, c.errorBox.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.errorBox});
    EXPECT_FALSE(windowVisibleAtBox);

    EXPECT_EQ(form.Components.Conexao().Host(), c.host);
    EXPECT_EQ(form.Components.Conexao().Database(), c.database);
    EXPECT_EQ(form.Components.Conexao().Password(), c.password);
    EXPECT_FALSE(form.Components.Conexao().Connected());

    // After a failure the window still opens as defined.
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_TRUE(form.Button1->isEnabled());
    EXPECT_EQ(form.RadioGroup1->ItemIndex(), 0);
}

std::vector<TSettingsCase> SettingsCases() {
    const std::string cut(255, 'h');
    const std::string longSenha = CipherText("E", std::string(300, 'p'), "WUX");
    return {
        {"Good", "[ip]\nlocal=10.0.0.7\ndatabase=loja\nsenha=" + CipherText("E", "segredo", "WUX") + "\n",
         "10.0.0.7", "loja", "segredo", ""},
        {"CaseAndBlanks", "[IP]\r\n  LOCAL = 127.0.0.1 \r\nDataBase=\"loja 2\"\r\n", "127.0.0.1", "loja 2",
         CipherText("D", "8E52B07C19F3A64D0B7E", "WUX"), ""},
        {"EmptyLocalStaysEmpty", "[ip]\nlocal=\n", "", "merovan", CipherText("D", "8E52B07C19F3A64D0B7E", "WUX"), ""},
        {"LongValuesCutTo255", "[ip]\nlocal=" + std::string(300, 'h') + "\ndatabase=" + std::string(256, 'd') +
                                   "\nsenha=" + longSenha + "\n",
         cut, std::string(255, 'd'), std::string(255, 'p'), ""},
        {"MalformedSenha", "[ip]\nlocal=db.loja\ndatabase=loja\nsenha=8E52ZZ7C\n", "db.loja", "loja", "580317kwd",
         "'$ZZ' is not a valid integer value."},
        {"SenhaWithABlank", "[ip]\nsenha=8E 2\n", "", "merovan", "580317kwd", "'$ 2' is not a valid integer value."},
        {"EmptySenhaIsNotTheDefault", "[ip]\nlocal=db.loja\nsenha=\n", "db.loja", "merovan", "580317kwd",
         "'$' is not a valid integer value."},
    };
}

INSTANTIATE_TEST_SUITE_P(Files, FormCreateSettingsTest, testing::ValuesIn(SettingsCases()),
                         [](const testing::TestParamInfo<TSettingsCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tarvik
