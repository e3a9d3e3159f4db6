#include "bench/RunOnce.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "app/qt/Application.h"
#include "app/qt/Boxes.h"
#include "app/qt/Utarvik.h"
#include "identification/UConnectionInfoClass.h"
#include "platform/Errors.h"
#include "platform/ExecutablePath.h"

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

    static char name[] = "tarvik";
    char* argv[] = {name, nullptr};
    int argc = 1;
    TApplication application(argc, argv);
    InstallCursorHook();

    // Both boxes answered at once; an error box means the run failed.
    std::string failure;
    bool completed = false;
    SetBoxHook([&](const TBoxShown& box) {
        if (box.kind == TBoxKind::Error) failure = box.text;
        else completed = true;
    });

    int status = 0;
    {
        TForm1 form;
        if (!failure.empty()) {
            std::fprintf(stderr, "start-up: %s\n", failure.c_str());
            return 1;
        }
        try {
            form.Button1Click();
        } catch (const std::exception& e) {
            failure = e.what();
        }
        if (!failure.empty() || !completed) {
            std::fprintf(stderr, "run failed: %s\n", failure.c_str());
            status = 1;
        }
    }
    ReleaseConnectionInfo();
    SetBoxHook({});
    return status;
}

}  // namespace tarvik::bench
