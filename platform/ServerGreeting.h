#pragma once
// The first packet a database server sends on a new TCP connection, its greeting, read without
// sending a byte: what the server offers (TLS among it) before anything of ours goes out.

#include <string>

namespace tarvik {

// Connects to `host`:`port` over TCP, reads the greeting's payload and closes the connection.
// False, with the reason in `error`, when no whole greeting came within `timeoutSeconds` (no
// such host, nothing listening, a server that does not answer).
bool ReadServerGreeting(const std::string& host, unsigned port, unsigned timeoutSeconds, std::string& payload,
                        std::string& error);

}  // namespace tarvik
