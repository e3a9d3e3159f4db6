#include "tests/support/ClientErrors.h"

#include <mysql.h>

#include <stdexcept>

#include "client/ClientHandles.h"
#include "tests/support/TestServer.h"

namespace tarvik::test {
namespace {

// TCP and latin1, as the program's own sessions connect.
TConnectionHandle NewSession() {
    TConnectionHandle handle(mysql_init(nullptr));
    unsigned protocol = MYSQL_PROTOCOL_TCP;
    mysql_options(handle.get(), MYSQL_OPT_PROTOCOL, &protocol);
    mysql_options(handle.get(), MYSQL_SET_CHARSET_NAME, "latin1");
    return handle;
}

}  // namespace

std::string ClientConnectError(const std::string& host, unsigned port, const std::string& user,
                               const std::string& password, const std::string& database) {
    const TConnectionHandle handle = NewSession();
    if (mysql_real_connect(handle.get(), host.c_str(), user.c_str(), password.c_str(),
                           database.empty() ? nullptr : database.c_str(), port, nullptr, 0))
        throw std::runtime_error("the connect was expected to fail: " + host);
    return mysql_error(handle.get());
}

std::string ServerErrorText(const std::string& database, const std::string& sql) {
    const TServerAddress& server = TestServer();
    const TConnectionHandle handle = NewSession();
    std::string error;
    if (mysql_real_connect(handle.get(), server.host.c_str(), server.user.c_str(), server.password.c_str(),
                           database.empty() ? nullptr : database.c_str(), server.port, nullptr, 0) &&
        mysql_real_query(handle.get(), sql.data(), sql.size()) != 0)
        error = mysql_error(handle.get());
    if (error.empty()) throw std::runtime_error("the statement was expected to fail: " + sql);
    return error;
}

}  // namespace tarvik::test
