#pragma once
// What the client library and the server say for a failure, asked on a session of the test's
// own, so that tests compare against the library's real wording instead of a copy of it.

#include <string>

namespace tarvik::test {

// The client library's own text for a failed TCP connect with these arguments; throws when the
// connect succeeds.
std::string ClientConnectError(const std::string& host, unsigned port, const std::string& user,
                               const std::string& password, const std::string& database);

// The server's own error text for `sql` run in `database` on the test server; throws when the
// statement succeeds.
std::string ServerErrorText(const std::string& database, const std::string& sql);

}  // namespace tarvik::test
