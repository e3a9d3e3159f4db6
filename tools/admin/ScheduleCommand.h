#pragma once
// `tarvik-admin schedule DIR --table T` (Windows): registers the nightly run of T with DIR's
// settings files as a scheduled task, under the account that owns the settings, as the Linux
// package's timer runs it there; `--remove` takes it away again.

#include <optional>
#include <string>

#include "tools/admin/Console.h"

namespace CLI {
class App;
}

namespace tarvik::admin {

struct TScheduleOptions {
    std::string directory;
    std::string table;
    std::string at = "02:30";
    std::optional<std::string> user;  // the task's account; the settings file's owner otherwise
    bool remove = false;
};

CLI::App* AddScheduleOptions(CLI::App& app, TScheduleOptions& options);

int ScheduleNightlyRun(const TScheduleOptions& options, TConsole& console);

}  // namespace tarvik::admin
