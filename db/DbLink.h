#pragma once
// The main connection's one link to the server and the parameters it opens with, held alike by
// the connection, its transaction and its queries. Nobody points back at anybody: the
// connection and the transaction mark here that they are there, the transaction closes the
// link when it goes, and a query tells by the link's generation whether what it read came
// through the link as it is now. So any of the three may go first.

#include <chrono>
#include <cstdint>
#include <string>

#include <vector>

#include "client/ClientHandles.h"
#include "client/Session.h"
#include "db/Flight.h"
#include "db/StatementText.h"

namespace tarvik {

struct TConnectionParameters {
    std::string host;
    std::string port = std::to_string(kDefaultServerPort);
    std::string database;
    std::string login;
    std::string password;
    // One text may carry several statements (a run in flights asks for it on its own link).
    bool multiStatements = false;
    // Seconds the link waits for each answer (and to send) before it gives up as broken: long
    // enough for the slowest statement a branch sends (a probe of a large table without an index,
    // an INSERT that waits for another session's row locks), short enough that a server that
    // went quiet, or ended a text without answering all of it, ends a run instead of holding it
    // (and its run lock) for hours.
    unsigned readTimeoutSeconds = kDefaultReadTimeoutSeconds;
    // Seconds to reach the server and get its greeting: a server that accepts the connection
    // and never answers ends the connect here.
    unsigned connectTimeoutSeconds = kDefaultConnectTimeoutSeconds;
    // TLS as the settings ask for it (none unless they do).
    TTlsSettings tls;

    static constexpr unsigned kDefaultReadTimeoutSeconds = 300;
    static constexpr unsigned kDefaultConnectTimeoutSeconds = 15;
};

class TDbLink {
public:
    TConnectionParameters parameters;
    bool connectionAlive = true;  // the TDbConnection is there
    bool connected = false;       // TDbConnection::Connected
    int transactions = 0;         // TDbTransaction objects on this link (the program makes one)

    bool IsOpen() const { return handle_ != nullptr; }
    // Changes whenever the link closes: a result stored at another generation is gone.
    uint64_t Generation() const { return generation_; }

    // The connection's Connect: counts as connected, and opens the link when a transaction is
    // there to own it; when that fails, the link is closed again and the error goes on.
    void Connect();
    // The transaction's Connect: the connection first, then the link if it is still closed.
    void Activate();
    // Closes the link (if open); every result read through it is gone.
    void Close();

    // Runs a statement that returns no rows; the number of affected rows. A refusal raises
    // "<callerName>: <the client library's error text>", as an EStatementOutcomeUnknown when
    // the link broke on the way.
    uint64_t Execute(const std::string& text, const std::string& callerName);
    // "SELECT " + expression; the first column of the first row ("" for NULL or no row).
    std::string Evaluate(const std::string& expression);
    // The statements as one text, each by the sending rule, and every answer, each checked
    // against its statement (db/Flight.h). Closes the link when an answer is lost or does not
    // match.
    TFlightAnswer ExecuteFlight(const std::vector<TFlightStatement>& statements);

    // The character set the server reads and writes the link in, as its results show it. The
    // program's texts are latin1 byte for byte, and the handshake asks for latin1; a server that
    // ignores that (skip-character-set-client-handshake, or an init_connect that sets other names)
    // would read the values in its own set, where the second byte of a character can be a
    // backslash or a quote. Each stored result is shown here until one tells the set (a text
    // column's character set number). Latin1: nothing more is done. Another set: the link is
    // switched to latin1 (SET NAMES through the client library) and true comes back: whatever was
    // read through the link so far must be read again. A server that still answers in another set
    // after the switch raises an error naming it.
    bool SettleCharacterSet(st_mysql_res* result);
    // Raises that error when the link is known to be in another set than latin1: no value is
    // written through it then.
    void RequireLatin1() const;

    // Sends a statement by the link's sending rule; false when the server refused it. Raises
    // "Not connected yet" on a closed link, as RequireOpen does.
    bool Send(const std::string& text);
    void RequireOpen() const;
    TResultHandle StoreResult();    // empty when the statement gave no result
    std::string ErrorText() const;  // the client library's error text, trimmed
    unsigned ErrorNumber() const;   // and its number (mysql_errno)
    std::string SqlState() const;   // and its SQLSTATE
    // Records whether the failure just seen was the read timeout running out on a call that
    // began at `since` (rather than a link that broke): TimedOut() says so until the link opens
    // again.
    void NoteFailure(std::chrono::steady_clock::time_point since);
    bool TimedOut() const { return timedOut_; }
    // What the open link is (in clear or encrypted, and how); in clear when it is closed.
    TLinkSecurity Security() const;
    // How the server reads backslashes in quoted texts, as its status after the last statement
    // says (sql_mode NO_BACKSLASH_ESCAPES); the usual escapes when the link is closed.
    TQuoting Quoting() const;

private:
    void Open();

    enum class TCharacterSet { Unknown, Latin1, SwitchedToLatin1, Other };

    TConnectionHandle handle_;
    uint64_t generation_ = 0;
    TCharacterSet characterSet_ = TCharacterSet::Unknown;
    std::string otherCharacterSet_;  // its name, while characterSet_ is Other
    bool timedOut_ = false;
};

}  // namespace tarvik
