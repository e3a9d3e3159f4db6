#include "run/RunComponents.h"

#include "run/MainConnection.h"
#include "run/RunLock.h"

namespace tarvik {

namespace {

// The connection must hold its design-time values before the transaction and the queries see it.
TDbConnection& WithDesignTimeValues(TDbConnection& connection) {
    SetDesignTimeValues(connection);
    return connection;
}

}  // namespace

TRunComponents::TRunComponents()
    : transacao_(WithDesignTimeValues(conexao_)),
      qProdutos_("QProdutos", conexao_, transacao_, false),
      qTemp_("QTemp", conexao_, transacao_, false),
      qInclui_("QInclui", conexao_, transacao_, true) {}

void TRunComponents::ApplySettings() { ApplyConnectionSettings(conexao_); }

void TRunComponents::Run(TRunView& view, const std::string& table, const TBranchIdentity& branch) {
    UnderRunLock(view, table, branch, [&](const std::function<void()>& release) {
        RunGeneration(view, table, qProdutos_, qTemp_, qInclui_, branch, release);
    });
}

void TRunComponents::RunInFlights(TRunView& view, const std::string& table, const TFlightLimits& limits,
                                  const TBranchIdentity& branch) {
    // Asked for on this link only, and only before it opens.
    if (!transacao_.Connected()) conexao_.SetMultiStatements(true);
    UnderRunLock(view, table, branch, [&](const std::function<void()>& release) {
        RunGenerationInFlights(view, table, transacao_, qProdutos_, qInclui_, branch, limits, release);
    });
}

void TRunComponents::UnderRunLock(TRunView& view, const std::string& table, const TBranchIdentity& branch,
                                  const std::function<void(const std::function<void()>&)>& fill) {
    view.SetStartEnabled(false);
    // The link the products' query would open first; the lock is the first thing it carries.
    transacao_.Connect();
    try {
        TRunLock lock(conexao_, transacao_, table, branch.codLogica());
        fill([&lock] { lock.Release(); });
    } catch (const ERunInProgress&) {
        // Nothing was done, and the other run will end: the user may try again.
        view.SetStartEnabled(true);
        throw;
    }
}

}  // namespace tarvik
