#include "client/Session.h"

#include <errmsg.h>
#include <mysql.h>
#include <mysqld_error.h>

#include "client/Messages.h"

#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/LibrarySearch.h"
#include "platform/ServerGreeting.h"

namespace tarvik {

// The methods the program logs in with, all built into the library for Windows: MariaDB's
// and MySQL 5.7's native password, MySQL 8.0's two, MariaDB's ed25519. Any other method a
// server (or whatever answers on its address) asks for is refused by the library, naming it,
// instead of being looked for as a plugin of that name.
const char* const kAllowedAuthenticationMethods =
    "mysql_native_password,caching_sha2_password,sha256_password,client_ed25519";

namespace {

// How long the greeting may take when the session sets no connect timeout of its own.
constexpr unsigned kGreetingTimeoutSeconds = 15;

// The library's own text for a refused method names the greeting's method, not the refused
// one, when the refused one came by a switch (and then often nothing, or part of a name).
// Ours names it where the library's text does, and says which methods the program uses.
std::string RefusedMethodText(const std::string& libraryText) {
    const size_t open = libraryText.find('\'');
    const size_t close = open == std::string::npos ? std::string::npos : libraryText.find('\'', open + 1);
    std::string method = close == std::string::npos ? std::string() : libraryText.substr(open + 1, close - open - 1);
    std::string allowed = kAllowedAuthenticationMethods;
    for (size_t comma = allowed.find(','); comma != std::string::npos; comma = allowed.find(',', comma + 2))
        allowed.replace(comma, 1, ", ");
    // The library lets through any name that is part of the list, so a name that is part of it
    // is the greeting's (or a piece of it), never the one refused.
    if (method.empty() || std::string(kAllowedAuthenticationMethods).find(method) != std::string::npos)
        return Format(client_messages::kUnnamedMethodNotAllowed, allowed.c_str());
    return Format(client_messages::kMethodNotAllowed, method.c_str(), allowed.c_str());
}

// The library's own number for a TLS that could not be set up, or a link lost in the middle of
// the TLS handshake (a server that refused the client's certificate closes it so).
bool IsTlsFailure(unsigned errorNumber, const std::string& text) {
    if (errorNumber == CR_SSL_CONNECTION_ERROR) return true;
    return errorNumber == CR_SERVER_LOST && (text.find("SSL") != std::string::npos || text.find("TLS") != std::string::npos);
}

}  // namespace

TConnectionHandle OpenSession(const TSessionParameters& p) {
    if (!p.tls.fault.empty()) throw EConvertError(p.tls.fault);
    TConnectionHandle handle(mysql_init(nullptr));
    if (!handle) return handle;
    MYSQL* h = handle.get();
    const auto refuseTls = [&p](const std::string& reason, unsigned number) {
        return EDatabaseError(Format(client_messages::kTlsRefused, p.linkName.c_str(),
                                     (p.user + "@" + p.host + ":" + std::to_string(p.port)).c_str(),
                                     TlsModeName(p.tls.mode), reason.c_str()),
                              number, "HY000");
    };
    // Asked for TLS without verifying, the client library logs in in clear on a server that offers
    // none (it only refuses such a server when it verifies). Its greeting tells beforehand, so a
    // login never goes out in clear on a link that asks for TLS.
    if (p.tls.mode == TTlsMode::Required && !p.host.empty() && p.host != "localhost") {
        std::string payload, error;
        if (ReadServerGreeting(p.host, p.port, p.connectTimeout.value_or(kGreetingTimeoutSeconds), payload, error) &&
            GreetingTls(payload) == TGreetingTls::NotOffered)
            throw refuseTls(client_messages::kServerOffersNoTls, CR_SSL_CONNECTION_ERROR);
    }
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
    ApplyTlsOptions(h, p.tls);
    if (p.readWriteTimeout) {
        unsigned seconds = *p.readWriteTimeout;
        mysql_options(h, MYSQL_OPT_READ_TIMEOUT, &seconds);
        mysql_options(h, MYSQL_OPT_WRITE_TIMEOUT, &seconds);
    }
    if (!mysql_real_connect(h, p.host.c_str(), p.user.c_str(), p.password.c_str(),
                            p.database ? p.database->c_str() : nullptr, p.port, nullptr, p.clientFlags)) {
        // Copied before the handle goes.
        if (mysql_errno(h) == CR_PLUGIN_NOT_ALLOWED)
            throw EDatabaseError(RefusedMethodText(mysql_error(h)), CR_PLUGIN_NOT_ALLOWED);
        if (p.tls.mode != TTlsMode::None && IsTlsFailure(mysql_errno(h), mysql_error(h)))
            throw refuseTls(mysql_error(h), mysql_errno(h));
        throw EDatabaseError(mysql_error(h), mysql_errno(h), mysql_sqlstate(h));
    }
    // Whatever happened on the way (a server that stopped offering TLS after its greeting was
    // read, a link through a local socket), a link that asked for TLS and has none is closed
    // before any statement.
    if (p.tls.mode != TTlsMode::None && !mysql_get_ssl_cipher(h))
        throw refuseTls(client_messages::kServerOffersNoTls, CR_SSL_CONNECTION_ERROR);
    return handle;
}

bool IsPort(int64_t number) { return number >= 1 && number <= 65535; }

bool ReadPort(const std::string& text, int32_t& port) { return TryStrToInt(text, port) && IsPort(port); }

bool IsRefusedLogin(unsigned errorNumber) { return errorNumber == ER_ACCESS_DENIED_ERROR; }

bool IsRefusedDatabase(unsigned errorNumber) {
    return errorNumber == ER_BAD_DB_ERROR || errorNumber == ER_DBACCESS_DENIED_ERROR;
}

bool IsTlsRefusal(const std::string& text) { return text.find(client_messages::kTlsRefusedTail) != std::string::npos; }

bool IsLinkLost(unsigned errorNumber) { return errorNumber == CR_SERVER_LOST || errorNumber == CR_SERVER_GONE_ERROR; }

}  // namespace tarvik
