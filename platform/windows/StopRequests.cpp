#include "platform/StopRequests.h"

#include <windows.h>

#include <atomic>

namespace tarvik {
namespace {

std::atomic<DWORD> requested{~DWORD(0)};  // the console event that asked, ~0 for none
HANDLE stopped = nullptr;                 // set once the command has stopped

BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT: {
            DWORD none = ~DWORD(0);
            // A second request goes on to the system's own handling, which ends the program.
            if (!requested.compare_exchange_strong(none, event)) return FALSE;
            // The system ends the program as soon as this returns from a close, a log-off or a
            // shut-down: wait (a few seconds at most) for the command to stop first.
            if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && stopped)
                ::WaitForSingleObject(stopped, 4500);
            return TRUE;
        }
        default:
            return FALSE;
    }
}

}  // namespace

TStopRequests::TStopRequests() {
    requested = ~DWORD(0);
    stopped = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

TStopRequests::~TStopRequests() {
    ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
    Stopped();
    if (stopped) ::CloseHandle(stopped);
    stopped = nullptr;
}

bool TStopRequests::Requested() const { return requested != ~DWORD(0); }

int TStopRequests::ExitStatus() const { return requested == CTRL_C_EVENT ? 130 : 143; }

void TStopRequests::Stopped() {
    if (stopped) ::SetEvent(stopped);
}

}  // namespace tarvik
