#pragma once
// Opening a session with the client library, for both of the program's connections: the main
// connection's link (db/) and the identification connection (identification/). Each says how
// its session is made; the connect itself, and what a failure carries, is done here once.

#include <cstdint>
#include <optional>
#include <string>

#include "client/ClientHandles.h"
#include "client/Tls.h"

namespace tarvik {

// The port a server listens on unless it is told otherwise: where both of the program's
// connections go when nothing else is set.
inline constexpr unsigned kDefaultServerPort = 3306;

struct TSessionParameters {
    std::string host;
    std::string user;
    std::string password;
    // The session's default database; none at all is not the same as an empty name, which the
    // main connection hands over as it is.
    std::optional<std::string> database;
    unsigned port = kDefaultServerPort;
    unsigned long clientFlags = 0;
    // The client character set, given in the handshake, so that no SET NAMES follows.
    std::string characterSet = "latin1";
    // TCP also for "localhost" (otherwise the library takes the local socket for it).
    bool tcpOnly = false;
    // Seconds; nullopt leaves the client library's own.
    std::optional<unsigned> connectTimeout;
    std::optional<unsigned> readWriteTimeout;
    // TLS as the link's settings ask for it; None leaves the handshake as it always was.
    TTlsSettings tls;
    // The link's name for people ("main connection"), in the errors of a TLS that failed.
    std::string linkName;
};

// A port number a session can go to (1 to 65535).
bool IsPort(int64_t number);
// `text` as a port by the settings' integer rule; false when it is no integer or no port.
bool ReadPort(const std::string& text, int32_t& port);

// The authentication methods a session may use, comma-separated, as the client library
// takes them.
extern const char* const kAllowedAuthenticationMethods;

// A connected handle. An empty one when the client library cannot even make a handle (it is
// out of memory); each caller says that in its own words. When the connect fails, throws
// EDatabaseError with the library's text, unchanged, and its error number (mysql_errno), both
// copied before the handle is released. When the link asked for TLS and the library could not
// set it up as asked (no TLS on the server, a certificate that does not verify), the text names
// the link and the mode before the library's own; nothing was sent to the server but the
// request for TLS.
TConnectionHandle OpenSession(const TSessionParameters& parameters);

// What an error number of the client library says, by the library's own names (mysqld_error.h
// for the server's answers, errmsg.h for the library's own). The first two mean the server
// answered a session's opening: only different settings can mend them.
// The user or password was refused (ER_ACCESS_DENIED_ERROR).
bool IsRefusedLogin(unsigned errorNumber);
// The database the login named was refused: it does not exist (ER_BAD_DB_ERROR) or the user
// may not use it (ER_DBACCESS_DENIED_ERROR).
bool IsRefusedDatabase(unsigned errorNumber);
// The text says that a session could not be opened with the TLS its settings ask for (as
// OpenSession words it; it may stand inside a longer message).
bool IsTlsRefusal(const std::string& text);
// The link broke while a statement was on its way (CR_SERVER_LOST, CR_SERVER_GONE_ERROR): the
// server may have carried it out or not.
bool IsLinkLost(unsigned errorNumber);

}  // namespace tarvik
