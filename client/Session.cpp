#include "client/Session.h"

#include <mysql.h>
#include <mysqld_error.h>

#include "platform/Errors.h"
#include "platform/LibrarySearch.h"

namespace tarvik {

// The methods the program logs in with, all built into the library for Windows: MariaDB's
// and MySQL 5.7's native password, MySQL 8.0's two, MariaDB's ed25519. Any other method a
// server (or whatever answers on its address) asks for is refused by the library, naming it,
// instead of being looked for as a plugin of that name.
const char* const kAllowedAuthenticationMethods =
    "mysql_native_password,caching_sha2_password,sha256_password,client_ed25519";

TConnectionHandle OpenSession(const TSessionParameters& p) {
    TConnectionHandle handle(mysql_init(nullptr));
    if (!handle) return handle;
    MYSQL* h = handle.get();
    mysql_optionsv(h, MARIADB_OPT_RESTRICTED_AUTH, kAllowedAuthenticationMethods);
    // The library loads a method it does not hold before it checks the list above: it may
    // only look in a folder that only administrators can write.
    const std::string pluginFolder = ClientPluginFolder();
    if (!pluginFolder.empty()) mysql_options(h, MYSQL_PLUGIN_DIR, pluginFolder.c_str());
    if (p.connectTimeout) {
        unsigned seconds = *p.connectTimeout;
        mysql_options(h, MYSQL_OPT_CONNECT_TIMEOUT, &seconds);
    }
    if (p.tcpOnly) {
        unsigned protocol = MYSQL_PROTOCOL_TCP;
        mysql_options(h, MYSQL_OPT_PROTOCOL, &protocol);
    }
    mysql_options(h, MYSQL_SET_CHARSET_NAME, p.characterSet.c_str());
    if (p.readWriteTimeout) {
        unsigned seconds = *p.readWriteTimeout;
        mysql_options(h, MYSQL_OPT_READ_TIMEOUT, &seconds);
        mysql_options(h, MYSQL_OPT_WRITE_TIMEOUT, &seconds);
    }
    if (!mysql_real_connect(h, p.host.c_str(), p.user.c_str(), p.password.c_str(),
                            p.database ? p.database->c_str() : nullptr, p.port, nullptr, p.clientFlags))
        throw EDatabaseError(mysql_error(h), mysql_errno(h));  // copied before the handle goes
    return handle;
}

bool IsRefusedLogin(unsigned errorNumber) { return errorNumber == ER_ACCESS_DENIED_ERROR; }

bool IsRefusedDatabase(unsigned errorNumber) {
    return errorNumber == ER_BAD_DB_ERROR || errorNumber == ER_DBACCESS_DENIED_ERROR;
}

}  // namespace tarvik
