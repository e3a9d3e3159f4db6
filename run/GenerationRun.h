#pragma once
// The generation run: for every product, make sure the chosen minimum-stock table holds this
// branch's row, inserting the ones that are missing, with a progress gauge following along.
//
// The run sees its front end only through TRunView and the branch only through
// TBranchIdentity, so the window (its start button and gauge) and tarvik-admin (its progress
// line) merely wire themselves to it. An error ends the run where it stands and goes on to the
// caller: nothing is tidied up, the start control stays disabled, and rows already inserted
// stay inserted.

#include "db/DbQuery.h"
#include "platform/Errors.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tarvik {

// What the run does with its front end.
class TRunView {
public:
    virtual ~TRunView() = default;
    virtual void SetStartEnabled(bool enabled) = 0;
    virtual void SetGaugeMaximum(int32_t maximum) = 0;
    virtual int32_t GaugeProgress() const = 0;
    virtual void SetGaugeProgress(int32_t progress) = 0;
    virtual void Inform(const std::string& text) = 0;  // returns when the user closed it
    // A row was inserted and the server said so; nothing for a front end that does not count.
    virtual void RowPosted() {}
    // A run in flights had a text answered (one round trip).
    virtual void FlightAnswered() {}
    // Asked between products (between flights): true ends the run there with ERunStopped,
    // every row whole. The window never asks; tarvik-admin does on Ctrl-C.
    virtual bool StopRequested() const { return false; }
};

// A run that stopped because its front end asked it to.
class ERunStopped : public Exception {
    using Exception::Exception;
};

// A run that stopped before writing what it was about to write wrongly: a product id that is no
// integer, a branch number that changed under the run.
class ERunError : public Exception {
public:
    enum class TReason { ProductId, BranchChanged };
    ERunError(std::string message, TReason reason, std::string product = std::string())
        : Exception(std::move(message)), reason_(reason), product_(std::move(product)) {}
    TReason Reason() const noexcept { return reason_; }
    // The product at which the run stopped, when the reason is its id.
    const std::string& Product() const noexcept { return product_; }

private:
    TReason reason_;
    std::string product_;
};

// The branch number written into filial_id, and the store code for lojas_leram. The run one at
// a time asks both afresh every time it needs them, the run in flights once per flight.
struct TBranchIdentity {
    std::function<int32_t()> codLogica;
    std::function<std::string()> lojasLeram;

    // From sistema_qor.ini and, for the store code, the server's identification record.
    static TBranchIdentity FromSettings();
};

// The two minimum-stock tables a run can fill, in the order of the window's radio items.
inline constexpr const char* kTargetTables[2] = {"estoque_minimo", "estoque_minimo2"};

// "estoque_minimo" for item 0, "estoque_minimo2" for any other index.
std::string TargetTableFor(int itemIndex);

// The steps a run is made of, shared by the run one statement at a time (below) and the run in
// flights (run/FlightRun.h), so that both send the same texts:
// Disables the start control, opens the products' query and the insert query on `table`, and
// sets the gauge's maximum to the number of products.
void OpenRunQueries(TRunView& view, const std::string& table, TDbQuery& produtos, TDbQuery& inclui);
// True for an integer as the server prints one: an optional minus sign, then digits without
// leading zeros ("0", never "-0").
bool IsPrintedInteger(std::string_view text);
// The probe of one product: "Select * from T where produto_id = P and filial_id = B". Raises
// ERunError naming the product when P is not an integer as the server prints one.
std::string ProbeStatement(const std::string& table, const std::string& product, int32_t branchNumber);
// Appends the product's row to `inclui`: its number, the branch number (asked afresh) and the
// store code. Not yet posted.
void AppendProductRow(TDbQuery& inclui, int32_t product, const TBranchIdentity& branch);
// Closes both queries, calls `finished`, shows the completion message and enables the start
// control again.
void CloseRunQueries(TRunView& view, TDbQuery& produtos, TDbQuery& inclui, const std::function<void()>& finished);

// Fills `table` (one of the two target tables, as the front end chose it). `finished`, when
// given, is called once the queries are closed and before the completion message, which waits
// for the user.
void RunGeneration(TRunView& view, const std::string& table, TDbQuery& produtos, TDbQuery& temp,
                   TDbQuery& inclui, const TBranchIdentity& branch,
                   const std::function<void()>& finished = {});

}  // namespace tarvik
