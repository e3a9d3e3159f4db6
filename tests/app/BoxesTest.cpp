// The two boxes as the user gets them, and the event loop's routing of escaped errors.
#include "app/qt/Application.h"
#include "app/qt/Boxes.h"
#include "platform/Errors.h"
#include "platform/WaitCursor.h"
#include "tests/app/BoxHookRecorder.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace tarvik {
namespace {

using test::TBoxRecorder;

// Runs `action` on the modal window once one is up (polling, since the box opens inside the
// call under test), then lets that call return.
void WhenModalShows(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start();
}

TEST(BoxesTest, HookSeesCaptionAndTextAsTheyWouldShow) {
    TBoxRecorder boxes;
    ShowErrorBox(EConvertError("'$' is not a valid integer value"));
    ShowErrorBox(std::string("Processamento Concluido!"));
    ShowInformation("Processamento Concluido!");
    ShowInformation("sem ponto");
    ASSERT_EQ(boxes.Shown().size(), 4u);
    for (const TBoxShown& shown : boxes.Shown()) EXPECT_EQ(shown.caption, ApplicationTitle());
    EXPECT_EQ(boxes.Texts(TBoxKind::Error),
              (std::vector<std::string>{"'$' is not a valid integer value.", "Processamento Concluido!"}));
    EXPECT_EQ(boxes.Texts(TBoxKind::Information),
              (std::vector<std::string>{"Processamento Concluido!", "sem ponto"}));
}

TEST(BoxesTest, ErrorBoxIsACriticalMessageBoxWithOneOk) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title, text;
    Qt::TextFormat format = Qt::AutoText;
    qsizetype buttons = 0;
    WhenModalShows([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        icon = box->icon();
        title = box->windowTitle();
        text = box->text();
        format = box->textFormat();
        buttons = box->buttons().size();
        box->accept();
    });
    ShowErrorBox(std::string("Falha ao carregar dados de identifica\xE7\xE3o do servidor.\r\nMotivo: <b>x</b>"));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(title, QString::fromStdString(ApplicationTitle()));
    EXPECT_EQ(text, QString::fromUtf8("Falha ao carregar dados de identificação do servidor.\r\nMotivo: <b>x</b>."));
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(buttons, 1);
}

TEST(BoxesTest, InformationBoxClosesWithEnterAndWithEsc) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        bool sawIt = false;
        WhenModalShows([&](QWidget* modal) {
            auto* dialog = qobject_cast<QDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            ASSERT_EQ(qobject_cast<QMessageBox*>(modal), nullptr) << "the program's own dialog";
            auto* label = dialog->findChild<QLabel*>();
            ASSERT_NE(label, nullptr);
            sawIt = label->text() == "Processamento Concluido!";
            QTest::keyClick(dialog, key);
        });
        ShowInformation("Processamento Concluido!");
        EXPECT_TRUE(sawIt) << key;
    }
}

TEST(BoxesTest, InformationBoxWrapsAtHalfTheScreenAndIsCentred) {
    const std::string longText(400, 'x');
    std::string words;
    for (int i = 0; i < 80; ++i) words += "palavra ";
    const auto dialog = CreateInformationDialog(words + "<i>fim</i>");
    const QRect screen = QGuiApplication::primaryScreen()->geometry();

    auto* label = dialog->findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->wordWrap());
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_LE(label->width(), screen.width() / 2);
    EXPECT_GT(label->height(), 3 * label->fontMetrics().height()) << "several lines";
    EXPECT_EQ(dialog->windowTitle(), QString::fromStdString(ApplicationTitle()));

    const auto buttons = dialog->findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(buttons[0]->text(), "OK");
    EXPECT_TRUE(buttons[0]->isDefault());

    const QPoint centre = dialog->frameGeometry().center();
    EXPECT_LE(std::abs(centre.x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(centre.y() - screen.center().y()), 1);
}

// A handler that fails on the events it is sent.
class TFailingReceiver : public QObject {
public:
    int handled = 0;
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User) return QObject::event(event);
        ++handled;
        if (handled == 1) throw EDatabaseError("QInclui: Duplicate entry '1' for key 'PRIMARY'");
        if (handled == 2) throw std::runtime_error("not one of ours");
        return true;
    }
};

TEST(EventLoopTest, EscapedErrorsReachTheErrorBoxAndTheLoopGoesOn) {
    TBoxRecorder boxes;
    TFailingReceiver receiver;
    for (int i = 0; i < 3; ++i) QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    EXPECT_EQ(receiver.handled, 3);
    EXPECT_EQ(boxes.Texts(TBoxKind::Error),
              (std::vector<std::string>{"QInclui: Duplicate entry '1' for key 'PRIMARY'",
                                        "not one of ours."}));
}

TEST(EventLoopTest, AClickHandlerThatThrowsLeavesTheButtonUsable) {
    TBoxRecorder boxes;
    QPushButton button("Iniciar");
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        ++clicks;
        throw Exception("O filial_id 80 n\xE3o pode ser convertido para um \"lojas_leram\" v\xE1lido");
    });
    button.resize(75, 25);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(boxes.Texts(TBoxKind::Error),
              std::vector<std::string>(
                  2, "O filial_id 80 n\xE3o pode ser convertido para um \"lojas_leram\" v\xE1lido."));
}

}  // namespace
}  // namespace tarvik

namespace tarvik {
namespace {

// The data layer's wait cursor shows as the application's override cursor, and nested steps
// end with the cursor that showed before the outermost one, also when an error unwinds them.
TEST(CursorHookTest, WaitCursorNestsAndRestores) {
    InstallCursorHook();
    const auto shape = [] {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        return cursor ? std::optional<Qt::CursorShape>(cursor->shape()) : std::nullopt;
    };
    {
        TWaitCursor outer;
        EXPECT_EQ(shape(), Qt::WaitCursor);
        try {
            TWaitCursor inner;
            throw EDatabaseError("Not connected yet");
        } catch (const EDatabaseError&) {
        }
        EXPECT_EQ(shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(shape(), std::nullopt);
    ClearCursorHook();
}

}  // namespace
}  // namespace tarvik
