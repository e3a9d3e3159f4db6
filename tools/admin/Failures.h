#pragma once
// How a subcommand ends when it cannot do its job: the message names the file, section and
// key or the option at fault, and the exit status says whose fault it is.

#include <stdexcept>
#include <string>

namespace tarvik::admin {

enum TExitStatus : int {
    kExitDone = 0,
    kExitWrong = 1,        // the thing checked is wrong (or the run stopped with an error)
    kExitCannotCheck = 2,  // bad usage, or the check could not be made
    kExitRunInProgress = 75,
    kExitInterrupted = 130,   // run: stopped by Ctrl-C after the product or flight in progress  // another run holds the branch's run lock: try again later (EX_TEMPFAIL)
};

// Bad usage or bad input: exit status 2.
class EUsage : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace tarvik::admin
