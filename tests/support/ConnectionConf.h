#pragma once

#include <string>

#include "tests/support/TestServer.h"

namespace tarvik::test {

// The program's own connection.conf (CR LF line ends, values hex-encoded) that reaches
// `database` on `host` as the test server's user.
std::string ConnectionConfFor(const std::string& host, const std::string& database,
                              const std::string& password = TestServer().password);

}  // namespace tarvik::test
