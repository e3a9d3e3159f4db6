#include "bench/RunOnce.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

#include "app/qt/Application.h"
#include "app/qt/Boxes.h"
#include "app/qt/Utarvik.h"
#include "platform/ExecutablePath.h"

// The toolkit's start-up hook takes a plain name, so these stand outside the namespace.
namespace {

bool gDriving = false;

// As a user would: once the window is on the (offscreen) screen, click "Iniciar"; when the
// click has been handled, close the window, which ends the program's event loop.
void ClickWhenExposed() {
    using tarvik::Form1;
    tarvik::TForm1* form = Form1;
    if (!form || !form->windowHandle() || !form->windowHandle()->isExposed()) {
        QTimer::singleShot(10, qApp, &ClickWhenExposed);
        return;
    }
    // Queued once the click is handled (the window refuses to close while a run works, and
    // answers queued events meanwhile), also when the click's handler fails.
    struct TCloseAfterwards {
        ~TCloseAfterwards() { QTimer::singleShot(0, qApp, [] { Form1->close(); }); }
    } closeAfterwards;
    form->Button1->click();
}

void DriveWhenAsked() {
    if (gDriving) QTimer::singleShot(0, qApp, &ClickWhenExposed);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(DriveWhenAsked)

namespace tarvik::bench {

int RunOnce(const std::string& directory) {
    // Offscreen, so that a run can be measured on a machine without a display.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // A private runtime directory of our own, so that Qt neither complains about a missing one
    // nor falls back to a shared one under /tmp.
    char runtimeDir[] = "/tmp/tarvik-bench-runtime-XXXXXX";
    const bool haveRuntimeDir = ::mkdtemp(runtimeDir) != nullptr;  // mode 0700, as Qt wants it
    if (haveRuntimeDir) setenv("XDG_RUNTIME_DIR", runtimeDir, 1);
    struct TRemoveDir {
        const char* path;
        ~TRemoveDir() {
            if (path) ::rmdir(path);
        }
    } removeRuntimeDir{haveRuntimeDir ? runtimeDir : nullptr};
    SetExecutableDirectoryOverride(directory);

    // Both boxes answered at once; an error box means the run failed.
    std::string failure;
    bool completed = false;
    SetBoxHook([&](const TBoxShown& box) {
        if (box.kind == TBoxKind::Error) failure = box.text;
        else completed = true;
    });

    // The program's own life, start-up to shutdown; it always exits with 0 itself.
    gDriving = true;
    static char name[] = "tarvik";
    char* argv[] = {name, nullptr};
    RunProgram(1, argv);
    gDriving = false;
    SetBoxHook({});

    if (!failure.empty() || !completed) {
        std::fprintf(stderr, "run failed: %s\n", failure.c_str());
        return 1;
    }
    return 0;
}

}  // namespace tarvik::bench
