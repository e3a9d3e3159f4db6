#include "db/DbConnection.h"

#include <errmsg.h>
#include <mysql.h>

#include <algorithm>

#include "client/Session.h"
#include "db/DbQuery.h"
#include "db/Messages.h"
#include "db/StatementText.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/Text.h"
#include "platform/WaitCursor.h"

namespace tarvik {
namespace {

std::string Cut(const std::string& text) {
    return text.substr(0, std::min(text.size(), kMaxConnectionParameterLength));
}

template <typename T>
void Remove(std::vector<T*>& list, T* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TDbConnection

TDbConnection::TDbConnection() = default;

TDbConnection::~TDbConnection() {
    for (TDbTransaction* transaction : transactions_) transaction->connection_ = nullptr;
    for (TDbQuery* query : queries_) query->connection_ = nullptr;
}

void TDbConnection::SetHost(const std::string& host) {
    const std::string value = Cut(host);
    if (value == host_) return;
    Disconnect();
    host_ = value;
}

void TDbConnection::SetDatabase(const std::string& database) {
    const std::string value = Cut(database);
    if (value == database_) return;
    Disconnect();
    database_ = value;
}

void TDbConnection::SetPort(const std::string& port) { port_ = Cut(port); }
void TDbConnection::SetLogin(const std::string& login) { login_ = Cut(login); }
void TDbConnection::SetPassword(const std::string& password) { password_ = Cut(password); }

void TDbConnection::Connect() {
    if (connected_) return;
    TWaitCursor cursor;
    // The client library is linked in and makes itself ready at the first mysql_init.
    connected_ = true;
    try {
        // A transaction may detach itself while it connects, so walk a copy.
        const std::vector<TDbTransaction*> transactions = transactions_;
        for (TDbTransaction* transaction : transactions)
            if (!transaction->Connected()) transaction->Connect();
    } catch (...) {
        for (TDbTransaction* transaction : transactions_) transaction->CloseLink();
        connected_ = false;
        throw;
    }
    for (TDbTransaction* transaction : transactions_) {
        if (!transaction->Connected()) {
            for (TDbTransaction* t : transactions_) t->CloseLink();
            connected_ = false;
            throw EDatabaseError(db_messages::kServerConnectionError);
        }
    }
}

void TDbConnection::Disconnect() {
    if (!connected_) return;
    TWaitCursor cursor;
    for (TDbQuery* query : queries_) {
        try {
            query->Close();
        } catch (const std::exception&) {
            // A query that cannot close cleanly must not keep the connection open.
        }
    }
    for (TDbTransaction* transaction : transactions_) transaction->Disconnect();
    connected_ = false;
}

// ---------------------------------------------------------------------------------------------
// TDbTransaction

TDbTransaction::TDbTransaction(TDbConnection& connection) : connection_(&connection) {
    connection.transactions_.push_back(this);
    for (TDbQuery* query : connection.queries_)
        if (query->transaction_ == this) queries_.push_back(query);
}

TDbTransaction::~TDbTransaction() {
    for (TDbQuery* query : queries_) {
        query->Release();
        query->transaction_ = nullptr;
    }
    queries_.clear();
    CloseLink();
    if (connection_) Remove(connection_->transactions_, this);
}

void TDbTransaction::Connect() {
    if (Connected()) return;
    TWaitCursor cursor;
    if (!connection_) throw EDatabaseError(db_messages::kNoDatabaseComponent);
    // Connecting the connection connects every transaction attached to it, this one included.
    if (!connection_->Connected()) connection_->Connect();
    if (!Connected()) OpenLink();
    if (!Connected()) throw EDatabaseError(db_messages::kTransactionNotActivated);
}

void TDbTransaction::Disconnect() {
    if (!Connected()) return;
    TWaitCursor cursor;
    CloseLink();
}

void TDbTransaction::OpenLink() {
    const TDbConnection& c = *connection_;
    int32_t port = 0;
    if (!TryStrToInt(c.Port(), port)) throw EConvertError(Format(db_messages::kInvalidInteger, c.Port().c_str()));

    TSessionParameters session;
    session.host = c.Host();
    session.user = c.Login();
    session.password = c.Password();
    // Handed over even when empty: the database is chosen in the handshake, so nothing needs
    // to follow it.
    session.database = c.Database();
    session.port = static_cast<unsigned>(port);
    session.clientFlags = CLIENT_CONNECT_WITH_DB | (c.MultiStatements() ? CLIENT_MULTI_STATEMENTS : 0);
    // The system's texts are single-byte; the library's own default (utf8mb4) would make the
    // server refuse or mangle them. This only fills the handshake, no statement is sent.
    session.characterSet = "latin1";
    TConnectionHandle handle;
    try {
        handle = OpenSession(session);
    } catch (const EDatabaseError& e) {
        // This link hands on the library's texts trimmed, as it does every text it reports.
        throw EDatabaseError(Trim(e.Message()), e.ErrorNumber());
    }
    if (!handle) throw EDatabaseError(db_messages::kTransactionNotActivated);
    link_ = std::move(handle);
}

void TDbTransaction::CloseLink() {
    if (!link_) return;
    // The queries' stored results must not outlive the handle they came from.
    for (TDbQuery* query : queries_) query->Release();
    link_.reset();
}

void TDbTransaction::RequireLink() const {
    if (!link_) throw EDatabaseError(db_messages::kNotConnected);
}

bool TDbTransaction::Send(const std::string& text) {
    RequireLink();
    const std::string statement = PrepareStatementText(text, Quoting());
    return mysql_query(link_.get(), statement.c_str()) == 0;
}

TQuoting TDbTransaction::Quoting() const {
    return link_ && (link_.get()->server_status & SERVER_STATUS_NO_BACKSLASH_ESCAPES) ? TQuoting::NoBackslashEscapes
                                                                              : TQuoting::BackslashEscapes;
}

std::string TDbTransaction::LinkErrorText() const { return link_ ? Trim(mysql_error(link_.get())) : std::string(); }

unsigned TDbTransaction::LinkErrorNumber() const { return link_ ? mysql_errno(link_.get()) : 0; }

TResultHandle TDbTransaction::StoreResult() { return TResultHandle(mysql_store_result(link_.get())); }

uint64_t TDbTransaction::ExecStatement(const std::string& text, const std::string& callerName) {
    TWaitCursor cursor;
    if (!Send(text)) {
        const unsigned number = LinkErrorNumber();
        std::string message = Format(db_messages::kCallerError, callerName.c_str(), LinkErrorText().c_str());
        // With the link gone the server's answer is lost, not its work: the statement may
        // have taken effect, and a caller that counts what it changed must know that.
        if (number == CR_SERVER_LOST || number == CR_SERVER_GONE_ERROR)
            throw EStatementOutcomeUnknown(std::move(message), number);
        throw EDatabaseError(std::move(message), number);
    }
    const uint64_t affected = mysql_affected_rows(link_.get());
    if (AutoCommit()) Commit();
    return affected;
}

std::string TDbTransaction::EvaluateExpression(const std::string& expression) {
    TWaitCursor cursor;
    if (!Send("SELECT " + expression)) throw EDatabaseError(LinkErrorText(), LinkErrorNumber());
    const TResultHandle result = StoreResult();
    if (!result) throw EDatabaseError(LinkErrorText(), LinkErrorNumber());
    std::string value;
    if (mysql_num_fields(result.get()) > 0) {
        if (MYSQL_ROW row = mysql_fetch_row(result.get())) {
            const unsigned long* lengths = mysql_fetch_lengths(result.get());
            if (row[0]) value.assign(row[0], lengths[0]);
        }
    }
    return value;
}

void TDbTransaction::Commit() {
    TWaitCursor cursor;
    RequireLink();
    // Never transaction-safe: every statement takes effect under the server's own commit mode.
}

}  // namespace tarvik
