#pragma once
// The streams a subcommand talks through, and whether they are terminals. The program hands
// in the process's own; tests hand in string streams.

#include <functional>
#include <iosfwd>
#include <string>

namespace tarvik::admin {

struct TConsole {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool inIsTerminal = false;
    bool errIsTerminal = false;
    // Reads one secret: without echo from the terminal when standard input is one (the
    // prompt on standard error), otherwise the next line of standard input. Returns false
    // when there is nothing to read. Replaced by tests that drive a terminal session.
    std::function<bool(const std::string& prompt, std::string& secret)> readSecret;
};

// A console on the process's standard streams.
TConsole ProcessConsole();

// The next line of `in`, without its line end (LF, or CR LF); false at the end of input.
bool ReadLine(std::istream& in, std::string& line);

}  // namespace tarvik::admin
