#pragma once
// Helpers of the identification tests: connection.conf files of any shape, the executable
// directory pointed at a test's own, and the client library's and server's own error texts.

#include <string>
#include <utility>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/support/ClientErrors.h"
#include "tests/support/TestServer.h"

namespace tarvik::test {

using TConfEntries = std::vector<std::pair<std::string, std::string>>;

// "[connection]" followed by the entries as given (values not encoded here), for files of any
// shape; the program's own writer encodes every value.
std::string ConnectionConfText(const TConfEntries& entries);

// Points the executable directory at a directory of the test's own for its lifetime.
class TScopedExecutableDirectory {
public:
    explicit TScopedExecutableDirectory(const std::string& directory);
    ~TScopedExecutableDirectory();
};

// The first IPv4 address of this machine's host name, asked of the resolver directly.
std::string FirstIPv4OfHostName();

}  // namespace tarvik::test
