#include "run/RunComponents.h"

#include "run/MainConnection.h"
#include "run/Messages.h"
#include "run/RunLock.h"

namespace tarvik {

namespace {

// A link that waits for the run lock waits this much longer for GET_LOCK's answer.
constexpr unsigned kLockWaitMargin = 60;

// The connection must hold its design-time values before the transaction and the queries see it.
TDbConnection& WithDesignTimeValues(TDbConnection& connection) {
    SetDesignTimeValues(connection);
    return connection;
}

}  // namespace

TRunComponents::TRunComponents()
    : transacao_(WithDesignTimeValues(conexao_)),
      qProdutos_("QProdutos", conexao_, false),
      qTemp_("QTemp", conexao_, false),
      qInclui_("QInclui", conexao_, true) {}

void TRunComponents::ApplySettings() { ApplyConnectionSettings(conexao_); }

void TRunComponents::Run(TRunView& view, const std::string& table, const TBranchIdentity& branch) {
    UnderRunLock(view, table, branch, [&](const TBranchIdentity& locked, const std::function<void()>& release) {
        RunGeneration(view, table, qProdutos_, qTemp_, qInclui_, locked, release);
    });
}

void TRunComponents::RunInFlights(TRunView& view, const std::string& table, const TFlightLimits& limits,
                                  const TBranchIdentity& branch) {
    // Asked for on this link only, and only before it opens.
    if (!transacao_.Connected()) conexao_.SetMultiStatements(true);
    UnderRunLock(view, table, branch, [&](const TBranchIdentity& locked, const std::function<void()>& release) {
        RunGenerationInFlights(view, table, transacao_, qProdutos_, qInclui_, locked, limits, release);
    });
}

void TRunComponents::UnderRunLock(TRunView& view, const std::string& table, const TBranchIdentity& branch,
                                  const TLockedFill& fill) {
    view.SetStartEnabled(false);
    if (lockWaitSeconds_ > 0 && !transacao_.Connected() && conexao_.ReadTimeout() < lockWaitSeconds_ + kLockWaitMargin)
        conexao_.SetReadTimeout(lockWaitSeconds_ + kLockWaitMargin);
    // The link the products' query would open first; the lock is the first thing it carries.
    transacao_.Connect();
    try {
        const int32_t lockedBranch = branch.codLogica();
        TRunLock lock(conexao_, transacao_, table, lockedBranch, lockWaitSeconds_);
        // The branch number is still read afresh wherever the run reads it, but rows go only
        // under the lock of the branch they name: sistema_qor.ini edited during the run stops it
        // before a row of another branch is written outside its lock.
        const TBranchIdentity locked{[codLogica = branch.codLogica, lockedBranch] {
                                         const int32_t now = codLogica();
                                         if (now != lockedBranch)
                                             throw ERunError(Format(run_messages::kBranchChanged, lockedBranch, now),
                                                             ERunError::TReason::BranchChanged);
                                         return now;
                                     },
                                     branch.lojasLeram};
        fill(locked, [&lock] { lock.Release(); });
    } catch (const ERunInProgress&) {
        // Nothing was done, and the other run will end: the user may try again.
        view.SetStartEnabled(true);
        throw;
    }
}

}  // namespace tarvik
