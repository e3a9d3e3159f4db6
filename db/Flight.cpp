#include "db/Flight.h"

#include <mysql.h>
#include <errmsg.h>

#include "db/DbConnection.h"
#include "platform/Text.h"
#include "platform/WaitCursor.h"

namespace tarvik {

std::string FlightText(const std::vector<std::string>& preparedStatements) {
    std::string text;
    for (const std::string& statement : preparedStatements) {
        if (!text.empty()) text += ';';
        text += statement;
    }
    return text;
}

TFlightAnswer TDbTransaction::ExecFlight(const std::vector<std::string>& statements) {
    TWaitCursor cursor;
    RequireLink();
    TFlightAnswer answer;
    if (statements.empty()) return answer;
    std::vector<std::string> prepared;
    prepared.reserve(statements.size());
    const TQuoting quoting = Quoting();
    for (const std::string& statement : statements) prepared.push_back(PrepareStatementText(statement, quoting));
    const std::string text = FlightText(prepared);

    MYSQL* link = link_.get();
    const auto fail = [&] {
        answer.failed = true;
        answer.errorNumber = mysql_errno(link);
        answer.error = Trim(mysql_error(link));
        answer.linkLost = answer.errorNumber == CR_SERVER_LOST || answer.errorNumber == CR_SERVER_GONE_ERROR;
    };
    if (mysql_real_query(link, text.data(), text.size()) != 0) {
        fail();
        return answer;
    }
    for (;;) {
        const TResultHandle result = StoreResult();
        if (result) answer.counts.push_back(mysql_num_rows(result.get()));
        else if (mysql_field_count(link) == 0) answer.counts.push_back(mysql_affected_rows(link));
        else {
            // A result was announced and could not be read: the link broke under it.
            fail();
            return answer;
        }
        const int more = mysql_next_result(link);
        if (more == -1) break;
        if (more > 0) {
            fail();
            break;
        }
    }
    // Answered in part: the rest were never run (the server stops at the first failure), or,
    // with the link gone, may have been.
    return answer;
}

}  // namespace tarvik
