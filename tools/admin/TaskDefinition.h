#pragma once
// The nightly run as a Windows scheduled task: the task's definition (the Task Scheduler's XML)
// and the command line it runs, the same run the Linux package's timer starts. Plain text
// building, so it is the same on every system.

#include <string>

namespace tarvik::admin {

struct TNightlyTask {
    std::string program;    // tarvik-admin.exe, its full path
    std::string directory;  // the settings files' folder
    std::string table;
    std::string at = "02:30";  // HH:MM, local time
    std::string account;       // runs as this account without a stored password; "" for the interactive user
};

// The task's name in the Task Scheduler: "\Tarvik\<table>".
std::string NightlyTaskName(const std::string& table);

// One argument as Windows' command-line parsing reads it back whole: in double quotes when it
// holds a blank, a tab or a quote (or is empty), each quote escaped with a backslash and the
// backslashes before a quote or the closing quote doubled.
std::string QuotedWindowsArgument(const std::string& argument);

// The run's arguments: run DIR --table T --quiet --if-missing --wait-for-lock 900
// --record DIR\last-run-T.json.
std::string NightlyRunArguments(const TNightlyTask& task);

// The task's XML (UTF-8 texts, escaped for XML): every day at `at`, up to 30 minutes later,
// caught up when the machine was off, one at a time, at most 6 hours, on battery too.
std::string NightlyTaskDefinition(const TNightlyTask& task);

// True for "HH:MM" with HH 00-23 and MM 00-59.
bool IsTimeOfDay(const std::string& text);

}  // namespace tarvik::admin
