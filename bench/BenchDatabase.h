#pragma once
// The benchmark's database on the throwaway server: N products, half of them already holding
// their row for the branch, the other half missing it; reset before every measured run.

#include <cstdint>
#include <string>

#include "client/ClientHandles.h"

namespace tarvik::bench {

struct TBenchServer {
    std::string host = "127.0.0.1";
    unsigned port = 3306;
    std::string user = "root";
    std::string password;
};

class TBenchDatabase {
public:
    TBenchDatabase(TBenchServer server, std::string name);
    ~TBenchDatabase();

    // Creates the database afresh with `products` products and the identification record.
    void Create(int64_t products, int32_t serverBranch);
    // Puts the target table back to "every even product has its row for `branch`".
    void Reset(int32_t branch, char storeCode);
    void Drop();
    int64_t CountRows(const std::string& table);
    std::string ServerVersion();

    // The server's general log off while this lives (it would cost every statement a write),
    // back as it was when it goes, however the benchmark ends: the tests read that log.
    class TGeneralLogOff {
    public:
        explicit TGeneralLogOff(TBenchDatabase& db);
        ~TGeneralLogOff();
        TGeneralLogOff(const TGeneralLogOff&) = delete;
        TGeneralLogOff& operator=(const TGeneralLogOff&) = delete;

    private:
        TBenchDatabase& db_;
        std::string was_;
    };

    const std::string& Name() const { return name_; }
    const TBenchServer& Server() const { return server_; }

private:
    void Exec(const std::string& sql);
    std::string Scalar(const std::string& sql);

    TBenchServer server_;
    std::string name_;
    TConnectionHandle handle_;
};

}  // namespace tarvik::bench
