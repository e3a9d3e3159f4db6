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

// "[connection]" followed by the entries as given (values not encoded here).
std::string ConnectionConfText(const TConfEntries& entries);

// The entries of a connection.conf that reaches the test server on `database`, values encoded.
TConfEntries TestServerConf(const std::string& host, const std::string& database);

// Points the executable directory at a directory of the test's own for its lifetime.
class TScopedExecutableDirectory {
public:
    explicit TScopedExecutableDirectory(const std::string& directory);
    ~TScopedExecutableDirectory();
};

// Sessions that connected with the scratch database as default database, its own admin
// connection left out.
std::vector<unsigned long> SessionsOtherThanAdmin(TScratchDatabase& db);

// The first IPv4 address of this machine's host name, asked of the resolver directly.
std::string FirstIPv4OfHostName();

}  // namespace tarvik::test
