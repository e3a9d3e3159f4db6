// The console through the Win32 console API.

#include "platform/Terminal.h"

#include <io.h>
#include <windows.h>

#include <cstdio>
#include <ostream>

namespace tarvik {

bool StandardInputIsTerminal() { return ::_isatty(::_fileno(stdin)) != 0; }
bool StandardErrorIsTerminal() { return ::_isatty(::_fileno(stderr)) != 0; }

namespace {

// What Ctrl-C at the prompt must put back before the process ends, or the console would be
// left without echo.
HANDLE g_console = INVALID_HANDLE_VALUE;
DWORD g_savedMode = 0;

BOOL WINAPI RestoreConsole(DWORD) {
    if (g_console != INVALID_HANDLE_VALUE) ::SetConsoleMode(g_console, g_savedMode);
    return FALSE;  // the default handler still ends the process
}

}  // namespace

bool ReadSecretFromTerminal(std::ostream& promptTo, const std::string& prompt, std::string& secret) {
    promptTo << prompt << std::flush;
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    DWORD saved = 0;
    const bool haveConsole = ::GetConsoleMode(input, &saved) != 0;
    if (haveConsole) {
        g_console = input;
        g_savedMode = saved;
        ::SetConsoleCtrlHandler(RestoreConsole, TRUE);
        ::SetConsoleMode(input, (saved & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)) | ENABLE_LINE_INPUT);
    }
    struct TRestore {
        HANDLE input;
        bool active;
        DWORD saved;
        std::ostream& promptTo;
        ~TRestore() {
            if (!active) return;
            ::SetConsoleMode(input, saved);
            ::SetConsoleCtrlHandler(RestoreConsole, FALSE);
            g_console = INVALID_HANDLE_VALUE;
            promptTo << '\n' << std::flush;  // the Enter key was not echoed either
        }
    } restore{input, haveConsole, saved, promptTo};

    secret.clear();
    char c = 0;
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(input, &c, 1, &n, nullptr) || n == 0) return !secret.empty();
        if (c == '\n') return true;
        if (c != '\r') secret += c;
    }
}

}  // namespace tarvik
