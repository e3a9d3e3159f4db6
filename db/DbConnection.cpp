#include "db/DbConnection.h"

#include <algorithm>

#include "db/DbLink.h"
#include "platform/WaitCursor.h"

namespace tarvik {
namespace {

std::string Cut(const std::string& text) {
    return text.substr(0, std::min(text.size(), kMaxConnectionParameterLength));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TDbConnection

TDbConnection::TDbConnection() : link_(std::make_shared<TDbLink>()) {}

TDbConnection::~TDbConnection() { link_->connectionAlive = false; }

const std::string& TDbConnection::Host() const { return link_->parameters.host; }
const std::string& TDbConnection::Port() const { return link_->parameters.port; }
const std::string& TDbConnection::Database() const { return link_->parameters.database; }
const std::string& TDbConnection::Login() const { return link_->parameters.login; }
const std::string& TDbConnection::Password() const { return link_->parameters.password; }

void TDbConnection::SetHost(const std::string& host) {
    const std::string value = Cut(host);
    if (value == Host()) return;
    Disconnect();
    link_->parameters.host = value;
}

void TDbConnection::SetDatabase(const std::string& database) {
    const std::string value = Cut(database);
    if (value == Database()) return;
    Disconnect();
    link_->parameters.database = value;
}

void TDbConnection::SetPort(const std::string& port) { link_->parameters.port = Cut(port); }
void TDbConnection::SetLogin(const std::string& login) { link_->parameters.login = Cut(login); }
void TDbConnection::SetPassword(const std::string& password) { link_->parameters.password = Cut(password); }

void TDbConnection::SetMultiStatements(bool allowed) { link_->parameters.multiStatements = allowed; }
bool TDbConnection::MultiStatements() const { return link_->parameters.multiStatements; }
void TDbConnection::SetReadTimeout(unsigned seconds) { link_->parameters.readTimeoutSeconds = seconds; }
unsigned TDbConnection::ReadTimeout() const { return link_->parameters.readTimeoutSeconds; }

void TDbConnection::SetTls(const TTlsSettings& tls) { link_->parameters.tls = tls; }
const TTlsSettings& TDbConnection::Tls() const { return link_->parameters.tls; }

bool TDbConnection::Connected() const { return link_->connected; }

void TDbConnection::Connect() { link_->Connect(); }

void TDbConnection::Disconnect() {
    if (!link_->connected) return;
    TWaitCursor cursor;
    link_->Close();
    link_->connected = false;
}

// ---------------------------------------------------------------------------------------------
// TDbTransaction

TDbTransaction::TDbTransaction(TDbConnection& connection) : link_(connection.Link()) { ++link_->transactions; }

TDbTransaction::~TDbTransaction() {
    --link_->transactions;
    link_->Close();
}

bool TDbTransaction::Connected() const { return link_->IsOpen(); }

void TDbTransaction::Connect() { link_->Activate(); }

void TDbTransaction::Disconnect() {
    if (!Connected()) return;
    TWaitCursor cursor;
    link_->Close();
}

TQuoting TDbTransaction::Quoting() const { return link_->Quoting(); }

uint64_t TDbTransaction::ExecStatement(const std::string& text, const std::string& callerName) {
    TWaitCursor cursor;
    const uint64_t affected = link_->Execute(text, callerName);
    if (AutoCommit()) Commit();
    return affected;
}

std::string TDbTransaction::EvaluateExpression(const std::string& expression) {
    return link_->Evaluate(expression);
}

TFlightAnswer TDbTransaction::ExecFlight(const std::vector<TFlightStatement>& statements) {
    return link_->ExecuteFlight(statements);
}

bool TDbTransaction::TimedOut() const { return link_->TimedOut(); }

void TDbTransaction::Commit() {
    TWaitCursor cursor;
    link_->RequireOpen();
    // Never transaction-safe: every statement takes effect under the server's own commit mode.
}

}  // namespace tarvik
