#include "app/qt/Application.h"

#include "app/qt/Boxes.h"
#include "app/BoxTexts.h"
#include "platform/WaitCursor.h"

#include <QCursor>
#include <QIcon>

namespace tarvik {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // Every window without an icon of its own shows the program's: the title bar and the task
    // bar then show what the desktop entry shows.
    setWindowIcon(QIcon(QString::fromLatin1(kProgramIconResource)));
}

void ShowCaughtError() { ShowErrorBox(CaughtErrorMessage()); }

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowCaughtError();
    }
    return true;  // the event was handled, if badly; nobody else should have it now
}

void InstallCursorHook() {
    TCursorHook hook;
    hook.get = [] {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        return cursor && cursor->shape() == Qt::WaitCursor ? TCursorShape::Wait
                                                           : TCursorShape::Default;
    };
    hook.set = [](TCursorShape shape) {
        if (shape == TCursorShape::Wait) {
            if (QGuiApplication::overrideCursor()) {
                QGuiApplication::changeOverrideCursor(Qt::WaitCursor);
            } else {
                QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            }
            return;
        }
        while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
    };
    SetCursorHook(std::move(hook));
}

}  // namespace tarvik
