#pragma once
// The main connection and its one link to the server.
//
// TDbConnection holds the parameters; TDbTransaction opens the link (one client-library
// handle), runs statements on it and closes it when it goes; the queries (DbQuery.h) read and
// insert through the same link. All three hold the link (DbLink.h) and none holds another, so
// they may be made and destroyed in any order; the program's owner makes the connection first
// and releases it last.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "client/Session.h"
#include "db/Flight.h"
#include "db/StatementText.h"

namespace tarvik {

class TDbLink;

// The connection's parameters (host, database, login, password) keep this many characters.
inline constexpr size_t kMaxConnectionParameterLength = 255;

class TDbConnection {
public:
    // The port a connection starts with, until SetPort says otherwise.
    static constexpr unsigned kDefaultPort = kDefaultServerPort;

    TDbConnection();
    ~TDbConnection();  // leaves an open link to its transaction, which closes it
    TDbConnection(const TDbConnection&) = delete;
    TDbConnection& operator=(const TDbConnection&) = delete;

    // Texts are cut to their first kMaxConnectionParameterLength (255) characters. A Host or
    // Database that differs from the current one disconnects first; an equal one changes nothing.
    void SetHost(const std::string& host);
    const std::string& Host() const;
    void SetPort(const std::string& port);
    const std::string& Port() const;
    void SetDatabase(const std::string& database);
    const std::string& Database() const;
    void SetLogin(const std::string& login);
    const std::string& Login() const;
    void SetPassword(const std::string& password);
    const std::string& Password() const;
    void SetLoginPrompt(bool prompt) { loginPrompt_ = prompt; }
    bool LoginPrompt() const { return loginPrompt_; }
    // Whether the link, when it is opened, lets one text carry several statements
    // (ExecFlight). Off unless a run in flights asks for it; a change applies from the next link.
    void SetMultiStatements(bool allowed);
    bool MultiStatements() const;
    // Seconds the link waits for an answer before it counts as broken (TConnectionParameters::
    // readTimeoutSeconds); a change applies from the next link.
    void SetReadTimeout(unsigned seconds);
    unsigned ReadTimeout() const;
    // TLS for the link (TConnectionParameters::tls); a change applies from the next link.
    void SetTls(const TTlsSettings& tls);
    const TTlsSettings& Tls() const;

    bool Connected() const;
    // Counts as connected from now on, and opens the link when a transaction is there to own
    // it; when that fails, the link is closed again and the error goes on.
    void Connect();
    // Closes the link: every query reading through it is closed, the transaction disconnected.
    void Disconnect();

    // The link that the transaction and the queries made on this connection share.
    const std::shared_ptr<TDbLink>& Link() const { return link_; }

private:
    bool loginPrompt_ = false;
    std::shared_ptr<TDbLink> link_;
};

class TDbTransaction {
public:
    explicit TDbTransaction(TDbConnection& connection);
    ~TDbTransaction();  // closes the link when it is open
    TDbTransaction(const TDbTransaction&) = delete;
    TDbTransaction& operator=(const TDbTransaction&) = delete;

    bool Connected() const;
    void Connect();
    void Disconnect();

    bool AutoCommit() const { return true; }
    bool TransactSafe() const { return false; }

    // Runs a statement that returns no rows and commits; returns the number of affected rows.
    // A refusal raises "<callerName>: <the client library's error text>", as an
    // EStatementOutcomeUnknown when the link broke on the way (server gone, connection lost).
    uint64_t ExecStatement(const std::string& text, const std::string& callerName);
    // "SELECT " + expression; the first column of the first row ("" for NULL or no row).
    std::string EvaluateExpression(const std::string& expression);
    // Sends the statements as one text, each by the link's sending rule, and reads every
    // answer (db/Flight.h). Needs a link opened with multi-statements allowed.
    // Each answer is checked against its statement; a lost or mismatched one closes the link.
    TFlightAnswer ExecFlight(const std::vector<TFlightStatement>& statements);
    // Sends nothing: no transaction statement ever reaches the server.
    void Commit();
    // The last failure on the link was its read timeout running out (TDbLink::NoteFailure).
    bool TimedOut() const;

    // How the server reads backslashes in quoted texts, as its status after the last statement
    // says (sql_mode NO_BACKSLASH_ESCAPES); the usual escapes when the link is closed.
    TQuoting Quoting() const;

private:
    std::shared_ptr<TDbLink> link_;
};

}  // namespace tarvik
