#pragma once
// A loopback listener that plays just the start of a server's login: the greeting, naming an
// authentication method, and, when asked, a switch to another method once the client has
// answered. Nothing more: whatever the client does next, the listener only reads until it
// hangs up. Serves connections on a thread of its own until destroyed, each bounded in time.

#include <atomic>
#include <string>
#include <thread>

namespace tarvik::test {

class TAuthListener {
public:
    // Listens on `address`:`port` (0: a free port). Throws std::runtime_error when it cannot.
    TAuthListener(const std::string& address, unsigned port, std::string greetingMethod,
                  std::string switchMethod = std::string());
    ~TAuthListener();
    TAuthListener(const TAuthListener&) = delete;
    TAuthListener& operator=(const TAuthListener&) = delete;

    unsigned Port() const { return port_; }
    // Connections served so far.
    int Served() const { return served_.load(); }

private:
    void Serve();
    void Answer(int client);

    int socket_ = -1;
    unsigned port_ = 0;
    std::string greetingMethod_;
    std::string switchMethod_;
    std::atomic<bool> stop_{false};
    std::atomic<int> served_{0};
    std::thread thread_;
};

}  // namespace tarvik::test
