#pragma once
// The few pieces of the server's side of the client-server protocol that the tests' listeners
// play: framing packets, and the greeting that starts a login.

#include <atomic>
#include <functional>
#include <string>

namespace tarvik::test {

// A listening TCP socket on `address`:`port` (0: a free port, which `bound` receives). Throws
// std::runtime_error when it cannot listen.
int Listen(const std::string& address, unsigned port, unsigned& bound);

// Accepts the connections to `socket` one at a time until `stop` is set, hands each to `serve`
// and closes it once `serve` returns.
void ServeEach(int socket, const std::atomic<bool>& stop, const std::function<void(int client)>& serve);

// Appends `payload` as one packet with its 3-byte length and sequence number.
void AppendPacket(std::string& out, unsigned char sequence, const std::string& payload);
// Writes all of `data`; false when the peer is gone.
bool SendAll(int fd, const std::string& data);
// One packet's payload (and its sequence number, when asked); false when the peer hung up or
// sent nothing for `seconds`.
bool ReadPacket(int fd, std::string& payload, int seconds, unsigned char* sequence = nullptr);
// A protocol-10 greeting naming `method`, latin1, with multi-statements and multi-results and
// without TLS or the deprecated-EOF form.
std::string Greeting(const std::string& method);
// A length-encoded integer and a length-encoded string.
void AppendLengthEncoded(std::string& out, unsigned long long value);
void AppendLengthEncoded(std::string& out, const std::string& text);

}  // namespace tarvik::test
