#include "platform/ServerGreeting.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <fcntl.h>
#include <netdb.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstring>

namespace tarvik {
namespace {

#ifdef _WIN32
using TSocket = SOCKET;
constexpr TSocket kNoSocket = INVALID_SOCKET;
void CloseSocket(TSocket s) { ::closesocket(s); }
bool SetNonBlocking(TSocket s) {
    u_long on = 1;
    return ::ioctlsocket(s, FIONBIO, &on) == 0;
}
#else
using TSocket = int;
constexpr TSocket kNoSocket = -1;
void CloseSocket(TSocket s) { ::close(s); }
bool SetNonBlocking(TSocket s) { return ::fcntl(s, F_SETFL, ::fcntl(s, F_GETFL, 0) | O_NONBLOCK) == 0; }
#endif

// Waits until the socket can be read (or, with `write`, written) or the deadline passes.
bool WaitFor(TSocket s, bool write, std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval timeout{};
    timeout.tv_sec = static_cast<long>(left.count() / 1000000);
    timeout.tv_usec = static_cast<long>(left.count() % 1000000);
    const int ready = ::select(static_cast<int>(s) + 1, write ? nullptr : &set, write ? &set : nullptr, nullptr, &timeout);
    return ready > 0;
}

// One connected socket to the first address of `host` that answers, or kNoSocket.
TSocket Connect(const std::string& host, unsigned port, std::chrono::steady_clock::time_point deadline,
                std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int rc = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (rc != 0 || !found) {
        error = "cannot resolve " + host;
        return kNoSocket;
    }
    TSocket connected = kNoSocket;
    for (addrinfo* a = found; a && connected == kNoSocket; a = a->ai_next) {
        TSocket s = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
        if (s == kNoSocket) continue;
        if (!SetNonBlocking(s)) {
            CloseSocket(s);
            continue;
        }
        ::connect(s, a->ai_addr, static_cast<int>(a->ai_addrlen));
        int failure = 0;
        socklen_t length = sizeof failure;
        if (WaitFor(s, true, deadline) &&
            ::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&failure), &length) == 0 && failure == 0)
            connected = s;
        else
            CloseSocket(s);
    }
    ::freeaddrinfo(found);
    if (connected == kNoSocket) error = "cannot connect to " + host + ":" + std::to_string(port);
    return connected;
}

}  // namespace

bool ReadServerGreeting(const std::string& host, unsigned port, unsigned timeoutSeconds, std::string& payload,
                        std::string& error) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    const TSocket s = Connect(host, port, deadline, error);
    if (s == kNoSocket) return false;
    // A packet: three bytes of length (least significant first), a sequence number, the payload.
    std::string received;
    size_t wanted = 4;
    bool whole = false;
    while (!whole) {
        if (!WaitFor(s, false, deadline)) {
            error = "no greeting from " + host + ":" + std::to_string(port);
            break;
        }
        char buffer[1024];
        const auto got = ::recv(s, buffer, sizeof buffer, 0);
        if (got <= 0) {
            error = "the server at " + host + ":" + std::to_string(port) + " closed the connection";
            break;
        }
        received.append(buffer, static_cast<size_t>(got));
        if (received.size() >= 4)
            wanted = 4 + (static_cast<unsigned char>(received[0]) | static_cast<unsigned char>(received[1]) << 8 |
                          static_cast<unsigned char>(received[2]) << 16);
        whole = received.size() >= wanted && wanted > 4;
    }
    CloseSocket(s);
    if (!whole) return false;
    payload = received.substr(4, wanted - 4);
    return true;
}

}  // namespace tarvik
