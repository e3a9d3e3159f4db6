#include "app/ProgramLife.h"

#include "app/BoxTexts.h"
#include "identification/UConnectionInfoClass.h"
#include "platform/WaitCursor.h"

namespace tarvik {

int RunProgramLife(TProgramShell& shell) {
    ApplicationTitle();  // fixed now, before anything can be shown
    shell.InstallCursorHook();
    shell.CreateMainWindow();
    shell.ShowMainWindow();
    shell.RunEventLoop();

    // The window and its components first (that closes the main link), then the
    // identification connection.
    shell.ReleaseMainWindow();
    ReleaseConnectionInfo();
    ClearCursorHook();
    return 0;
}

}  // namespace tarvik
