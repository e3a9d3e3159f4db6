#pragma once
// How the main connection is set up: the design-time values every program starts from, then
// the server, database and password of sistema_qor.ini. The window and the administrator's
// tool both set their connection up through these, so they can never disagree about where a
// run goes.

#include <string>

namespace tarvik {

class TDbConnection;

// The connection's values before the settings are read (host "localhost", port "3306",
// database "merovan", the built-in login and password, no login prompt).
void SetDesignTimeValues(TDbConnection& connection);

// Host, database, account, port, TLS and deciphered password from section "ip" of
// sistema_qor.ini, read through one reader (account "root", port "3306" and no TLS when the
// file does not name them). Everything else is set before the password is deciphered, so a
// stored password that is not cipher text leaves the design-time password and raises the
// cipher's conversion error.
void ApplyConnectionSettings(TDbConnection& connection);

}  // namespace tarvik
