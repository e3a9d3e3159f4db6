// The terminal through termios.

#include "platform/Terminal.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <ostream>

namespace tarvik {

bool StandardInputIsTerminal() { return ::isatty(STDIN_FILENO) == 1; }
bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }
void PrepareConsoleOutput() {}

namespace {

// What an interrupt (Ctrl-C at the prompt) must put back before the process ends, or the
// administrator's shell would be left without echo.
int g_terminalFd = -1;
termios g_savedTerminal{};

void RestoreTerminalAndResignal(int signal) {
    if (g_terminalFd >= 0) ::tcsetattr(g_terminalFd, TCSAFLUSH, &g_savedTerminal);  // async-signal-safe
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

}  // namespace

bool ReadSecretFromTerminal(std::ostream& promptTo, const std::string& prompt, std::string& secret) {
    const int fd = STDIN_FILENO;
    promptTo << prompt << std::flush;
    termios saved{};
    const bool haveTerminal = ::tcgetattr(fd, &saved) == 0;
    if (haveTerminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;  // the Enter key still moves to the next line
        g_savedTerminal = saved;
        g_terminalFd = fd;
        for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) ::signal(s, RestoreTerminalAndResignal);
        ::tcsetattr(fd, TCSAFLUSH, &quiet);
    }
    struct TRestore {
        int fd;
        bool active;
        const termios& saved;
        ~TRestore() {
            if (!active) return;
            ::tcsetattr(fd, TCSAFLUSH, &saved);
            g_terminalFd = -1;
            for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) ::signal(s, SIG_DFL);
        }
    } restore{fd, haveTerminal, saved};

    secret.clear();
    char c = 0;
    for (;;) {
        const ssize_t n = ::read(fd, &c, 1);
        if (n <= 0) return !secret.empty();
        if (c == '\n') return true;
        if (c != '\r') secret += c;
    }
}

}  // namespace tarvik
