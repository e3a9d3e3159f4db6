#include "tests/support/AuthListener.h"

#include "tests/support/WirePackets.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace tarvik::test {
namespace {

// Seconds a client may take over its login before the listener hangs up.
constexpr int kClientSeconds = 10;

}  // namespace

TAuthListener::TAuthListener(const std::string& address, unsigned port, std::string greetingMethod,
                             std::string switchMethod)
    : greetingMethod_(std::move(greetingMethod)), switchMethod_(std::move(switchMethod)) {
    socket_ = Listen(address, port, port_);
    thread_ = std::thread([this] { Serve(); });
}

TAuthListener::~TAuthListener() {
    stop_ = true;
    thread_.join();
    ::close(socket_);
}

void TAuthListener::Serve() {
    ServeEach(socket_, stop_, [this](int client) {
        Answer(client);
        ++served_;
    });
}

void TAuthListener::Answer(int client) {
    std::string out;
    AppendPacket(out, 0, Greeting(greetingMethod_));
    if (!SendAll(client, out)) return;
    std::string response;
    if (!ReadPacket(client, response, kClientSeconds)) return;
    if (!switchMethod_.empty()) {
        out.clear();
        AppendPacket(out, 2, '\xfe' + switchMethod_ + '\0' + "Password: ");
        if (!SendAll(client, out)) return;
    }
    // Whatever comes now is not answered; the login ends when the client gives up.
    while (ReadPacket(client, response, kClientSeconds)) {
    }
}

}  // namespace tarvik::test
