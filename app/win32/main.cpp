#include "app/win32/Program.h"
#include "platform/LibrarySearch.h"

#include <windows.h>

// No command line is read; only how the system asks the window to show.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    // Before anything can load a library on demand.
    tarvik::RestrictLibrarySearch();
    return tarvik::RunProgram(showCommand);
}
