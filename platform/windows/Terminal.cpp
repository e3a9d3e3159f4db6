// The console through the Win32 console API.

#include "platform/Terminal.h"

#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "platform/Errors.h"

namespace tarvik {
namespace {

bool IsConsole(DWORD which) {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(which), &mode) != 0;
}

UINT g_savedOutputCodePage = 0;

void RestoreOutputCodePage() {
    if (g_savedOutputCodePage != 0) ::SetConsoleOutputCP(g_savedOutputCodePage);
}

}  // namespace

// A console, not just a character device: NUL is one of those too.
bool StandardInputIsTerminal() { return IsConsole(STD_INPUT_HANDLE); }

bool StandardErrorIsTerminal() {
    // The progress line is redrawn with "ESC[K": only where the console carries it out. A
    // console without virtual-terminal processing gets the plain lines of a file.
    const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (!::GetConsoleMode(error, &mode)) return false;
    if (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) return true;
    return ::SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

void PrepareConsoleOutput() {
    // The program's output is UTF-8 (paths, reports, JSON); a console shows it as such only
    // in that code page. What goes to a file or a pipe is the same bytes.
    if (!IsConsole(STD_OUTPUT_HANDLE) && !IsConsole(STD_ERROR_HANDLE)) return;
    const UINT previous = ::GetConsoleOutputCP();
    if (previous == CP_UTF8 || !::SetConsoleOutputCP(CP_UTF8)) return;
    // The console outlives the program: the code page its user chose comes back at exit.
    g_savedOutputCodePage = previous;
    std::atexit(RestoreOutputCodePage);
}

namespace {

// What Ctrl-C at the prompt must put back before the process ends, or the console would be
// left without echo.
HANDLE g_console = INVALID_HANDLE_VALUE;
DWORD g_savedMode = 0;

BOOL WINAPI RestoreConsole(DWORD) {
    if (g_console != INVALID_HANDLE_VALUE) ::SetConsoleMode(g_console, g_savedMode);
    return FALSE;  // the default handler still ends the process
}

// A secret typed at the console, as the program keeps texts: Windows-1252. The console is read
// in UTF-16, so its own code page (850, say) does not change what was typed.
std::string Windows1252FromConsole(const std::wstring& typed) {
    if (typed.empty()) return std::string();
    BOOL lossy = FALSE;
    const int n = ::WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, typed.data(), static_cast<int>(typed.size()),
                                        nullptr, 0, nullptr, &lossy);
    if (n <= 0 || lossy)
        throw Exception("the password holds a character that Windows-1252, in which it is kept, does not have");
    std::string text(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, typed.data(), static_cast<int>(typed.size()), text.data(), n,
                          nullptr, nullptr);
    return text;
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
    if (haveConsole) {
        std::wstring typed;
        wchar_t c = 0;
        for (;;) {
            DWORD n = 0;
            if (!::ReadConsoleW(input, &c, 1, &n, nullptr) || n == 0) {
                secret = Windows1252FromConsole(typed);
                return !typed.empty();
            }
            if (c == L'\n') break;
            if (c != L'\r') typed += c;
        }
        secret = Windows1252FromConsole(typed);
        return true;
    }
    char c = 0;
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(input, &c, 1, &n, nullptr) || n == 0) return !secret.empty();
        if (c == '\n') return true;
        if (c != '\r') secret += c;
    }
}

}  // namespace tarvik
