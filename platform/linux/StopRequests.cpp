#include "platform/StopRequests.h"

#include <signal.h>

#include <atomic>

namespace tarvik {
namespace {

volatile sig_atomic_t requested = 0;  // the signal that asked, 0 for none
struct sigaction previousInterrupt, previousTerminate;

extern "C" void OnStopSignal(int signal) {
    requested = signal;
    // The next one ends the program, as it always would.
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    sigemptyset(&defaults.sa_mask);
    sigaction(SIGINT, &defaults, nullptr);
    sigaction(SIGTERM, &defaults, nullptr);
}

}  // namespace

TStopRequests::TStopRequests() {
    requested = 0;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previousInterrupt);
    sigaction(SIGTERM, &action, &previousTerminate);
}

TStopRequests::~TStopRequests() {
    sigaction(SIGINT, &previousInterrupt, nullptr);
    sigaction(SIGTERM, &previousTerminate, nullptr);
}

bool TStopRequests::Requested() const { return requested != 0; }

int TStopRequests::ExitStatus() const { return requested == SIGINT ? 130 : 143; }

void TStopRequests::Stopped() {}

}  // namespace tarvik
