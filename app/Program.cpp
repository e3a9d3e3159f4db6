#include "app/Application.h"

#include "app/Boxes.h"
#include "app/Utarvik.h"
#include "identification/UConnectionInfoClass.h"
#include "platform/WaitCursor.h"

#include <memory>

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

    auto form = std::make_unique<TForm1>();  // runs FormCreate; an error there is shown before the window
    Form1 = form.get();
    form->show();
    application.exec();

    // The window and its components first (that closes the main link), then the
    // identification connection.
    Form1 = nullptr;
    form.reset();
    ReleaseConnectionInfo();
    ClearCursorHook();
    return 0;
}

}  // namespace tarvik
