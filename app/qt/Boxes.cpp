#include "app/qt/Boxes.h"

#include "app/Messages.h"
#include "app/qt/Windows1252.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace tarvik {
namespace {

TBoxHook& Hook() {
    static TBoxHook hook;
    return hook;
}

bool Intercepted(TBoxKind kind, const std::string& text) {
    if (!Hook()) return false;
    // A copy: the hook may replace itself while it runs.
    const TBoxHook hook = Hook();
    hook(TBoxShown{kind, ApplicationTitle(), text});
    return true;
}

QRect ScreenGeometry() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 800, 600);
}

}  // namespace

void ShowErrorBox(const std::string& message) {
    const std::string text = ErrorBoxText(message);
    if (Intercepted(TBoxKind::Error, text)) return;
    // No parent: the box belongs to the application, not to whichever window is active.
    QMessageBox box(QMessageBox::Critical, FromWindows1252(ApplicationTitle()),
                    FromWindows1252(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);  // server texts may hold "<"; never read them as markup
    box.exec();
}

void ShowErrorBox(const std::exception& error) { ShowErrorBox(ErrorMessageOf(error)); }

std::unique_ptr<QDialog> CreateInformationDialog(const std::string& text) {
    auto dialog = std::make_unique<QDialog>();
    dialog->setWindowTitle(FromWindows1252(ApplicationTitle()));

    const QString shown = FromWindows1252(text);
    const QFont messageFont = QApplication::font("QMessageBox");
    const QRect screen = ScreenGeometry();
    // Lines break at half the screen's width; the label is exactly as large as the text.
    const QRect textRect = QFontMetrics(messageFont).boundingRect(
        QRect(0, 0, screen.width() / 2, 0), Qt::TextWordWrap | Qt::AlignLeft, shown);

    auto* label = new QLabel(dialog.get());
    label->setTextFormat(Qt::PlainText);
    label->setFont(messageFont);
    label->setWordWrap(true);
    label->setText(shown);
    label->setFixedSize(textRect.size());

    auto* ok = new QPushButton(FromWindows1252(app_messages::kOkButton), dialog.get());
    ok->setDefault(true);  // Enter; Esc is the dialog's own reject, which closes it too
    QObject::connect(ok, &QPushButton::clicked, dialog.get(), &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(dialog.get());
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(label);
    layout->addLayout(buttons);

    dialog->adjustSize();
    dialog->move(screen.center() - QPoint(dialog->width() / 2, dialog->height() / 2));
    return dialog;
}

void ShowInformation(const std::string& text) {
    if (Intercepted(TBoxKind::Information, text)) return;
    const std::unique_ptr<QDialog> dialog = CreateInformationDialog(text);
    dialog->exec();
}

void SetBoxHook(TBoxHook hook) { Hook() = std::move(hook); }

}  // namespace tarvik
