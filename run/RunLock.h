#pragma once
// One run at a time for a branch and a table. Two runs that filled the same branch's rows in the
// same table at once would both find a product missing and both insert it, so every run first
// takes a named lock on the server for (database, table, branch), without waiting, and gives it
// back when it ends. The server frees a lock by itself when the connection that holds it ends
// (a killed program, a pulled cable), so a run that died never keeps the next one out.

#include <cstdint>
#include <string>

#include "platform/Errors.h"

namespace tarvik {

class TDbConnection;
class TDbTransaction;

// The lock's name, the same for every front end on either system: "tarvik/" + database + "/" +
// table + "/" + branch number. Letters of the database name are taken in lower case (servers on
// Windows do not tell "Merovan" from "merovan"). A part holding anything but ASCII letters,
// digits, '_', '$' and '-', or a name longer than the servers allow (64 characters), has that
// part replaced by "#" and a 64-bit hash of it in hex, so that the name needs no quoting.
std::string RunLockName(const std::string& database, const std::string& table, int32_t branch);

// Another connection holds the lock: nothing was done. Carries that connection's id.
class ERunInProgress : public Exception {
public:
    ERunInProgress(std::string message, std::string holder)
        : Exception(std::move(message)), holder_(std::move(holder)) {}
    const std::string& Holder() const noexcept { return holder_; }

private:
    std::string holder_;
};

// The id of the connection that holds the lock now, "" when nobody does. Only reads.
std::string RunLockHolder(TDbTransaction& transaction, const std::string& name);

// The lock of one run, taken on the main connection's link.
class TRunLock {
public:
    // Takes the lock ("SELECT GET_LOCK('<name>', <waitSeconds>)": without waiting unless asked
    // to wait for a holder to finish). Raises ERunInProgress when another connection holds it,
    // and an EDatabaseError naming the branch and the table when the server will not take it (a
    // statement refused, or GET_LOCK answering NULL): a run never goes on without its lock.
    TRunLock(TDbConnection& connection, TDbTransaction& transaction, const std::string& table, int32_t branch,
             unsigned waitSeconds = 0);
    // Gives the lock back if it is still held; never raises (an error is already on its way, or
    // the link is gone and the server has freed the lock itself).
    ~TRunLock();
    TRunLock(const TRunLock&) = delete;
    TRunLock& operator=(const TRunLock&) = delete;

    const std::string& Name() const { return name_; }

    // Gives the lock back ("SELECT RELEASE_LOCK('<name>')") once the run's work is done. When the
    // server cannot be told, the link is closed instead, which frees the lock on the server just
    // the same; the run's result stands either way, so nothing is raised.
    void Release();

private:
    TDbConnection& connection_;
    TDbTransaction& transaction_;
    std::string name_;
    bool held_ = false;
};

}  // namespace tarvik
