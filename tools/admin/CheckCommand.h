#pragma once
// `tarvik-admin check DIR`: opens both connections as the program does and only reads: the
// server, the tables and columns the run relies on, the identification record, the branch
// number and store code, and for each target table how many rows a run would insert.

#include <optional>
#include <string>
#include <vector>

#include "tools/admin/Console.h"

namespace tarvik::admin {

struct TCheckOptions {
    std::string directory;
    bool json = false;
    std::optional<std::string> table;  // one target table; both when absent
};

// The one read-only statement that counts, for target table `table` and branch number
// `branch`, the products and the distinct product numbers that have no row for the branch
// (exactly the rows a run inserts: a product listed twice gets one row). Columns "produtos"
// and "faltantes".
std::string CountStatement(const std::string& table, int32_t branch);

int CheckWorkstation(const TCheckOptions& options, TConsole& console);

}  // namespace tarvik::admin
