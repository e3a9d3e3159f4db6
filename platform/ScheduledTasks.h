#pragma once
// Windows' Task Scheduler, as tarvik-admin schedules the nightly run there (on Linux the
// package's systemd timer does it). Windows only: windows/ScheduledTasks.cpp.

#include <string>

namespace tarvik {

// Registers the task `name` ("\Folder\Task", folders made as needed) from its XML definition,
// replacing one of that name; it runs as `account` without a stored password, or as the user
// logged on when `account` is empty. Throws Exception with the system's reason.
void RegisterScheduledTask(const std::string& name, const std::string& definition, const std::string& account);
// Removes the task `name`; false when there was none. Throws Exception on any other failure.
bool RemoveScheduledTask(const std::string& name);
// The account that owns the file at `path`, as DOMAIN\name; "" when it cannot be told.
std::string FileOwnerAccount(const std::string& path);

}  // namespace tarvik
