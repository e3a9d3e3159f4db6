#include "run/RunLock.h"

#include "db/DbConnection.h"
#include "run/Messages.h"

#include <cinttypes>
#include <cstdio>

namespace tarvik {
namespace {

constexpr size_t kMaxLockName = 64;  // MySQL's limit; MariaDB takes longer names

bool IsPlainByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$' ||
           c == '-';
}

bool IsPlain(const std::string& part) {
    for (const char c : part)
        if (!IsPlainByte(static_cast<unsigned char>(c))) return false;
    return !part.empty();
}

// FNV-1a: small, fixed and the same on every system, which is all the name needs of a hash.
std::string Hashed(const std::string& part) {
    uint64_t hash = 14695981039346656037ull;
    for (const char c : part) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    char text[18];
    std::snprintf(text, sizeof text, "#%016" PRIx64, hash);
    return text;
}

std::string AsciiLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

std::string RunLockName(const std::string& database, const std::string& table, int32_t branch) {
    std::string db = AsciiLower(database);
    std::string tbl = table;
    const auto compose = [&] { return "tarvik/" + db + "/" + tbl + "/" + std::to_string(branch); };
    if (!IsPlain(db) || compose().size() > kMaxLockName) db = Hashed(db);
    if (!IsPlain(tbl) || compose().size() > kMaxLockName) tbl = Hashed(tbl);
    return compose();
}

std::string RunLockHolder(TDbTransaction& transaction, const std::string& name) {
    return transaction.EvaluateExpression("IS_USED_LOCK('" + name + "')");
}

TRunLock::TRunLock(TDbConnection& connection, TDbTransaction& transaction, const std::string& table,
                   int32_t branch, unsigned waitSeconds)
    : connection_(connection), transaction_(transaction), name_(RunLockName(connection.Database(), table, branch)) {
    // The holder may end between the two questions; then the lock is asked for again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::string answer;
        try {
            answer = transaction_.EvaluateExpression("GET_LOCK('" + name_ + "', " + std::to_string(waitSeconds) + ")");
        } catch (const EDatabaseError& e) {
            throw EDatabaseError(Format(run_messages::kRunLockRefused, branch, table.c_str(), e.what()),
                                 e.ErrorNumber(), e.SqlState());
        }
        if (answer == "1") {
            held_ = true;
            return;
        }
        if (answer != "0")
            throw EDatabaseError(Format(run_messages::kRunLockRefused, branch, table.c_str(),
                                        run_messages::kRunLockNoAnswer));
        const std::string holder = RunLockHolder(transaction_, name_);
        if (!holder.empty())
            throw ERunInProgress(Format(run_messages::kRunInProgress, branch, table.c_str(), holder.c_str()), holder);
    }
    throw ERunInProgress(Format(run_messages::kRunInProgress, branch, table.c_str(), "?"), "");
}

TRunLock::~TRunLock() {
    if (!held_) return;
    try {
        transaction_.EvaluateExpression("RELEASE_LOCK('" + name_ + "')");
    } catch (...) {
        // Most likely the very link whose loss ended the run: the server has freed the lock.
    }
}

void TRunLock::Release() {
    if (!held_) return;
    held_ = false;
    try {
        transaction_.EvaluateExpression("RELEASE_LOCK('" + name_ + "')");
    } catch (...) {
        // The server was not told: a link that ends takes its locks with it, and the next run
        // opens a new one.
        try {
            connection_.Disconnect();
        } catch (...) {
        }
    }
}

}  // namespace tarvik
