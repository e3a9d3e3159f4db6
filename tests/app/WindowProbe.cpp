// Shows the main window on the X display named by DISPLAY and, once the window manager has put
// its frame around it and the window has settled, prints its outer geometry (frame included)
// and the frame's size: "outer W x H at X , Y; frame W x H". Used by WindowManagerTest.
#include "app/qt/Utarvik.h"
#include "platform/ExecutablePath.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s SETTINGS_DIR\n", argv[0]);
        return 2;
    }
    tarvik::SetExecutableDirectoryOverride(argv[1]);
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    tarvik::TForm1 form;
    form.show();

    // Waits until the frame is known and nothing has changed for two seconds (at most 30 s): a
    // manager held up on a loaded machine may show the frame and apply the size a while apart.
    QElapsedTimer total, still;
    total.start();
    still.start();
    QRect last;
    while (total.elapsed() < 30000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
        const QRect outer = form.frameGeometry();
        if (outer != last) {
            last = outer;
            still.restart();
        }
        if (outer.size() != form.size() && still.elapsed() > 2000) break;
    }
    const QSize frame = form.frameGeometry().size() - form.size();
    std::printf("outer %d x %d at %d , %d; frame %d x %d\n", last.width(), last.height(), last.x(), last.y(),
                frame.width(), frame.height());
    return 0;
}
