#include "bench/LatencyProxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <stdexcept>

namespace tarvik::bench {
namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in LoopbackAddress(const TProxyEndpoint& endpoint) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(endpoint.port);
    if (::inet_pton(AF_INET, endpoint.address.c_str(), &address.sin_addr) != 1)
        throw std::runtime_error("proxy: not an IPv4 address: " + endpoint.address);
    if ((ntohl(address.sin_addr.s_addr) >> 24) != 127)
        throw std::runtime_error("proxy: only loopback addresses (127.0.0.0/8), not " + endpoint.address);
    return address;
}

std::string SystemError(const std::string& what) { return "proxy: " + what + ": " + std::strerror(errno); }

void SetNonBlocking(int fd) { ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK); }

void SetNoDelay(int fd) {
    // Nagle's algorithm would hold back the client's small packets for the server's answer,
    // adding a delay of its own to every statement.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

timespec ToTimespec(std::chrono::nanoseconds d) {
    d = std::max(d, std::chrono::nanoseconds(0));
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(d.count() / 1000000000);
    ts.tv_nsec = static_cast<long>(d.count() % 1000000000);
    return ts;
}

struct TChunk {
    Clock::time_point due;
    std::string bytes;  // empty: the sender closed its side
    size_t sent = 0;
};

// One direction of a connection: what was read from `from` and waits to be written to `to`.
struct TDirection {
    int from = -1;
    int to = -1;
    std::deque<TChunk> queue;
    size_t queued = 0;
    bool readClosed = false;   // `from` said end of data
    bool writeClosed = false;  // ... and that end reached `to`
};

// A reader that runs ahead of a slow writer would otherwise queue without end.
constexpr size_t kMaxQueued = 8 << 20;

// Writes what is due. False when the connection is broken.
bool Flush(TDirection& d, Clock::time_point now) {
    while (!d.queue.empty() && d.queue.front().due <= now) {
        TChunk& chunk = d.queue.front();
        if (chunk.bytes.empty()) {
            ::shutdown(d.to, SHUT_WR);
            d.writeClosed = true;
            d.queue.pop_front();
            continue;
        }
        const ssize_t n = ::send(d.to, chunk.bytes.data() + chunk.sent, chunk.bytes.size() - chunk.sent, MSG_NOSIGNAL);
        if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        chunk.sent += static_cast<size_t>(n);
        if (chunk.sent < chunk.bytes.size()) return true;  // the socket is full: wait for POLLOUT
        d.queued -= chunk.bytes.size();
        d.queue.pop_front();
    }
    return true;
}

// Reads what has arrived. False when the connection is broken.
bool Read(TDirection& d, std::chrono::nanoseconds oneWay) {
    char buffer[65536];
    const ssize_t n = ::recv(d.from, buffer, sizeof buffer, 0);
    // The peer's bytes are acknowledged at once, as the far end's kernel would on receipt: a
    // delayed acknowledgement here would hold back a sender that waits for it (Nagle) until
    // the proxy next sends that way, a delay the link does not have. Linux clears the flag by
    // itself, so it is set again after every read.
    const int on = 1;
    ::setsockopt(d.from, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    // The bytes left the sender now; they arrive half a round trip later.
    const Clock::time_point due = Clock::now() + oneWay;
    if (n == 0) {
        d.readClosed = true;
        d.queue.push_back({due, {}, 0});
        return true;
    }
    d.queue.push_back({due, std::string(buffer, static_cast<size_t>(n)), 0});
    d.queued += static_cast<size_t>(n);
    return true;
}

}  // namespace

TLatencyProxy::TLatencyProxy(TProxyEndpoint listen, TProxyEndpoint target, std::chrono::seconds lifetime)
    : target_(std::move(target)), deadline_(Clock::now() + lifetime) {
    const sockaddr_in listenAddress = LoopbackAddress(listen);
    LoopbackAddress(target_);  // refused here already, not at the first connection
    if (::pipe2(stopPipe_, O_CLOEXEC) != 0) throw std::runtime_error(SystemError("pipe"));
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0) throw std::runtime_error(SystemError("socket"));
    const int on = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(listener_, reinterpret_cast<const sockaddr*>(&listenAddress), sizeof listenAddress) != 0 ||
        ::listen(listener_, 16) != 0) {
        const std::string message = SystemError("cannot listen on " + listen.address + ":" + std::to_string(listen.port));
        ::close(listener_);
        ::close(stopPipe_[0]);
        ::close(stopPipe_[1]);
        throw std::runtime_error(message);
    }
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

TLatencyProxy::~TLatencyProxy() { Stop(); }

void TLatencyProxy::SetRoundTrip(std::chrono::microseconds roundTrip) {
    oneWayNs_ = std::chrono::duration_cast<std::chrono::nanoseconds>(roundTrip).count() / 2;
}

void TLatencyProxy::Stop() {
    if (stopped_) return;
    stopped_ = true;
    const char byte = 0;
    // Left unread, so that every loop sees it.
    if (::write(stopPipe_[1], &byte, 1) != 1) std::fprintf(stderr, "proxy: cannot signal its threads to stop\n");
    acceptor_.join();
    std::vector<std::thread> connections;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        connections.swap(connections_);
    }
    for (std::thread& t : connections) t.join();
    ::close(listener_);
    ::close(stopPipe_[0]);
    ::close(stopPipe_[1]);
}

void TLatencyProxy::AcceptLoop() {
    for (;;) {
        pollfd fds[2] = {{listener_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        const timespec timeout = ToTimespec(deadline_ - Clock::now());
        if (::ppoll(fds, 2, &timeout, nullptr) < 0 && errno != EINTR) return;
        if (fds[1].revents != 0 || Clock::now() >= deadline_) return;
        if (!(fds[0].revents & POLLIN)) continue;
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        const std::chrono::nanoseconds oneWay(oneWayNs_.load());
        const std::lock_guard<std::mutex> lock(mutex_);
        connections_.emplace_back([this, client, oneWay] { Forward(client, oneWay); });
    }
}

void TLatencyProxy::Forward(int client, std::chrono::nanoseconds oneWay) {
    const sockaddr_in targetAddress = LoopbackAddress(target_);
    const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (server < 0 || ::connect(server, reinterpret_cast<const sockaddr*>(&targetAddress), sizeof targetAddress) != 0) {
        // The client sees its link closed, as it would with a server that is down.
        std::fprintf(stderr, "%s\n", SystemError("cannot reach " + target_.address).c_str());
        if (server >= 0) ::close(server);
        ::close(client);
        return;
    }
    for (const int fd : {client, server}) {
        SetNonBlocking(fd);
        SetNoDelay(fd);
    }
    TDirection up{client, server, {}, 0, false, false};
    TDirection down{server, client, {}, 0, false, false};
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline_) break;
        if (!Flush(up, now) || !Flush(down, now)) break;
        if (up.writeClosed && down.writeClosed) break;

        // Wait for bytes to read, for room to write what is due, or for the next chunk's time.
        Clock::time_point wake = deadline_;
        short clientEvents = 0, serverEvents = 0;
        auto plan = [&](TDirection& d, short& fromEvents, short& toEvents) {
            if (!d.readClosed && d.queued < kMaxQueued) fromEvents |= POLLIN;
            if (d.queue.empty()) return;
            if (d.queue.front().due <= now) toEvents |= POLLOUT;
            else wake = std::min(wake, d.queue.front().due);
        };
        plan(up, clientEvents, serverEvents);
        plan(down, serverEvents, clientEvents);
        // A socket with nothing to wait for is left out: a hang-up it reports would wake the
        // loop again and again while a delayed chunk waits for its time.
        pollfd fds[3] = {{clientEvents ? client : -1, clientEvents, 0},
                         {serverEvents ? server : -1, serverEvents, 0},
                         {stopPipe_[0], POLLIN, 0}};
        const timespec timeout = ToTimespec(wake - Clock::now());
        if (::ppoll(fds, 3, &timeout, nullptr) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[2].revents != 0) break;
        // An error or hang-up still lets recv say what happened (end of data or the error).
        const short readable = POLLIN | POLLHUP | POLLERR;
        if ((fds[0].revents & readable) && !up.readClosed && !Read(up, oneWay)) break;
        if ((fds[1].revents & readable) && !down.readClosed && !Read(down, oneWay)) break;
    }
    ::close(client);
    ::close(server);
}

}  // namespace tarvik::bench
