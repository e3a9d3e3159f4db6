#include "tests/support/AuthListener.h"

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

void AppendPacket(std::string& out, unsigned char sequence, const std::string& payload) {
    const size_t n = payload.size();
    out += static_cast<char>(n & 0xFF);
    out += static_cast<char>((n >> 8) & 0xFF);
    out += static_cast<char>((n >> 16) & 0xFF);
    out += static_cast<char>(sequence);
    out += payload;
}

bool SendAll(int fd, const std::string& data) {
    size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

// One packet's payload, or false when the client hung up or took too long.
bool ReadPacket(int fd, std::string& payload) {
    auto readExactly = [fd](char* into, size_t n) {
        size_t got = 0;
        while (got < n) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, kClientSeconds * 1000) <= 0) return false;
            const ssize_t r = ::recv(fd, into + got, n - got, 0);
            if (r <= 0) return false;
            got += static_cast<size_t>(r);
        }
        return true;
    };
    unsigned char header[4];
    if (!readExactly(reinterpret_cast<char*>(header), 4)) return false;
    const size_t length = header[0] | (header[1] << 8) | (header[2] << 16);
    payload.assign(length, '\0');
    return length == 0 || readExactly(payload.data(), length);
}

std::string Greeting(const std::string& method) {
    std::string g;
    g += '\x0a';                                 // protocol 10
    g += std::string("5.5.5-10.11.0-listener") + '\0';
    g += std::string("\x01\x00\x00\x00", 4);     // thread id
    g += "abcdefgh";                             // first part of the challenge
    g += '\0';
    g += std::string("\xdf\xf7", 2);             // capabilities: protocol 4.1, secure login; no TLS
    g += '\x08';                                 // latin1
    g += std::string("\x02\x00", 2);             // autocommit
    g += std::string("\x0b\x00", 2);             // plugin login, multiple statements and results
    g += '\x15';                                 // 21 bytes of challenge in all
    g += std::string(10, '\0');
    g += "ijklmnopqrst";                         // the rest of the challenge
    g += '\0';
    g += method + '\0';
    return g;
}

}  // namespace

TAuthListener::TAuthListener(const std::string& address, unsigned port, std::string greetingMethod,
                             std::string switchMethod)
    : greetingMethod_(std::move(greetingMethod)), switchMethod_(std::move(switchMethod)) {
    socket_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket_ < 0) throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    const int on = 1;
    ::setsockopt(socket_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in in{};
    in.sin_family = AF_INET;
    in.sin_port = htons(static_cast<uint16_t>(port));
    if (::inet_pton(AF_INET, address.c_str(), &in.sin_addr) != 1 ||
        ::bind(socket_, reinterpret_cast<sockaddr*>(&in), sizeof in) != 0 || ::listen(socket_, 4) != 0) {
        const std::string reason = std::strerror(errno);
        ::close(socket_);
        throw std::runtime_error("listen on " + address + ": " + reason);
    }
    socklen_t size = sizeof in;
    ::getsockname(socket_, reinterpret_cast<sockaddr*>(&in), &size);
    port_ = ntohs(in.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

TAuthListener::~TAuthListener() {
    stop_ = true;
    thread_.join();
    ::close(socket_);
}

void TAuthListener::Serve() {
    while (!stop_) {
        pollfd p{socket_, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        const int client = ::accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        Answer(client);
        ::close(client);
        ++served_;
    }
}

void TAuthListener::Answer(int client) {
    std::string out;
    AppendPacket(out, 0, Greeting(greetingMethod_));
    if (!SendAll(client, out)) return;
    std::string response;
    if (!ReadPacket(client, response)) return;
    if (!switchMethod_.empty()) {
        out.clear();
        AppendPacket(out, 2, '\xfe' + switchMethod_ + '\0' + "Password: ");
        if (!SendAll(client, out)) return;
    }
    // Whatever comes now is not answered; the login ends when the client gives up.
    while (ReadPacket(client, response)) {
    }
}

}  // namespace tarvik::test
