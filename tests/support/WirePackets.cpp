#include "tests/support/WirePackets.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace tarvik::test {

int Listen(const std::string& address, unsigned port, unsigned& bound) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in in{};
    in.sin_family = AF_INET;
    in.sin_port = htons(static_cast<uint16_t>(port));
    if (::inet_pton(AF_INET, address.c_str(), &in.sin_addr) != 1 ||
        ::bind(fd, reinterpret_cast<sockaddr*>(&in), sizeof in) != 0 || ::listen(fd, 4) != 0) {
        const std::string reason = std::strerror(errno);
        ::close(fd);
        throw std::runtime_error("listen on " + address + ": " + reason);
    }
    socklen_t size = sizeof in;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&in), &size);
    bound = ntohs(in.sin_port);
    return fd;
}

void ServeEach(int socket, const std::atomic<bool>& stop, const std::function<void(int client)>& serve) {
    while (!stop) {
        pollfd p{socket, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        const int client = ::accept4(socket, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        serve(client);
        ::close(client);
    }
}

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

bool ReadPacket(int fd, std::string& payload, int seconds, unsigned char* sequence) {
    auto readExactly = [fd, seconds](char* into, size_t n) {
        size_t got = 0;
        while (got < n) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, seconds * 1000) <= 0) return false;
            const ssize_t r = ::recv(fd, into + got, n - got, 0);
            if (r <= 0) return false;
            got += static_cast<size_t>(r);
        }
        return true;
    };
    unsigned char header[4];
    if (!readExactly(reinterpret_cast<char*>(header), 4)) return false;
    if (sequence) *sequence = header[3];
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

void AppendLengthEncoded(std::string& out, unsigned long long value) {
    if (value < 251) {
        out += static_cast<char>(value);
        return;
    }
    int bytes = 8;
    if (value < 0x10000) {
        out += '\xfc';
        bytes = 2;
    } else if (value < 0x1000000) {
        out += '\xfd';
        bytes = 3;
    } else {
        out += '\xfe';
    }
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void AppendLengthEncoded(std::string& out, const std::string& text) {
    AppendLengthEncoded(out, text.size());
    out += text;
}

}  // namespace tarvik::test
