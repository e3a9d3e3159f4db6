#pragma once
// Helpers shared by the identification tests: connection.conf files in a temporary
// directory, scoped working/executable directories, and exact error assertions.

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/support/TestServer.h"

namespace tarvik::test {

// Upper-case hex of every byte, as connection.conf stores its values.
std::string HexEncode(const std::string& text);

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

// Makes `directory` the working directory for its lifetime.
class TScopedWorkingDirectory {
public:
    explicit TScopedWorkingDirectory(const std::string& directory);
    ~TScopedWorkingDirectory();

private:
    std::string previous_;
};

// The client library's own text for a failed TCP connect with these arguments.
std::string ClientConnectError(const std::string& host, unsigned port, const std::string& user,
                               const std::string& password, const std::string& database);

// The server's own error text for `sql` run in `database` on a connection of the test's own.
std::string ServerErrorText(const std::string& database, const std::string& sql);

// Sessions that connected with the scratch database as default database, its own admin
// connection left out.
std::vector<unsigned long> SessionsOtherThanAdmin(TScratchDatabase& db);

// The first IPv4 address of this machine's host name, asked of the resolver directly.
std::string FirstIPv4OfHostName();

// Runs `action` and checks that it throws exactly `E` (not a subclass) with exactly `message`.
template <class E, class F>
::testing::AssertionResult ThrowsExactly(F&& action, const std::string& message) {
    try {
        std::forward<F>(action)();
    } catch (const E& e) {
        if (typeid(e) != typeid(E))
            return ::testing::AssertionFailure() << "thrown type is " << typeid(e).name() << ", not "
                                                 << typeid(E).name() << " (message: " << e.what() << ")";
        if (e.what() != message)
            return ::testing::AssertionFailure() << "message is\n  \"" << e.what() << "\"\nnot\n  \"" << message
                                                 << "\"";
        return ::testing::AssertionSuccess();
    } catch (const std::exception& e) {
        return ::testing::AssertionFailure() << "another error was thrown: " << typeid(e).name() << ": "
                                             << e.what();
    }
    return ::testing::AssertionFailure() << "nothing was thrown";
}

}  // namespace tarvik::test
