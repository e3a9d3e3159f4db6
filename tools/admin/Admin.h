#pragma once
// The administrator's program: its subcommands and their options.

#include <string>
#include <vector>

#include "tools/admin/Console.h"

namespace tarvik::admin {

// Runs `tarvik-admin` with `arguments` (the program name first) and returns its exit status:
// 0 done, 1 the thing checked is wrong, 2 bad usage or could not check.
int RunAdmin(const std::vector<std::string>& arguments, TConsole& console);

// The version the build was made from.
std::string Version();

}  // namespace tarvik::admin
