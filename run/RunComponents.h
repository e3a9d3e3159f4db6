#pragma once
// The main connection's data components as every front end runs them: the connection (with its
// design-time values), its transaction and the three queries, made in the order they depend on
// each other and released in the reverse (the queries, then the transaction that carries their
// link, closing it, then the connection). Each window and `tarvik-admin run` own one, so they
// set the connection up and run through the same code and send the same statements.

#include <cstdint>
#include <string>

#include "db/DbConnection.h"
#include "db/DbQuery.h"
#include "run/FlightRun.h"
#include "run/GenerationRun.h"

namespace tarvik {

class TRunComponents {
public:
    TRunComponents();
    TRunComponents(const TRunComponents&) = delete;
    TRunComponents& operator=(const TRunComponents&) = delete;

    // Host, database and deciphered password of sistema_qor.ini (run/MainConnection.h).
    // Connects nothing.
    void ApplySettings();

    // One run into `table` (run/GenerationRun.h) under the run lock of the branch and the table
    // (run/RunLock.h): the start control is disabled, the link opened, the lock taken, the rows
    // filled, the lock given back before the completion message. When another run holds the
    // lock nothing is done, the start control is enabled again and ERunInProgress goes on to
    // the caller; every other error leaves things as the run left them.
    void Run(TRunView& view, const std::string& table,
             const TBranchIdentity& branch = TBranchIdentity::FromSettings());

    // The same run in flights (run/FlightRun.h), for tarvik-admin: its link, opened here,
    // allows multi-statements; the lock is the same.
    void RunInFlights(TRunView& view, const std::string& table, const TFlightLimits& limits,
                      const TBranchIdentity& branch = TBranchIdentity::FromSettings());

    // How long a run waits for the run lock while another run holds it (GET_LOCK's own wait); 0,
    // the default, refuses at once. The link's read timeout is raised to outlast the wait.
    void SetLockWait(unsigned seconds) { lockWaitSeconds_ = seconds; }

    TDbConnection& Conexao() { return conexao_; }
    TDbTransaction& Transacao() { return transacao_; }
    TDbQuery& QProdutos() { return qProdutos_; }
    TDbQuery& QTemp() { return qTemp_; }
    TDbQuery& QInclui() { return qInclui_; }

private:
    // Opens the link, takes the lock of the branch `branch` names now and runs `fill` under it,
    // with a branch identity that raises ERunError once the branch number differs from the
    // lock's, and the lock to release before the completion message.
    using TLockedFill = std::function<void(const TBranchIdentity& locked, const std::function<void()>& release)>;
    void UnderRunLock(TRunView& view, const std::string& table, const TBranchIdentity& branch,
                      const TLockedFill& fill);

    TDbConnection conexao_;
    TDbTransaction transacao_;
    TDbQuery qProdutos_;
    TDbQuery qTemp_;
    TDbQuery qInclui_;
    unsigned lockWaitSeconds_ = 0;
};

}  // namespace tarvik
