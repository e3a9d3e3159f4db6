#include "client/Session.h"

#include <errmsg.h>
#include <mysql.h>
#include <mysqld_error.h>

#include "platform/Errors.h"

namespace tarvik {

TConnectionHandle OpenSession(const TSessionParameters& p) {
    TConnectionHandle handle(mysql_init(nullptr));
    if (!handle) return handle;
    MYSQL* h = handle.get();
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

bool IsLinkLost(unsigned errorNumber) { return errorNumber == CR_SERVER_LOST || errorNumber == CR_SERVER_GONE_ERROR; }

}  // namespace tarvik
