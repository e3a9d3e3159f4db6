#include "db/DbLink.h"

#include <mysql.h>

#include <chrono>

#include "client/Session.h"
#include "db/Messages.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/Text.h"
#include "platform/WaitCursor.h"

namespace tarvik {

void TDbLink::Connect() {
    if (connected) return;
    TWaitCursor cursor;
    // The client library is linked in and makes itself ready at the first mysql_init.
    connected = true;
    if (transactions == 0 || IsOpen()) return;
    try {
        Open();
    } catch (...) {
        Close();
        connected = false;
        throw;
    }
}

void TDbLink::Activate() {
    if (IsOpen()) return;
    TWaitCursor cursor;
    if (!connectionAlive) throw EDatabaseError(db_messages::kNoDatabaseComponent);
    // Connecting the connection opens the link already.
    if (!connected) Connect();
    if (!IsOpen()) Open();
    if (!IsOpen()) throw EDatabaseError(db_messages::kTransactionNotActivated);
}

void TDbLink::Open() {
    const int32_t port = StrToInt(parameters.port);
    TSessionParameters session;
    session.host = parameters.host;
    session.user = parameters.login;
    session.password = parameters.password;
    // Handed over even when empty: the database is chosen in the handshake, so nothing needs
    // to follow it.
    session.database = parameters.database;
    session.port = static_cast<unsigned>(port);
    session.clientFlags = CLIENT_CONNECT_WITH_DB | (parameters.multiStatements ? CLIENT_MULTI_STATEMENTS : 0);
    // The system's texts are single-byte; the library's own default (utf8mb4) would make the
    // server refuse or mangle them. This only fills the handshake, no statement is sent.
    session.characterSet = "latin1";
    session.readWriteTimeout = parameters.readTimeoutSeconds;
    session.connectTimeout = parameters.connectTimeoutSeconds;
    session.tls = parameters.tls;
    session.linkName = db_messages::kMainLinkName;
    TConnectionHandle handle;
    const auto since = std::chrono::steady_clock::now();
    try {
        handle = OpenSession(session);
    } catch (const EDatabaseError& e) {
        if (IsLinkLost(e.ErrorNumber()) &&
            std::chrono::steady_clock::now() - since >= std::chrono::seconds(parameters.connectTimeoutSeconds)) {
            timedOut_ = true;
            throw EDatabaseError(Format(db_messages::kConnectTimedOut, (parameters.host + ":" + parameters.port).c_str(),
                                        parameters.connectTimeoutSeconds, Trim(e.Message()).c_str()),
                                 e.ErrorNumber(), e.SqlState());
        }
        // This link hands on the library's texts trimmed, as it does every text it reports.
        throw EDatabaseError(Trim(e.Message()), e.ErrorNumber(), e.SqlState());
    }
    if (!handle) throw EDatabaseError(db_messages::kTransactionNotActivated);
    handle_ = std::move(handle);
    characterSet_ = TCharacterSet::Unknown;
    timedOut_ = false;
}

TLinkSecurity TDbLink::Security() const { return ReadLinkSecurity(handle_.get(), parameters.tls); }

void TDbLink::Close() {
    handle_.reset();
    ++generation_;
    characterSet_ = TCharacterSet::Unknown;
}

bool TDbLink::SettleCharacterSet(st_mysql_res* result) {
    if (!result || !handle_) return false;
    if (characterSet_ == TCharacterSet::Latin1 || characterSet_ == TCharacterSet::Other) return false;
    // Numbers and byte strings come as "binary" (63) whatever the link's set: only a text
    // column tells it.
    constexpr unsigned kBinary = 63;
    const unsigned columns = mysql_num_fields(result);
    const MYSQL_FIELD* fields = mysql_fetch_fields(result);
    for (unsigned i = 0; i < columns; ++i) {
        const unsigned number = fields[i].charsetnr;
        if (number == kBinary) continue;
        const MARIADB_CHARSET_INFO* set = mariadb_get_charset_by_nr(number);
        const std::string name = set && set->csname ? set->csname : Format(db_messages::kUnnamedCharacterSet, number);
        if (name == "latin1") {
            characterSet_ = TCharacterSet::Latin1;
            return false;
        }
        if (characterSet_ == TCharacterSet::SwitchedToLatin1) {
            characterSet_ = TCharacterSet::Other;
            otherCharacterSet_ = name;
            RequireLatin1();
        }
        // The server reads the link in its own set: it is told latin1 in so many words.
        if (mysql_set_character_set(handle_.get(), "latin1") != 0) {
            characterSet_ = TCharacterSet::Other;
            otherCharacterSet_ = name;
            RequireLatin1();
        }
        characterSet_ = TCharacterSet::SwitchedToLatin1;
        return true;
    }
    return false;
}

void TDbLink::RequireLatin1() const {
    if (characterSet_ == TCharacterSet::Other)
        throw EDatabaseError(Format(db_messages::kLinkNotLatin1, otherCharacterSet_.c_str()));
}

void TDbLink::RequireOpen() const {
    if (!handle_) throw EDatabaseError(db_messages::kNotConnected);
}

bool TDbLink::Send(const std::string& text) {
    RequireOpen();
    const std::string statement = PrepareStatementText(text, Quoting());
    return mysql_query(handle_.get(), statement.c_str()) == 0;
}

TQuoting TDbLink::Quoting() const {
    return handle_ && (handle_.get()->server_status & SERVER_STATUS_NO_BACKSLASH_ESCAPES)
               ? TQuoting::NoBackslashEscapes
               : TQuoting::BackslashEscapes;
}

std::string TDbLink::ErrorText() const { return handle_ ? Trim(mysql_error(handle_.get())) : std::string(); }

unsigned TDbLink::ErrorNumber() const { return handle_ ? mysql_errno(handle_.get()) : 0; }

std::string TDbLink::SqlState() const { return handle_ ? mysql_sqlstate(handle_.get()) : std::string(); }

void TDbLink::NoteFailure(std::chrono::steady_clock::time_point since) {
    // The client library says "lost connection" for a link that broke and for one that sent
    // nothing for the whole read timeout alike; only the time waited tells the second.
    timedOut_ = IsLinkLost(ErrorNumber()) &&
                std::chrono::steady_clock::now() - since >= std::chrono::seconds(parameters.readTimeoutSeconds) -
                                                               std::chrono::milliseconds(500);
}

TResultHandle TDbLink::StoreResult() { return TResultHandle(mysql_store_result(handle_.get())); }

uint64_t TDbLink::Execute(const std::string& text, const std::string& callerName) {
    TWaitCursor cursor;
    RequireLatin1();
    const auto sent = std::chrono::steady_clock::now();
    if (!Send(text)) {
        const unsigned number = ErrorNumber();
        NoteFailure(sent);
        std::string message = Format(db_messages::kCallerError, callerName.c_str(), ErrorText().c_str());
        // With the link gone the server's answer is lost, not its work: the statement may
        // have taken effect, and a caller that counts what it changed must know that.
        if (IsLinkLost(number)) throw EStatementOutcomeUnknown(std::move(message), number, SqlState());
        throw EInsertRefused(std::move(message), number, SqlState());
    }
    return mysql_affected_rows(handle_.get());
}

std::string TDbLink::Evaluate(const std::string& expression) {
    TWaitCursor cursor;
    const auto sent = std::chrono::steady_clock::now();
    TResultHandle result;
    if (Send("SELECT " + expression)) result = StoreResult();
    if (!result) {
        NoteFailure(sent);
        throw EDatabaseError(ErrorText(), ErrorNumber(), SqlState());
    }
    std::string value;
    if (mysql_num_fields(result.get()) > 0) {
        if (MYSQL_ROW row = mysql_fetch_row(result.get())) {
            const unsigned long* lengths = mysql_fetch_lengths(result.get());
            if (row[0]) value.assign(row[0], lengths[0]);
        }
    }
    return value;
}

}  // namespace tarvik
