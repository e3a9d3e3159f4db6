#pragma once
// The identification connection's data access: a connection and a read-only query over the
// MySQL C client library. Its session is its own (TCP, latin1, long time-outs, nothing sent
// after the handshake) and is not shared with the main connection's data layer.

#include <cstdint>
#include <memory>
#include <string>

#include "client/ClientHandles.h"
#include "client/Session.h"

namespace tarvik {

class TDaoQuery;

// One MySQL session.
class TDaoConnection {
public:
    static constexpr int32_t kDefaultPort = kDefaultServerPort;
    static constexpr unsigned kConnectionTimeout = 15;     // seconds
    // Seconds each answer may take: the record is one row, so a server that has not answered
    // in this time has gone quiet, and the program stops waiting instead of hanging.
    static constexpr unsigned kStatementTimeout = 300;

    // The owner is recorded only; whoever holds the returned object releases it.
    explicit TDaoConnection(void* owner = nullptr);
    ~TDaoConnection();  // disconnects first
    TDaoConnection(const TDaoConnection&) = delete;
    TDaoConnection& operator=(const TDaoConnection&) = delete;

    void* Owner() const { return owner_; }

    void SetServer(const std::string& value) { server_ = value; }
    const std::string& Server() const { return server_; }
    void SetDatabase(const std::string& value) { database_ = value; }
    const std::string& Database() const { return database_; }
    void SetUsername(const std::string& value) { username_ = value; }
    const std::string& Username() const { return username_; }
    void SetPassword(const std::string& value) { password_ = value; }
    const std::string& Password() const { return password_; }
    void SetPort(int32_t value) { port_ = value; }
    int32_t Port() const { return port_; }
    unsigned ConnectionTimeout() const { return kConnectionTimeout; }
    void SetTls(const TTlsSettings& value) { tls_ = value; }
    // What the open session is (in clear or encrypted, and how).
    TLinkSecurity Security() const;
    void SetLoginPrompt(bool value) { loginPrompt_ = value; }
    bool LoginPrompt() const { return loginPrompt_; }

    // Opens the session; throws EDatabaseError with the client library's text and error number
    // when it fails. A connected object stays as it is.
    void Connect();
    // Ends the session (mysql_close); nothing when not connected.
    void Disconnect();
    bool Connected() const { return handle_ != nullptr; }

    // The server's id of this session, as the handshake told it (0 when not connected);
    // nothing is sent to learn it.
    unsigned long ThreadId() const;

private:
    friend class TDaoQuery;

    void* owner_;
    std::string server_;
    std::string database_;
    std::string username_;
    std::string password_;
    int32_t port_ = kDefaultPort;
    bool loginPrompt_ = true;
    TTlsSettings tls_;
    TConnectionHandle handle_;
};

// One executed statement with its whole result on the client; the first row is current.
class TDaoQuery {
public:
    explicit TDaoQuery(TDaoConnection& connection);
    ~TDaoQuery();  // frees the stored result; nothing is sent
    TDaoQuery(const TDaoQuery&) = delete;
    TDaoQuery& operator=(const TDaoQuery&) = delete;

    TDaoConnection& Connection() const { return connection_; }
    void SetSQL(const std::string& value) { sql_ = value; }
    const std::string& SQL() const { return sql_; }
    // Held only: nothing is ever changed through this query.
    void SetCachedUpdates(bool value) { cachedUpdates_ = value; }
    bool CachedUpdates() const { return cachedUpdates_; }

    // Sends SQL as one text and stores the whole result; throws EDatabaseError with the client
    // library's or the server's text and its error number (mysql_errno) when it fails. A
    // statement without a result set opens as a query without columns or rows.
    void Open();
    bool Active() const { return active_; }

    int32_t RowCount() const;
    // The named column (letter case ignored) of the current row.
    int32_t GetFieldInteger(const std::string& name) const;    // NULL: 0
    std::string GetFieldText(const std::string& name) const;   // NULL: empty; bytes as received
    double GetFieldDateTime(const std::string& name) const;    // days since 1899-12-30; NULL, zero date: 0.0

private:
    // The current row's value of the named column; false when it is NULL.
    bool FieldValue(const std::string& name, std::string& value) const;
    void FreeResult();

    TDaoConnection& connection_;
    std::string sql_;
    bool cachedUpdates_ = false;
    bool active_ = false;
    TResultHandle result_;
    char** row_ = nullptr;    // MYSQL_ROW of the current row, nullptr when there is none
    unsigned long* lengths_ = nullptr;
};

// The two entry points of the identification code; class functions only.
class TDao {
public:
    TDao() = delete;

    // A connected session, owned by the caller. Any failure releases the object and raises a
    // plain Exception with the failure's text unchanged; the error number goes no further
    // (whoever needs it connects a TDaoConnection itself). `tls` as the link's settings ask.
    static std::unique_ptr<TDaoConnection> OpenConnection(const std::string& server, const std::string& database,
                                                          const std::string& username, const std::string& password,
                                                          void* owner, int32_t port,
                                                          const TTlsSettings& tls = TTlsSettings());

    // An open query, owned by the caller. When the open fails the query is released; then a
    // plain Exception with the failure's text is raised when raiseOnError is true, and
    // nullptr is returned otherwise; as above, the error number goes no further (whoever
    // needs it opens a TDaoQuery itself).
    static std::unique_ptr<TDaoQuery> OpenQuery(TDaoConnection& connection, const std::string& sql,
                                                bool raiseOnError, bool cachedUpdates);
};

// Days since 1899-12-30, the fraction being the time of day, of a date or date-and-time text
// as the server sends it ("YYYY-MM-DD", "YYYY-MM-DD hh:mm:ss[.ffffff]"); the zero date gives
// 0.0. Throws EConvertError for any other text.
double DateTimeFromServerText(const std::string& text);

}  // namespace tarvik
