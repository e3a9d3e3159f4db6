#include "tools/admin/FailureKind.h"

#include <errmsg.h>
#include <mysqld_error.h>

#include "client/Session.h"
#include "db/Messages.h"
#include "identification/Messages.h"
#include "platform/Errors.h"
#include "run/FlightRun.h"
#include "run/GenerationRun.h"
#include "run/RunLock.h"
#include "settings/Messages.h"

namespace tarvik::admin {

using namespace failure_kinds;

namespace {

// Whether `message` was made from the printf pattern `pattern`: its text up to the first
// conversion.
bool MadeFrom(const std::string& message, const char* pattern) {
    const std::string fixed = std::string(pattern).substr(0, std::string(pattern).find('%'));
    return message.rfind(fixed, 0) == 0;
}

}  // namespace

std::string FailureKindOfNumber(unsigned number, bool timedOut) {
    switch (number) {
        case CR_CONNECTION_ERROR:
        case CR_CONN_HOST_ERROR:
        case CR_UNKNOWN_HOST:
        case CR_IPSOCK_ERROR:
            return kUnreachable;
        case CR_SERVER_GONE_ERROR:
        case CR_SERVER_LOST:
            return timedOut ? kTimeout : kLinkLost;
        case ER_ACCESS_DENIED_ERROR:
        case ER_DBACCESS_DENIED_ERROR:
        case ER_TABLEACCESS_DENIED_ERROR:
        case ER_COLUMNACCESS_DENIED_ERROR:
        case ER_SPECIFIC_ACCESS_DENIED_ERROR:
        case CR_PLUGIN_NOT_ALLOWED:
            return kAccess;
        case ER_BAD_DB_ERROR:
            return kUnknownDatabase;
        case ER_NO_SUCH_TABLE:
            return kMissingTable;
        case ER_BAD_FIELD_ERROR:
            return kMissingColumn;
        default:
            return number > 0 ? kServer : kOther;
    }
}

std::string FailureKind(const std::exception& error, bool timedOut) {
    if (dynamic_cast<const ERunInProgress*>(&error)) return kLockHeld;
    if (dynamic_cast<const EStatementOutcomeUnknown*>(&error)) return kOutcomeUnknown;
    if (const auto* refusal = dynamic_cast<const ERunError*>(&error))
        return refusal->Reason() == ERunError::TReason::ProductId ? kProductId : kBranchChanged;
    const std::string message = error.what();
    if (IsTlsRefusal(message)) return kTls;
    if (MadeFrom(message, identification_messages::kIdentificationLoadFailed)) return kIdentification;
    if (MadeFrom(message, settings_messages::kNoLojasLeram)) return kSettings;
    if (MadeFrom(message, db_messages::kLinkNotLatin1)) return kCharacterSet;
    if (const auto* database = dynamic_cast<const EDatabaseError*>(&error)) {
        const std::string kind = FailureKindOfNumber(database->ErrorNumber(), timedOut);
        if (dynamic_cast<const EInsertRefused*>(&error) && kind == kServer) return kInsertRefused;
        return kind;
    }
    // The settings' own faults: a password that is no cipher text, a branch number that is no
    // number, no store code for the branch.
    if (dynamic_cast<const EConvertError*>(&error) || dynamic_cast<const EVariantError*>(&error)) return kSettings;
    return kOther;
}

}  // namespace tarvik::admin
