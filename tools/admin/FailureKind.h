#pragma once
// Why a run failed or would fail, as one stable English word that a program calling
// tarvik-admin can act on without reading the message: "try later" (lock_held, unreachable,
// timeout, link_lost) is told from "fix the settings" (access, unknown_database, settings) and
// from "look at the data" (missing_table, insert_refused, product_id).

#include <exception>
#include <string>

namespace tarvik::admin {

namespace failure_kinds {
inline constexpr const char* kUnreachable = "unreachable";
inline constexpr const char* kTimeout = "timeout";
inline constexpr const char* kAccess = "access";
inline constexpr const char* kUnknownDatabase = "unknown_database";
inline constexpr const char* kMissingTable = "missing_table";
inline constexpr const char* kMissingColumn = "missing_column";
inline constexpr const char* kIdentification = "identification";
inline constexpr const char* kSettings = "settings";
inline constexpr const char* kLockHeld = "lock_held";
inline constexpr const char* kInsertRefused = "insert_refused";
inline constexpr const char* kLinkLost = "link_lost";
inline constexpr const char* kOutcomeUnknown = "outcome_unknown";
inline constexpr const char* kProductId = "product_id";
inline constexpr const char* kBranchChanged = "branch_changed";
inline constexpr const char* kCharacterSet = "character_set";
inline constexpr const char* kTls = "tls";  // a link could not have the TLS its settings ask for
inline constexpr const char* kServer = "server";  // any other statement the server refused
inline constexpr const char* kOther = "other";
}  // namespace failure_kinds

// The kind of `error`, the exception that ended a run or a check. `timedOut`: the link that
// failed gave up after its read timeout.
std::string FailureKind(const std::exception& error, bool timedOut);

// The kind of a failure the client library or the server numbered (mysql_errno).
std::string FailureKindOfNumber(unsigned errorNumber, bool timedOut);

}  // namespace tarvik::admin
