#pragma once
// The main connection and its one link to the server.
//
// TDbConnection holds the parameters; TDbTransaction owns the link (one client-library handle)
// and runs statements on it; the queries (DbQuery.h) send everything through their
// transaction's link. The objects know each other without owning each other, and each one
// detaches itself from the others when it goes, so they may be destroyed in any order.

#include <cstdint>
#include <string>
#include <vector>

#include "client/ClientHandles.h"
#include "db/Flight.h"
#include "db/StatementText.h"

namespace tarvik {

class TDbTransaction;
class TDbQuery;

// The connection's parameters (host, database, login, password) keep this many characters.
inline constexpr size_t kMaxConnectionParameterLength = 255;

class TDbConnection {
public:
    TDbConnection();
    ~TDbConnection();
    TDbConnection(const TDbConnection&) = delete;
    TDbConnection& operator=(const TDbConnection&) = delete;

    // Texts are cut to their first kMaxConnectionParameterLength (255) characters. A Host or
    // Database that differs from the current one disconnects first; an equal one changes nothing.
    void SetHost(const std::string& host);
    const std::string& Host() const { return host_; }
    void SetPort(const std::string& port);
    const std::string& Port() const { return port_; }
    void SetDatabase(const std::string& database);
    const std::string& Database() const { return database_; }
    void SetLogin(const std::string& login);
    const std::string& Login() const { return login_; }
    void SetPassword(const std::string& password);
    const std::string& Password() const { return password_; }
    void SetLoginPrompt(bool prompt) { loginPrompt_ = prompt; }
    bool LoginPrompt() const { return loginPrompt_; }
    // Whether the link, when it is opened, lets one text carry several statements
    // (ExecFlight). Off unless a run in flights asks for it; a change applies from the next link.
    void SetMultiStatements(bool allowed) { multiStatements_ = allowed; }
    bool MultiStatements() const { return multiStatements_; }

    bool Connected() const { return connected_; }
    // Makes the client library ready, then opens the link of every attached transaction; when
    // one fails, all of them are disconnected again and the error goes on.
    void Connect();
    // Closes every attached query, disconnects every attached transaction.
    void Disconnect();

private:
    friend class TDbTransaction;
    friend class TDbQuery;

    std::string host_;
    std::string port_ = "3306";
    std::string database_;
    std::string login_;
    std::string password_;
    bool loginPrompt_ = false;
    bool multiStatements_ = false;
    bool connected_ = false;
    std::vector<TDbTransaction*> transactions_;
    std::vector<TDbQuery*> queries_;
};

class TDbTransaction {
public:
    explicit TDbTransaction(TDbConnection& connection);
    ~TDbTransaction();  // closes the link when it is open
    TDbTransaction(const TDbTransaction&) = delete;
    TDbTransaction& operator=(const TDbTransaction&) = delete;

    bool Connected() const { return link_ != nullptr; }
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
    TFlightAnswer ExecFlight(const std::vector<std::string>& statements);
    // Sends nothing: no transaction statement ever reaches the server.
    void Commit();

    // How the server reads backslashes in quoted texts, as its status after the last statement
    // says (sql_mode NO_BACKSLASH_ESCAPES); the usual escapes when the link is closed.
    TQuoting Quoting() const;

private:
    friend class TDbConnection;
    friend class TDbQuery;

    void OpenLink();
    void CloseLink();
    void RequireLink() const;
    // Sends a statement by the link's sending rule; false when the server refused it.
    bool Send(const std::string& text);
    std::string LinkErrorText() const;  // the client library's error text, trimmed
    unsigned LinkErrorNumber() const;   // and its number (mysql_errno)
    TResultHandle StoreResult();  // empty when the statement gave no result

    TDbConnection* connection_;
    TConnectionHandle link_;
    std::vector<TDbQuery*> queries_;
};

}  // namespace tarvik
