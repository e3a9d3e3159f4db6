#include "tools/admin/RunReport.h"

#include "platform/Errors.h"
#include "run/FlightRun.h"
#include "tools/admin/FailureKind.h"
#include "tools/admin/Text.h"

namespace tarvik::admin {

TRunReport::TError ReportedError(const std::exception& error, bool timedOut) {
    TRunReport::TError reported;
    reported.kind = FailureKind(error, timedOut);
    reported.message = Utf8FromSystemText(error.what());
    if (const auto* database = dynamic_cast<const EDatabaseError*>(&error)) {
        reported.number = database->ErrorNumber();
        reported.sqlState = database->SqlState();
    }
    if (const auto* unknown = dynamic_cast<const EFlightOutcomeUnknown*>(&error))
        reported.product = Utf8FromSystemText(unknown->Product());
    else if (const auto* refused = dynamic_cast<const EFlightInsertRefused*>(&error))
        reported.product = Utf8FromSystemText(refused->Product());
    else if (const auto* refusal = dynamic_cast<const ERunError*>(&error); refusal && !refusal->Product().empty())
        reported.product = Utf8FromSystemText(refusal->Product());
    return reported;
}

nlohmann::json ToJson(const TRunReport& r) {
    using nlohmann::json;
    json report = {{"result", r.result},
                   {"table", r.table},
                   {"products", r.products},
                   {"probed", r.probed},
                   {"already_present", r.alreadyPresent},
                   {"inserted", r.inserted},
                   {"unknown", r.unknown},
                   {"flights", r.flights},
                   {"counted_only", r.countedOnly},
                   {"seconds", r.seconds},
                   {"lock", {{"name", r.lockName}, {"holder", r.lockHolder ? json(*r.lockHolder) : json()}}}};
    if (r.error) {
        const TRunReport::TError& e = *r.error;
        report["error"] = {{"kind", e.kind},
                           {"number", e.number},
                           {"sqlstate", e.sqlState.empty() ? json() : json(e.sqlState)},
                           {"message", e.message},
                           {"product", e.product ? json(*e.product) : json()}};
    } else {
        report["error"] = nullptr;
    }
    return report;
}

}  // namespace tarvik::admin
