#include "app/win32/Program.h"

#include <windows.h>

// No command line is read; only how the system asks the window to show.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) { return tarvik::RunProgram(showCommand); }
