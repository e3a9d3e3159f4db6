#pragma once
// The main connection's one link to the server and the parameters it opens with, held alike by
// the connection, its transaction and its queries. Nobody points back at anybody: the
// connection and the transaction mark here that they are there, the transaction closes the
// link when it goes, and a query tells by the link's generation whether what it read came
// through the link as it is now. So any of the three may go first.

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
    // The statements as one text, each by the sending rule, and every answer (db/Flight.h).
    TFlightAnswer ExecuteFlight(const std::vector<std::string>& statements);

    // Sends a statement by the link's sending rule; false when the server refused it. Raises
    // "Not connected yet" on a closed link, as RequireOpen does.
    bool Send(const std::string& text);
    void RequireOpen() const;
    TResultHandle StoreResult();    // empty when the statement gave no result
    std::string ErrorText() const;  // the client library's error text, trimmed
    unsigned ErrorNumber() const;   // and its number (mysql_errno)
    // How the server reads backslashes in quoted texts, as its status after the last statement
    // says (sql_mode NO_BACKSLASH_ESCAPES); the usual escapes when the link is closed.
    TQuoting Quoting() const;

private:
    void Open();

    TConnectionHandle handle_;
    uint64_t generation_ = 0;
};

}  // namespace tarvik
