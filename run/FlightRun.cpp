#include "run/FlightRun.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <optional>
#include <unordered_set>
#include <vector>

#include "run/Messages.h"

namespace tarvik {
namespace {

constexpr size_t kMaxFlightBytes = 1024 * 1024;

struct TFlightProduct {
    std::string id;                // as the probe writes it
    std::optional<int32_t> number;  // as the insert writes it, when it converts
    std::exception_ptr numberError;
};

// INSERTs of one flight waiting for a text: each with its product, and the gauge's value before
// it (where the gauge stops when the server refuses it) and after the last of them.
struct TInsertBatch {
    std::vector<std::string> statements;
    std::vector<std::string> ids;
    std::vector<int32_t> gaugeBefore;
    int32_t gaugeAfter = 0;
    size_t bytes = 0;  // joined into a text

    bool Empty() const { return statements.empty(); }
};

size_t FlightBytes(TDbTransaction& link, const TFlightLimits& limits) {
    if (limits.bytes > 0) return limits.bytes;
    const std::string packet = link.EvaluateExpression("@@max_allowed_packet");
    size_t bytes = 0;
    for (const char c : packet) {
        if (c < '0' || c > '9') break;
        bytes = std::min<size_t>(bytes * 10 + static_cast<size_t>(c - '0'), kMaxFlightBytes * 4);
    }
    return std::clamp<size_t>(bytes / 4, 1, kMaxFlightBytes);
}

// The bytes `statement` adds to a text of `bytes` bytes.
size_t Joined(size_t bytes, const std::string& statement) { return bytes + (bytes > 0 ? 1 : 0) + statement.size(); }

// The branch as read once for one flight, each half when first needed. The run one at a time
// reads sistema_qor.ini afresh for every probe and every row; in a flight those reads were most
// of the client's time, for the same values unless the file changes during the run.
TBranchIdentity ReadOncePerFlight(const TBranchIdentity& branch) {
    return TBranchIdentity{[branch, number = std::optional<int32_t>()]() mutable {
                               if (!number) number = branch.codLogica();
                               return *number;
                           },
                           [branch, code = std::optional<std::string>()]() mutable {
                               if (!code) code = branch.lojasLeram();
                               return *code;
                           }};
}

// The probes of one flight, each with its product.
struct TProbeBatch {
    std::vector<std::string> statements;
    std::vector<std::string> ids;
};

// Sends the texts of a run in flights and settles their answers: the rows posted, the gauge, the
// refusals and lost answers.
class TFlightSender {
public:
    TFlightSender(TRunView& view, TDbTransaction& link, TDbQuery& inclui)
        : view_(view), link_(link), inclui_(inclui), probeColumns_(inclui.ColumnCount()),
          gaugeStart_(view.GaugeProgress()) {}

    // The gauge's value once `products` of the run's products are done.
    int32_t GaugeAt(size_t products) const { return gaugeStart_ + static_cast<int32_t>(products); }

    // Sends `inserts` and then `probes` as one text and returns the probes' answers (the rows
    // each found). Every INSERT the server answered with one row stored counts as a posted row;
    // the gauge moves past the batch once all of it is stored. Throws, with the gauge at the
    // refused product, when an INSERT is refused, and when a probe fails. Throws
    // EFlightOutcomeUnknown, naming the first product whose outcome is unknown, when answers
    // were lost or did not match the statements (the link is closed then).
    std::vector<uint64_t> Send(TInsertBatch inserts, TProbeBatch probes) {
        const size_t count = inserts.statements.size();
        std::vector<TFlightStatement> text;
        text.reserve(count + probes.statements.size());
        for (std::string& insert : inserts.statements) text.push_back(TFlightStatement::InsertOfOneRow(std::move(insert)));
        for (std::string& probe : probes.statements) text.push_back(TFlightStatement::Select(std::move(probe), probeColumns_));
        if (text.empty()) return {};
        const TFlightAnswer answer = link_.ExecFlight(text);
        view_.FlightAnswered();
        // More answers than statements: the server ran something that was not sent, somewhere in
        // this text, so not even the INSERTs it answered are known to be what was meant.
        const size_t answered = answer.counts.size() == text.size() && answer.mismatched ? 0 : answer.counts.size();
        const size_t stored = std::min(answered, count);
        for (size_t k = 0; k < stored; ++k) view_.RowPosted();
        if (answer.OutcomeUnknown()) {
            MoveGaugeTo(stored < count ? inserts.gaugeBefore[stored] : count > 0 ? inserts.gaugeAfter : 0);
            const std::string& product = answered < count ? inserts.ids[answered] : probes.ids[answered - count];
            const std::string& why = answer.mismatched ? answer.mismatch : answer.error;
            throw EFlightOutcomeUnknown(
                Format(run_messages::kFlightInsertFailed, inclui_.Name().c_str(), product.c_str(), why.c_str()),
                answer.errorNumber, count - stored, product);
        }
        if (answer.failed && stored < count) {
            MoveGaugeTo(inserts.gaugeBefore[stored]);
            throw EFlightInsertRefused(Format(run_messages::kFlightInsertFailed, inclui_.Name().c_str(),
                                              inserts.ids[stored].c_str(), answer.error.c_str()),
                                       answer.errorNumber, answer.sqlState, inserts.ids[stored]);
        }
        if (count > 0) MoveGaugeTo(inserts.gaugeAfter);
        if (answer.failed) throw EDatabaseError(answer.error, answer.errorNumber, answer.sqlState);
        return {answer.counts.begin() + static_cast<std::ptrdiff_t>(stored), answer.counts.end()};
    }

    void MoveGaugeTo(int32_t progress) {
        while (view_.GaugeProgress() < progress) view_.SetGaugeProgress(view_.GaugeProgress() + 1);
    }

private:
    TRunView& view_;
    TDbTransaction& link_;
    TDbQuery& inclui_;
    const unsigned probeColumns_;  // a probe asks for every column of the table, as QInclui does
    const int32_t gaugeStart_;
};

}  // namespace

void RunGenerationInFlights(TRunView& view, const std::string& table, TDbTransaction& link, TDbQuery& produtos,
                            TDbQuery& inclui, const TBranchIdentity& branch, const TFlightLimits& limits,
                            const std::function<void()>& finished) {
    OpenRunQueries(view, table, produtos, inclui);
    const size_t maxBytes = FlightBytes(link, limits);
    const size_t maxProducts = std::max<size_t>(limits.products, 1);
    TFlightSender sender(view, link, inclui);
    size_t taken = 0;       // products taken from produtos so far
    TInsertBatch pending;  // the last flight's INSERTs, sent at the head of the next flight's probes

    while (!produtos.AtEnd()) {
        // A stop leaves the pending INSERTs unsent: of their flight only the probes were made.
        if (view.StopRequested()) throw ERunStopped(run_messages::kRunStopped);

        // The probes of one flight, each as the window writes it for that product, after the
        // previous flight's INSERTs in the same text.
        const TBranchIdentity flightBranch = ReadOncePerFlight(branch);
        const size_t flightStart = taken;
        std::vector<TFlightProduct> flight;
        TProbeBatch probes;
        std::unordered_set<std::string> ids;
        size_t bytes = pending.bytes;
        // An error in making a probe (a product id that is no integer, the branch number that
        // cannot be read or has changed) stops the run at that product, once the products
        // before it are probed and their rows stored, as one at a time they would be.
        std::exception_ptr probeStop;
        try {
            while (!produtos.AtEnd() && flight.size() < maxProducts) {
                TFlightProduct product;
                product.id = produtos.GetFieldText("produto_id");
                // A product listed again waits for a later flight, after this one's INSERT.
                if (ids.count(product.id)) break;
                std::string probe = ProbeStatement(table, product.id, flightBranch.codLogica());
                if (bytes > 0 && Joined(bytes, probe) > maxBytes) break;
                try {
                    product.number = produtos.GetFieldInteger("produto_id");
                } catch (...) {
                    product.numberError = std::current_exception();
                }
                bytes = Joined(bytes, probe);
                ids.insert(product.id);
                probes.statements.push_back(std::move(probe));
                probes.ids.push_back(product.id);
                flight.push_back(std::move(product));
                produtos.MoveNext();
                ++taken;
            }
        } catch (...) {
            probeStop = std::current_exception();
        }
        if (flight.empty()) {
            // Not even one probe fits beside the pending INSERTs, or the first one could not be
            // made: they go alone.
            sender.Send(std::move(pending), {});
            pending = {};
            if (probeStop) std::rethrow_exception(probeStop);
            continue;
        }
        const std::vector<uint64_t> found = sender.Send(std::move(pending), std::move(probes));
        pending = {};

        // The INSERTs of the products whose probe found no row, in order. An error in making
        // one stops the run there, once the ones before it are stored.
        std::vector<TInsertBatch> batches(1);
        std::exception_ptr stop;
        size_t stopAt = flight.size();
        for (size_t i = 0; i < flight.size(); ++i) {
            if (found[i] != 0) continue;
            std::string insert;
            try {
                if (flight[i].numberError) std::rethrow_exception(flight[i].numberError);
                AppendProductRow(inclui, *flight[i].number, flightBranch);
                insert = inclui.TakeAppendedRowInsert();
            } catch (...) {
                stop = std::current_exception();
                stopAt = i;
                break;
            }
            TInsertBatch* batch = &batches.back();
            if (!batch->Empty() && Joined(batch->bytes, insert) > maxBytes) {
                batch->gaugeAfter = sender.GaugeAt(flightStart + i);
                batch = &batches.emplace_back();
            }
            batch->bytes = Joined(batch->bytes, insert);
            batch->statements.push_back(std::move(insert));
            batch->ids.push_back(flight[i].id);
            batch->gaugeBefore.push_back(sender.GaugeAt(flightStart + i));
        }
        batches.back().gaugeAfter = sender.GaugeAt(flightStart + stopAt);
        if (!stop) stop = probeStop;

        // Every batch but the last goes alone; the last waits for the next flight's probes,
        // unless the run ends here.
        for (size_t b = 0; b + 1 < batches.size(); ++b) sender.Send(std::move(batches[b]), {});
        if (stop) {
            sender.Send(std::move(batches.back()), {});
            sender.MoveGaugeTo(sender.GaugeAt(flightStart + stopAt));
            std::rethrow_exception(stop);
        }
        pending = std::move(batches.back());
        if (pending.Empty()) sender.MoveGaugeTo(pending.gaugeAfter);
    }
    sender.Send(std::move(pending), {});

    CloseRunQueries(view, produtos, inclui, finished);
}

}  // namespace tarvik
