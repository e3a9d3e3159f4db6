#include "run/FlightRun.h"

#include <algorithm>
#include <exception>
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
    std::string probe;
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

// Splits `statements` into texts of at most `bytes` (each at least one statement).
std::vector<std::vector<std::string>> Flights(std::vector<std::string> statements, size_t bytes) {
    std::vector<std::vector<std::string>> flights;
    size_t size = 0;
    for (std::string& statement : statements) {
        if (flights.empty() || (size > 0 && size + 1 + statement.size() > bytes)) {
            flights.emplace_back();
            size = 0;
        }
        size += (size > 0 ? 1 : 0) + statement.size();
        flights.back().push_back(std::move(statement));
    }
    return flights;
}

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

}  // namespace

void RunGenerationInFlights(TRunView& view, const std::string& table, TDbTransaction& link, TDbQuery& produtos,
                            TDbQuery& inclui, const TBranchIdentity& branch, const TFlightLimits& limits,
                            const std::function<void()>& finished) {
    OpenRunQueries(view, table, produtos, inclui);
    const size_t maxBytes = FlightBytes(link, limits);
    const size_t maxProducts = std::max<size_t>(limits.products, 1);
    const auto advance = [&view](size_t products) {
        for (size_t i = 0; i < products; ++i) view.SetGaugeProgress(view.GaugeProgress() + 1);
    };

    while (!produtos.AtEnd()) {
        if (view.StopRequested()) throw ERunStopped(run_messages::kRunStopped);

        // The probes of one flight, each as the window writes it for that product.
        const TBranchIdentity flightBranch = ReadOncePerFlight(branch);
        std::vector<TFlightProduct> flight;
        std::unordered_set<std::string> ids;
        size_t bytes = 0;
        while (!produtos.AtEnd() && flight.size() < maxProducts) {
            TFlightProduct product;
            product.id = produtos.GetFieldText("produto_id");
            // A product listed again waits for a later flight, after this one's INSERT.
            if (ids.count(product.id)) break;
            product.probe = ProbeStatement(table, product.id, flightBranch.codLogica());
            if (!flight.empty() && bytes + 1 + product.probe.size() > maxBytes) break;
            try {
                product.number = produtos.GetFieldInteger("produto_id");
            } catch (...) {
                product.numberError = std::current_exception();
            }
            bytes += (bytes > 0 ? 1 : 0) + product.probe.size();
            ids.insert(product.id);
            flight.push_back(std::move(product));
            produtos.MoveNext();
        }

        std::vector<std::string> probes;
        for (const TFlightProduct& product : flight) probes.push_back(product.probe);
        const TFlightAnswer found = link.ExecFlight(probes);
        if (found.failed) throw EDatabaseError(found.error, found.errorNumber);

        // The INSERTs of the products whose probe found no row, in order. An error in making
        // one stops there, once the ones before it are sent.
        std::vector<std::string> inserts;
        std::vector<size_t> insertedProduct;  // the flight's product of each insert
        std::exception_ptr stop;
        size_t stopAt = flight.size();
        for (size_t i = 0; i < flight.size(); ++i) {
            if (found.counts[i] != 0) continue;
            try {
                if (flight[i].numberError) std::rethrow_exception(flight[i].numberError);
                AppendProductRow(inclui, *flight[i].number, flightBranch);
                inserts.push_back(inclui.TakeAppendedRowInsert());
                insertedProduct.push_back(i);
            } catch (...) {
                stop = std::current_exception();
                stopAt = i;
                break;
            }
        }

        size_t sent = 0;
        for (std::vector<std::string>& texts : Flights(std::move(inserts), maxBytes)) {
            const TFlightAnswer stored = link.ExecFlight(texts);
            for (size_t k = 0; k < stored.counts.size(); ++k) view.RowPosted();
            if (stored.failed) {
                const size_t at = sent + stored.counts.size();
                const std::string& id = flight[insertedProduct[at]].id;
                advance(insertedProduct[at]);
                std::string message = Format(run_messages::kFlightInsertFailed, inclui.Name().c_str(), id.c_str(),
                                             stored.error.c_str());
                if (stored.linkLost)
                    throw EFlightOutcomeUnknown(std::move(message), stored.errorNumber,
                                                texts.size() - stored.counts.size());
                throw EDatabaseError(std::move(message), stored.errorNumber);
            }
            sent += texts.size();
        }
        if (stop) {
            advance(stopAt);
            std::rethrow_exception(stop);
        }
        advance(flight.size());
    }

    CloseRunQueries(view, produtos, inclui, finished);
}

}  // namespace tarvik
