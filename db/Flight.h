#pragma once
// A flight: several statements sent to the server as one text, each answered in turn. A link
// far from its server pays one round trip per text, so a run that sends its probes and its
// inserts in flights costs a round trip per flight instead of per statement. The server runs
// the statements in order and stops at the first one that fails; what came before it stands.
//
// Every answer is checked against the statement it answers: an INSERT must be answered by an
// OK for exactly one row, a SELECT by a result of the columns it asks for, one answer per
// statement and no more. Anything else (a value that ended its text early, a server that ended
// the text with an answer that still announced more) means the server did something other than
// what was sent, and the link is closed at once: nothing more is read from a stream whose answers
// no longer line up with the statements, and the server frees whatever the session held.

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

struct TFlightStatement {
    std::string text;
    // The answer it calls for: 0, an OK that changed exactly one row (an INSERT of one row);
    // otherwise a result of this many columns (a SELECT).
    unsigned resultColumns = 0;

    static TFlightStatement InsertOfOneRow(std::string text) { return {std::move(text), 0}; }
    static TFlightStatement Select(std::string text, unsigned columns) { return {std::move(text), columns}; }
};

struct TFlightAnswer {
    // One entry per statement answered as it called for, in order: the rows of its result for a
    // SELECT, the rows it changed (1) for an INSERT.
    std::vector<uint64_t> counts;
    // The server refused the statement at counts.size(): its text, trimmed, and its number. The
    // statements after it were not run.
    bool failed = false;
    std::string error;
    unsigned errorNumber = 0;
    std::string sqlState;
    // The link broke (or went quiet past its read timeout) while answers were outstanding, or
    // the answer at counts.size() was not the one its statement called for (`mismatch` says how).
    // Either way the statements from counts.size() on may or may not have been carried out, and
    // nothing on this side can tell which; the link is closed.
    bool linkLost = false;
    bool mismatched = false;
    std::string mismatch;

    // The statements from counts.size() on have an unknown outcome.
    bool OutcomeUnknown() const { return linkLost || mismatched; }
};

// The text of a flight: the statements as the link's sending rule makes them, joined by ";".
std::string FlightText(const std::vector<std::string>& preparedStatements);

// Whether an answer is the one `statement` calls for: `columns` is the number of columns of its
// result, or -1 for an OK that changed `changed` rows. The reason when it is not, "" when it is.
std::string FlightAnswerMismatch(const TFlightStatement& statement, long columns, uint64_t changed);

}  // namespace tarvik
