#include "app/Application.h"

#include "app/Boxes.h"
#include "app/Utarvik.h"
#include "identification/UConnectionInfoClass.h"
#include "platform/WaitCursor.h"

namespace tarvik {

int RunProgram(int argc, char** argv) {
    // The toolkit sees the program's name alone, so that no option of the command line
    // changes how the program behaves.
    static char fallbackName[] = "tarvik";
    char* qtArgv[] = {argc > 0 && argv[0] ? argv[0] : fallbackName, nullptr};
    int qtArgc = 1;
    TApplication application(qtArgc, qtArgv);
    ApplicationTitle();  // fixed now, before anything can be shown
    InstallCursorHook();

    Form1 = new TForm1();  // runs FormCreate; an error there is shown before the window
    Form1->show();
    application.exec();

    // The window and its components first (that closes the main link), then the
    // identification connection.
    delete Form1;
    Form1 = nullptr;
    ReleaseConnectionInfo();
    ClearCursorHook();
    return 0;
}

}  // namespace tarvik
