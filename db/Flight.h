#pragma once
// A flight: several statements sent to the server as one text, each answered in turn. A link
// far from its server pays one round trip per text, so a run that sends its probes and its
// inserts in flights costs a round trip per flight instead of per statement. The server runs
// the statements in order and stops at the first one that fails; what came before it stands.

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

struct TFlightAnswer {
    // One entry per statement the server answered, in order: the rows of its result for a
    // SELECT, the rows it changed otherwise.
    std::vector<uint64_t> counts;
    // The statement at counts.size() failed (when the flight was not answered whole): the
    // client library's text, trimmed, and its number.
    bool failed = false;
    std::string error;
    unsigned errorNumber = 0;
    // The link broke while answers were outstanding: the statements from counts.size() on may
    // or may not have been carried out, and nothing on this side can tell which.
    bool linkLost = false;
};

// The text of a flight: the statements as the link's sending rule makes them, joined by ";".
std::string FlightText(const std::vector<std::string>& preparedStatements);

}  // namespace tarvik
