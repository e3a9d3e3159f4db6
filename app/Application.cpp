#include "app/Application.h"

#include "app/Boxes.h"
#include "app/Messages.h"
#include "platform/WaitCursor.h"

#include <QCursor>

namespace tarvik {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void ShowCaughtError() {
    try {
        throw;
    } catch (const std::exception& error) {
        ShowErrorBox(error);
    } catch (...) {
        ShowErrorBox(std::string(app_messages::kUnknownError));
    }
}

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
