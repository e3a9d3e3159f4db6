#include "tests/support/TestServer.h"

#include <mysql.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace tarvik::test {

const TServerAddress& TestServer() {
    static const TServerAddress address = [] {
        TServerAddress a;
        const char* pw = std::getenv("TARVIK_DB_PASSWORD");
        a.password = pw ? pw : "tarvik-test-pw";
        return a;
    }();
    return address;
}

TAdminConnection::TAdminConnection(const std::string& database) : TAdminConnection(TestServer(), database) {}

TAdminConnection::TAdminConnection(const TServerAddress& s, const std::string& database) {
    TConnectionHandle owned(mysql_init(nullptr));
    MYSQL* h = owned.get();
    unsigned protocol = MYSQL_PROTOCOL_TCP;
    mysql_options(h, MYSQL_OPT_PROTOCOL, &protocol);
    if (!mysql_real_connect(h, s.host.c_str(), s.user.c_str(), s.password.c_str(),
                            database.empty() ? nullptr : database.c_str(), s.port, nullptr, 0))
        throw std::runtime_error("test server not reachable (is scripts/test-db running?): " +
                                 std::string(mysql_error(h)));
    handle_ = std::move(owned);
}

TAdminConnection::~TAdminConnection() = default;

void TAdminConnection::Exec(const std::string& sql) {
    MYSQL* h = handle_.get();
    if (mysql_real_query(h, sql.data(), sql.size()) != 0)
        throw std::runtime_error("test setup statement failed: " + std::string(mysql_error(h)) + "\n" + sql);
    // Drain every result, also of multi-statement texts.
    do {
        TResultHandle drained(mysql_store_result(h));
    } while (mysql_next_result(h) == 0);
}

std::vector<TRow> TAdminConnection::Query(const std::string& sql) {
    MYSQL* h = handle_.get();
    if (mysql_real_query(h, sql.data(), sql.size()) != 0)
        throw std::runtime_error("test query failed: " + std::string(mysql_error(h)) + "\n" + sql);
    const TResultHandle result(mysql_store_result(h));
    MYSQL_RES* r = result.get();
    std::vector<TRow> rows;
    if (!r) return rows;
    const unsigned columns = mysql_num_fields(r);
    while (MYSQL_ROW row = mysql_fetch_row(r)) {
        unsigned long* lengths = mysql_fetch_lengths(r);
        TRow out;
        for (unsigned i = 0; i < columns; ++i) {
            if (row[i]) out.emplace_back(std::string(row[i], lengths[i]));
            else out.emplace_back(std::nullopt);
        }
        rows.push_back(std::move(out));
    }
    return rows;
}

unsigned long TAdminConnection::ThreadId() const { return mysql_thread_id(handle_.get()); }

std::string TAdminConnection::Scalar(const std::string& sql) {
    auto rows = Query(sql);
    if (rows.empty() || rows[0].empty() || !rows[0][0]) return std::string();
    return *rows[0][0];
}

TScratchDatabase::TScratchDatabase() {
    static std::atomic<int> counter{0};
    // The process id alone does not tell runs apart under Wine, which hands out the same small
    // ids to every run in a fresh prefix: the general log would mix an earlier run's sessions
    // into this one's. The start of the process (in milliseconds) does.
    static const long long started = std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::system_clock::now().time_since_epoch())
                                         .count();
    name_ = "tarvik_t_" + std::to_string(::getpid()) + "_" + std::to_string(started) + "_" +
            std::to_string(++counter);
    {
        TAdminConnection setup;
        setup.Exec("DROP DATABASE IF EXISTS " + name_);
        setup.Exec("CREATE DATABASE " + name_ + " CHARACTER SET latin1");
    }
    admin_ = std::make_unique<TAdminConnection>(name_);
}

TScratchDatabase::~TScratchDatabase() {
    try {
        admin_->Exec("DROP DATABASE IF EXISTS " + name_);
    } catch (...) {
    }
}

std::vector<unsigned long> TScratchDatabase::SessionsOnThisDatabase() {
    std::vector<unsigned long> ids;
    for (const TRow& row : Query("SELECT thread_id, CONVERT(argument USING latin1) FROM mysql.general_log "
                                 "WHERE command_type = 'Connect'")) {
        const std::string& arg = row[1].value_or("");
        if (arg.find(" on " + name_ + " ") != std::string::npos ||
            (arg.size() >= name_.size() + 4 &&
             arg.compare(arg.size() - name_.size() - 4, std::string::npos, " on " + name_) == 0))
            ids.push_back(std::stoul(row[0].value_or("0")));
    }
    return ids;
}

std::vector<unsigned long> TScratchDatabase::OtherSessions() {
    std::vector<unsigned long> ids;
    for (const unsigned long id : SessionsOnThisDatabase())
        if (id != admin_->ThreadId()) ids.push_back(id);
    return ids;
}

std::vector<std::string> TScratchDatabase::GeneralLog(unsigned long threadId) {
    std::vector<std::string> out;
    for (const TRow& row : Query("SELECT command_type, argument FROM mysql.general_log WHERE thread_id = " +
                                 std::to_string(threadId) + "")) {
        if (row[0].value_or("") == "Quit") continue;
        out.push_back(row[0].value_or("") + "\t" + row[1].value_or(""));
    }
    return out;
}

std::vector<std::string> TScratchDatabase::Statements(unsigned long threadId) {
    std::vector<std::string> out;
    for (const TRow& row : Query("SELECT argument FROM mysql.general_log WHERE thread_id = " +
                                 std::to_string(threadId) + " AND command_type = 'Query'"))
        out.push_back(row[0].value_or(""));
    return out;
}

}  // namespace tarvik::test
