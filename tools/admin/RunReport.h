#pragma once
// What `tarvik-admin run --json` prints, and `--record` keeps: one JSON document for every run,
// whatever happened, for a program to read instead of the messages meant for people.

#include <cstdint>
#include <exception>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace tarvik::admin {

namespace run_results {
inline constexpr const char* kDone = "done";
inline constexpr const char* kBusy = "busy";              // another run holds the run lock
inline constexpr const char* kInterrupted = "interrupted";  // Ctrl-C or SIGTERM
inline constexpr const char* kFailed = "failed";
}  // namespace run_results

struct TRunReport {
    std::string result = run_results::kDone;
    std::string table;
    int64_t products = 0;        // in produto, as the run read them
    int64_t probed = 0;          // products the run went through
    int64_t alreadyPresent = 0;  // of those, the ones that had their row
    int64_t inserted = 0;        // rows the server reported stored
    int64_t flights = 0;         // texts sent in flights (0 one at a time)
    int64_t unknown = 0;         // INSERTs whose outcome is unknown (a lost link, answers that did not match)
    bool countedOnly = false;    // --if-missing found nothing missing: the run was not started
    double seconds = 0;
    std::string lockName;
    std::optional<std::string> lockHolder;  // the connection that held it, when the run was busy

    struct TError {
        std::string kind;  // tools/admin/FailureKind.h
        unsigned number = 0;
        std::string sqlState;
        std::string message;  // UTF-8
        std::optional<std::string> product;
    };
    std::optional<TError> error;
};

// The error part of a report for `error`, which ended the run; `timedOut` as in FailureKind.
TRunReport::TError ReportedError(const std::exception& error, bool timedOut);

nlohmann::json ToJson(const TRunReport& report);

}  // namespace tarvik::admin
