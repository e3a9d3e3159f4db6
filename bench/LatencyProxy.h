#pragma once
// A TCP proxy on loopback that makes the link to the server slow: every chunk of bytes read
// from one side is written to the other half a round trip later, in order, in both directions.
// What it models is a link's latency alone (a WAN, a VPN), not its bandwidth: a chunk read at
// time t leaves at t + delay however many chunks are queued before it, as packets on a long
// wire do. Each connection has one thread that waits on both sockets and on the next chunk's
// due time, so the delays never add up the way a sleep per chunk would. The threads keep the
// ordinary priority: raised, they preempted the server and the client at every chunk (every
// answer in a flight is one) and made runs in flights slower by a fifth to a third at every
// delay, for no gain in the round trips measured through them.
//
// Both addresses must be loopback (127.0.0.0/8): the proxy never listens on or forwards to
// anything a benchmark could reach beyond this machine. It stops by itself at its deadline.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarvik::bench {

struct TProxyEndpoint {
    std::string address;  // dotted IPv4, 127.x.y.z
    uint16_t port = 0;
};

class TLatencyProxy {
public:
    // Listens on `listen` at once (throws when the address is not loopback or cannot be bound);
    // forwards each accepted connection to `target`. Every thread ends at `lifetime` at the latest.
    TLatencyProxy(TProxyEndpoint listen, TProxyEndpoint target, std::chrono::seconds lifetime);
    ~TLatencyProxy();
    TLatencyProxy(const TLatencyProxy&) = delete;
    TLatencyProxy& operator=(const TLatencyProxy&) = delete;

    // The round trip it adds: each direction waits half of it. Taken by connections accepted
    // after the call; a connection keeps the delay it started with.
    void SetRoundTrip(std::chrono::microseconds roundTrip);

    // Closes the listening socket and every connection, and joins the threads.
    void Stop();

private:
    void AcceptLoop();
    void Forward(int client, std::chrono::nanoseconds oneWay);

    TProxyEndpoint target_;
    std::chrono::steady_clock::time_point deadline_;
    std::atomic<int64_t> oneWayNs_{0};
    int listener_ = -1;
    int stopPipe_[2] = {-1, -1};  // a byte in it wakes and ends every loop
    std::mutex mutex_;
    std::vector<std::thread> connections_;
    std::thread acceptor_;
    bool stopped_ = false;
};

}  // namespace tarvik::bench
