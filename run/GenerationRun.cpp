#include "run/GenerationRun.h"

#include "run/Messages.h"
#include "settings/UConfigSistemaQOR.h"

namespace tarvik {

TBranchIdentity TBranchIdentity::FromSettings() {
    return TBranchIdentity{&TConfigSistemaQOR::GetCodLogica, &TConfigSistemaQOR::GetLojasLeram};
}

std::string TargetTableFor(int itemIndex) {
    return kTargetTables[itemIndex == 0 ? 0 : 1];
}

void OpenRunQueries(TRunView& view, const std::string& table, TDbQuery& produtos, TDbQuery& inclui) {
    view.SetStartEnabled(false);
    produtos.SetStatement("Select produto_id from produto");
    produtos.Open();
    // Opened only to append rows to the table through it; its own rows are never read.
    inclui.SetStatement("Select * from " + table + " where produto_id = 0");
    inclui.Open();
    // The progress is deliberately not reset: a later run starts from where the last ended.
    view.SetGaugeMaximum(static_cast<int32_t>(produtos.RowCount()));
}

bool IsPrintedInteger(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty() || (text.front() == '0' && (text.size() > 1 || negative))) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

std::string ProbeStatement(const std::string& table, const std::string& product, int32_t branchNumber) {
    // The id is pasted into the statement: only an integer as the server prints one may go
    // there. A text id could carry SQL of its own, and "01" would probe product 1 while the run
    // in flights took it for another product.
    if (!IsPrintedInteger(product))
        throw ERunError(Format(run_messages::kProductIdNotInteger, product.c_str()), ERunError::TReason::ProductId,
                        product);
    return "Select * from " + table + " where produto_id = " + product + " and filial_id = " +
           std::to_string(branchNumber);
}

void AppendProductRow(TDbQuery& inclui, int32_t product, const TBranchIdentity& branch) {
    inclui.AppendRow();
    inclui.SetFieldInteger("produto_id", product);
    inclui.SetFieldInteger("filial_id", branch.codLogica());
    inclui.SetFieldText("lojas_leram", branch.lojasLeram());
}

void CloseRunQueries(TRunView& view, TDbQuery& produtos, TDbQuery& inclui, const std::function<void()>& finished) {
    produtos.Close();
    inclui.Close();
    if (finished) finished();
    view.Inform(run_messages::kRunFinished);
    view.SetStartEnabled(true);
}

void RunGeneration(TRunView& view, const std::string& table, TDbQuery& produtos, TDbQuery& temp,
                   TDbQuery& inclui, const TBranchIdentity& branch, const std::function<void()>& finished) {
    OpenRunQueries(view, table, produtos, inclui);
    while (!produtos.AtEnd()) {
        if (view.StopRequested()) throw ERunStopped(run_messages::kRunStopped);
        const std::string product = produtos.GetFieldText("produto_id");
        temp.SetStatement(ProbeStatement(table, product, branch.codLogica()));
        temp.Open();
        // Only a result says whether the row is there: a probe answered otherwise (by a server
        // that is not what it seems) must not count as "missing".
        if (temp.ColumnCount() == 0)
            throw EDatabaseError(Format(run_messages::kProbeWithoutResult, temp.Name().c_str(), product.c_str()));
        // One row or several count alike as present.
        if (temp.NoRows()) {
            AppendProductRow(inclui, produtos.GetFieldInteger("produto_id"), branch);
            inclui.PostRow();
            view.RowPosted();
        }
        temp.Close();
        produtos.MoveNext();
        view.SetGaugeProgress(view.GaugeProgress() + 1);
    }
    CloseRunQueries(view, produtos, inclui, finished);
}

}  // namespace tarvik
