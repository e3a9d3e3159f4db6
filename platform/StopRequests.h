#pragma once
// Requests from outside to stop a command that is running: Ctrl-C, and what service managers,
// schedulers and timeouts send (SIGTERM on Linux; a console's Ctrl-Break, or its window being
// closed, on Windows). While a TStopRequests lives, the first request is only recorded, so that
// the command can stop where nothing is left half-done; a second one ends the program at once,
// as it would have without it. One implementation per system (linux/, windows/).

namespace tarvik {

class TStopRequests {
public:
    TStopRequests();
    ~TStopRequests();  // puts the system's own handling back
    TStopRequests(const TStopRequests&) = delete;
    TStopRequests& operator=(const TStopRequests&) = delete;

    bool Requested() const;
    // The exit status that says how the command was stopped, as a shell reports a program ended
    // by that signal: 130 for Ctrl-C, 143 for the others (SIGTERM's 128 + 15).
    int ExitStatus() const;
    // The command has stopped. On Windows a console being closed waits for this (the system
    // ends the program a few seconds after it asked, whatever the program does).
    void Stopped();
};

}  // namespace tarvik
