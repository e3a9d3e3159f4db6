#pragma once
// How a subcommand ends: its exit status says whose fault it is when it cannot do its job, and
// the message of a usage error names the file, section and key or the option at fault.

#include "platform/Errors.h"

namespace tarvik::admin {

enum TExitStatus : int {
    kExitDone = 0,
    kExitWrong = 1,        // the thing checked is wrong (or the run stopped with an error)
    kExitCannotCheck = 2,  // bad usage, or the check could not be made
    kExitChanged = 3,      // init --if-changed: something differed, and the files were written
    kExitRunInProgress = 75,  // run: another run for the branch and table holds the run lock (EX_TEMPFAIL)
    kExitInterrupted = 130,   // run: stopped by Ctrl-C after the product or flight in progress
};

// Bad usage or bad input: exit status 2. Its text may hold several faults, one a line.
class EUsage : public Exception {
    using Exception::Exception;
};

}  // namespace tarvik::admin
