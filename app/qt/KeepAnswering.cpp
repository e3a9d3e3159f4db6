#include "app/qt/KeepAnswering.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>

namespace tarvik {
namespace {

// Often enough that the window manager never sees the window stand, seldom enough that a run
// of many products pays nothing for it.
constexpr qint64 kIntervalMs = 50;

class TDropInput : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
            return true;
        default:
            return false;
        }
    }
};

}  // namespace

void KeepAnswering() {
    static QElapsedTimer last;
    if (last.isValid() && last.elapsed() < kIntervalMs) return;
    last.start();
    TDropInput drop;
    QCoreApplication::instance()->installEventFilter(&drop);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::instance()->removeEventFilter(&drop);
}

}  // namespace tarvik
