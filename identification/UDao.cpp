#include "identification/UDao.h"

#include <mysql.h>

#include <exception>

#include "client/Session.h"
#include "identification/Messages.h"
#include "platform/Conversions.h"
#include "platform/DateTimeText.h"
#include "platform/Errors.h"
#include "platform/Text.h"

namespace tarvik {
namespace {

// Days from 1970-01-01 of a date in the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

bool LeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// TDaoConnection

TDaoConnection::TDaoConnection(void* owner) : owner_(owner) {}

TDaoConnection::~TDaoConnection() { Disconnect(); }

void TDaoConnection::Connect() {
    if (handle_) return;
    TSessionParameters session;
    session.host = server_.empty() ? std::string("localhost") : server_;
    session.user = username_;
    session.password = password_;
    if (!database_.empty()) session.database = database_;
    session.port = static_cast<unsigned>(port_);
    session.clientFlags = CLIENT_FOUND_ROWS | CLIENT_MULTI_STATEMENTS;
    session.characterSet = "latin1";
    // TCP also for "localhost": the session must look the same to the server wherever it runs.
    session.tcpOnly = true;
    session.connectTimeout = kConnectionTimeout;
    session.readWriteTimeout = kStatementTimeout;
    session.tls = tls_;
    session.linkName = identification_messages::kIdentificationLinkName;
    TConnectionHandle handle = OpenSession(session);
    if (!handle) throw Exception(identification_messages::kClientOutOfMemory);
    handle_ = std::move(handle);
}

void TDaoConnection::Disconnect() {
    handle_.reset();
}

TLinkSecurity TDaoConnection::Security() const { return ReadLinkSecurity(handle_.get(), tls_); }

unsigned long TDaoConnection::ThreadId() const { return handle_ ? mysql_thread_id(handle_.get()) : 0; }

// ---------------------------------------------------------------------------------------------
// TDaoQuery

namespace {

// The session's last failure, its text unchanged and the client library's number with it, as
// the main connection's layer reports its own.
EDatabaseError LinkError(MYSQL* handle) {
    return EDatabaseError(mysql_error(handle), mysql_errno(handle), mysql_sqlstate(handle));
}

}  // namespace

TDaoQuery::TDaoQuery(TDaoConnection& connection) : connection_(connection) {}

TDaoQuery::~TDaoQuery() { FreeResult(); }

void TDaoQuery::FreeResult() {
    result_.reset();
    row_ = nullptr;
    lengths_ = nullptr;
    active_ = false;
}

void TDaoQuery::Open() {
    FreeResult();
    if (!connection_.Connected()) connection_.Connect();
    MYSQL* handle = connection_.handle_.get();
    if (mysql_real_query(handle, sql_.data(), sql_.size()) != 0) throw LinkError(handle);
    result_.reset(mysql_store_result(handle));
    if (!result_ && mysql_field_count(handle) != 0) throw LinkError(handle);
    // A text of several statements leaves further results behind; they are read and dropped
    // here, or the connection could run no other statement. A failing later statement fails
    // the whole open rather than passing unnoticed.
    for (;;) {
        const int next = mysql_next_result(handle);
        if (next < 0) break;
        if (next > 0) {
            EDatabaseError error = LinkError(handle);
            FreeResult();
            throw error;
        }
        TResultHandle more(mysql_store_result(handle));
    }
    if (result_) {
        row_ = mysql_fetch_row(result_.get());
        lengths_ = row_ ? mysql_fetch_lengths(result_.get()) : nullptr;
    }
    active_ = true;
}

int32_t TDaoQuery::RowCount() const {
    if (!result_) return 0;
    return static_cast<int32_t>(mysql_num_rows(result_.get()));
}

bool TDaoQuery::FieldValue(const std::string& name, std::string& value) const {
    MYSQL_RES* result = result_.get();
    const unsigned count = result ? mysql_num_fields(result) : 0;
    for (unsigned i = 0; i < count; ++i) {
        const MYSQL_FIELD* field = mysql_fetch_field_direct(result, i);
        if (!SameText(std::string(field->name, field->name_length), name)) continue;
        if (!row_ || !row_[i]) return false;
        value.assign(row_[i], lengths_[i]);
        return true;
    }
    throw EDatabaseError(Format(identification_messages::kFieldNotFound, name.c_str()));
}

int32_t TDaoQuery::GetFieldInteger(const std::string& name) const {
    std::string text;
    if (!FieldValue(name, text)) return 0;
    return StrToInt(text);
}

std::string TDaoQuery::GetFieldText(const std::string& name) const {
    std::string text;
    if (!FieldValue(name, text)) return std::string();
    return text;
}

double TDaoQuery::GetFieldDateTime(const std::string& name) const {
    std::string text;
    if (!FieldValue(name, text)) return 0.0;
    return DateTimeFromServerText(text);
}

// ---------------------------------------------------------------------------------------------
// TDao

std::unique_ptr<TDaoConnection> TDao::OpenConnection(const std::string& server, const std::string& database,
                                                     const std::string& username, const std::string& password,
                                                     void* owner, int32_t port, const TTlsSettings& tls) {
    auto connection = std::make_unique<TDaoConnection>(owner);
    connection->SetServer(server);
    connection->SetDatabase(database);
    connection->SetUsername(username);
    connection->SetPassword(password);
    connection->SetPort(port);
    connection->SetTls(tls);
    connection->SetLoginPrompt(false);
    try {
        connection->Connect();
    } catch (const std::exception& e) {
        std::string message = e.what();
        connection.reset();
        throw Exception(std::move(message));
    }
    return connection;
}

std::unique_ptr<TDaoQuery> TDao::OpenQuery(TDaoConnection& connection, const std::string& sql, bool raiseOnError,
                                           bool cachedUpdates) {
    auto query = std::make_unique<TDaoQuery>(connection);
    query->SetSQL(sql);
    query->SetCachedUpdates(cachedUpdates);
    try {
        query->Open();
    } catch (const std::exception& e) {
        std::string message = e.what();
        query.reset();
        if (raiseOnError) throw Exception(std::move(message));
        return nullptr;
    }
    return query;
}

// ---------------------------------------------------------------------------------------------

double DateTimeFromServerText(const std::string& text) {
    // "YYYY-MM-DD", then optionally " HH:MM:SS" and a fraction of at least one digit.
    const std::string_view view = text;
    TDateParts date;
    TTimeParts clock;
    bool ok = view.size() >= 10 && ReadDateText(view.substr(0, 10), date);
    if (ok && view.size() > 10)
        ok = view[10] == ' ' && ReadTimeText(view.substr(11), clock) && !clock.negative && clock.hours.size() == 2;
    const int year = date.year, month = date.month, day = date.day, minute = clock.minute, second = clock.second;
    int hour = 0;
    for (const char c : clock.hours) hour = hour * 10 + (c - '0');
    double fraction = 0.0;
    double scale = 0.1;
    for (const char c : clock.fraction) {
        fraction += (c - '0') * scale;
        scale /= 10;
    }
    if (ok && year == 0 && month == 0 && day == 0 && hour == 0 && minute == 0 && second == 0 && fraction == 0.0)
        return 0.0;
    static constexpr int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    ok = ok && year >= 1 && month >= 1 && month <= 12 && day >= 1 &&
         day <= kMonthDays[month - 1] + (month == 2 && LeapYear(year) ? 1 : 0) && hour <= 23 && minute <= 59 &&
         second <= 59;
    if (!ok) throw EConvertError(Format(identification_messages::kInvalidDateTime, text.c_str()));

    const double days = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                                            DaysFromCivil(1899, 12, 30));
    const double time = (hour * 3600.0 + minute * 60.0 + second + fraction) / 86400.0;
    // Before the epoch the time of day still counts away from zero, as date-times of this
    // kind are kept: 1899-12-29 12:00 is -1.5.
    return days >= 0 ? days + time : days - time;
}

}  // namespace tarvik
