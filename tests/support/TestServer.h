#pragma once
// The throwaway MariaDB server that scripts/test-db starts, as the tests see it.
//
// TScratchDatabase makes a database with a unique name ("tarvik_t_" prefix, so a crashed
// run's leftovers are easy to find) and drops it when it goes. It talks to the server on a
// connection of its own, never through the code under test.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "client/ClientHandles.h"

namespace tarvik::test {

struct TServerAddress {
    std::string host = "127.0.0.1";
    unsigned port = 3306;
    std::string user = "root";
    std::string password;  // from TARVIK_DB_PASSWORD, default that of scripts/test-db
};

const TServerAddress& TestServer();

using TRow = std::vector<std::optional<std::string>>;

// One connection of the test's own to the test server.
class TAdminConnection {
public:
    explicit TAdminConnection(const std::string& database = std::string());
    // The same to another server (a private one).
    TAdminConnection(const TServerAddress& server, const std::string& database);
    ~TAdminConnection();
    TAdminConnection(const TAdminConnection&) = delete;
    TAdminConnection& operator=(const TAdminConnection&) = delete;

    void Exec(const std::string& sql);               // throws std::runtime_error on failure
    std::vector<TRow> Query(const std::string& sql);  // every row, NULL as nullopt
    std::string Scalar(const std::string& sql);       // first column of the first row ("" for NULL)
    // The server's id of this session, as the handshake told it; nothing is sent to learn it.
    unsigned long ThreadId() const;

private:
    TConnectionHandle handle_;
};

class TScratchDatabase {
public:
    TScratchDatabase();
    ~TScratchDatabase();
    TScratchDatabase(const TScratchDatabase&) = delete;
    TScratchDatabase& operator=(const TScratchDatabase&) = delete;

    const std::string& Name() const { return name_; }
    TAdminConnection& Admin() { return *admin_; }
    void Exec(const std::string& sql) { admin_->Exec(sql); }
    std::vector<TRow> Query(const std::string& sql) { return admin_->Query(sql); }
    std::string Scalar(const std::string& sql) { return admin_->Scalar(sql); }

    // Thread ids of the sessions that connected with this database as their default
    // database, in the order they connected (read from the server's general log).
    std::vector<unsigned long> SessionsOnThisDatabase();
    // The same without the test's own session (Admin()): the sessions of the code under test.
    std::vector<unsigned long> OtherSessions();

    // What the server's general log holds for one session: "Connect" rows and every
    // statement, in order, each as "<command type>\t<argument>" ("Quit" rows left out).
    std::vector<std::string> GeneralLog(unsigned long threadId);

    // The statements ("Query" rows) alone.
    std::vector<std::string> Statements(unsigned long threadId);

private:
    std::string name_;
    std::unique_ptr<TAdminConnection> admin_;
};

}  // namespace tarvik::test
