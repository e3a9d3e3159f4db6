#pragma once
// Programs a test starts: the servers of its own, the program under test in a process of its
// own, an X server and a window manager.

#include <sys/types.h>

#include <string>
#include <vector>

namespace tarvik::test {

struct TSpawnOptions {
    std::vector<std::string> environment;  // NAME=value, taking precedence over the test's own
    std::string output;                    // standard output goes to this file ("": inherited)
    bool append = false;                   // to the end of `output` rather than over it
    bool errorToOutput = false;            // standard error follows standard output
    bool inputFromNull = false;            // standard input from /dev/null
    int descriptorThree = -1;              // handed to the child as its descriptor 3
};

// Starts `args[0]` (looked up on PATH) with its arguments; returns its pid. Throws
// std::runtime_error when it cannot be started.
pid_t Spawn(const std::vector<std::string>& args, const TSpawnOptions& options);

// A started program, ended (SIGTERM) and reaped when the object goes if it still runs.
class TChildProcess {
public:
    TChildProcess(const std::vector<std::string>& args, const TSpawnOptions& options)
        : pid_(Spawn(args, options)) {}
    ~TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    pid_t Pid() const { return pid_; }
    // Sends `signal` (SIGINT, SIGKILL, ...) while it runs.
    void Signal(int signal);
    // Waits for the end, however long it takes; the raw wait status.
    int WaitStatus();
    // Waits at most `milliseconds` for the end; its exit code, or -1 when it is still running
    // then or ended by a signal.
    int Wait(int milliseconds);

private:
    pid_t pid_;
};

}  // namespace tarvik::test
