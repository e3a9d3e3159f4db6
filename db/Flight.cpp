#include "db/Flight.h"

#include <mysql.h>

#include <chrono>

#include "client/Session.h"
#include "db/DbLink.h"
#include "db/Messages.h"
#include "platform/Errors.h"
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

std::string FlightAnswerMismatch(const TFlightStatement& statement, long columns, uint64_t changed) {
    if (statement.resultColumns == 0) {
        if (columns >= 0) return Format(db_messages::kInsertAnsweredWithRows, static_cast<unsigned>(columns));
        if (changed != 1) return Format(db_messages::kInsertChangedRows, std::to_string(changed).c_str());
        return std::string();
    }
    if (columns < 0) return db_messages::kSelectAnsweredWithoutRows;
    if (static_cast<unsigned long>(columns) != statement.resultColumns)
        return Format(db_messages::kSelectColumns, static_cast<unsigned>(columns), statement.resultColumns);
    return std::string();
}

TFlightAnswer TDbLink::ExecuteFlight(const std::vector<TFlightStatement>& statements) {
    TWaitCursor cursor;
    RequireOpen();
    RequireLatin1();
    TFlightAnswer answer;
    if (statements.empty()) return answer;
    std::vector<std::string> prepared;
    prepared.reserve(statements.size());
    const TQuoting quoting = Quoting();
    for (const TFlightStatement& statement : statements) prepared.push_back(PrepareStatementText(statement.text, quoting));
    const std::string text = FlightText(prepared);

    MYSQL* link = handle_.get();
    auto waitingSince = std::chrono::steady_clock::now();
    const auto fail = [&] {
        answer.errorNumber = mysql_errno(link);
        answer.error = Trim(mysql_error(link));
        answer.sqlState = mysql_sqlstate(link);
        NoteFailure(waitingSince);
        answer.linkLost = IsLinkLost(answer.errorNumber);
        answer.failed = !answer.linkLost;
    };
    const auto mismatch = [&](std::string why) {
        answer.mismatched = true;
        answer.mismatch = std::move(why);
    };
    if (mysql_real_query(link, text.data(), text.size()) != 0) {
        fail();
    } else {
        for (;;) {
            const TResultHandle result = StoreResult();
            if (!result && mysql_field_count(link) != 0) {
                // A result was announced and could not be read: the link broke under it.
                fail();
                break;
            }
            if (answer.counts.size() == statements.size()) {
                mismatch(Format(db_messages::kMoreAnswersThanStatements, static_cast<unsigned>(statements.size())));
                break;
            }
            const long columns = result ? static_cast<long>(mysql_num_fields(result.get())) : -1;
            const uint64_t count = result ? mysql_num_rows(result.get()) : mysql_affected_rows(link);
            std::string why = FlightAnswerMismatch(statements[answer.counts.size()], columns, count);
            if (!why.empty()) {
                mismatch(std::move(why));
                break;
            }
            answer.counts.push_back(count);
            waitingSince = std::chrono::steady_clock::now();
            const int more = mysql_next_result(link);
            if (more == -1) break;
            if (more > 0) {
                fail();
                break;
            }
        }
        if (!answer.failed && !answer.OutcomeUnknown() && answer.counts.size() < statements.size())
            mismatch(Format(db_messages::kFewerAnswersThanStatements, static_cast<unsigned>(answer.counts.size()),
                            static_cast<unsigned>(statements.size())));
    }
    // Nothing more is read from a link whose answers no longer line up with what was sent, or
    // that broke: closing it ends the session on the server, which frees what it held.
    if (answer.OutcomeUnknown()) Close();
    return answer;
}

}  // namespace tarvik
