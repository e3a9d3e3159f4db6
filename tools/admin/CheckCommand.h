#pragma once
// `tarvik-admin check DIR`: opens both connections as the program does and only reads: the
// server, the tables and columns the run relies on, the identification record, the branch
// number and store code, and for each target table how many rows a run would insert.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "client/Tls.h"
#include "tools/admin/Console.h"

namespace CLI {
class App;
}

namespace tarvik::admin {

struct TCheckOptions {
    std::string directory;
    bool json = false;
    std::optional<std::string> table;  // one target table; both when absent
};

// Declares `check` and its options on `app`; the command line's values land in `options`.
CLI::App* AddCheckOptions(CLI::App& app, TCheckOptions& options);

// What check found. Every text is UTF-8 (decoded where it was read).
struct TCheckServer {
    std::string version;
    std::string sqlMode;
    bool strict = false;
    bool noBackslashEscapes = false;
};

struct TCheckMainConnection {
    bool settingsApplied = false;  // host, database and user are those of sistema_qor.ini
    std::string host;
    std::string database;
    std::string user;
    std::optional<TCheckServer> server;  // when connected
    std::optional<std::string> error;    // the settings could not be applied, or the connect failed
    TTlsMode tlsAsked = TTlsMode::None;
    std::optional<TLinkSecurity> security;  // when connected
};

struct TCheckRecord {
    int32_t filialId = 0;
    std::string cnpjServidor;
    std::string tipoServidor;
};

// The identification connection, looked at only when the store code comes from its record.
struct TCheckIdentification {
    std::string host;  // as stored ("localhost" stays "localhost")
    std::string database;
    std::string user;
    std::optional<TCheckRecord> record;
    std::optional<std::string> error;  // when the record could not be loaded
    TTlsMode tlsAsked = TTlsMode::None;
    std::optional<TLinkSecurity> security;  // when the link was opened
};

struct TCheckBranch {
    int32_t logical = 0;
    bool storeCodeFromFile = false;
    std::optional<std::string> effective;  // the effective branch number, as text
    std::optional<std::string> storeCode;
    std::optional<std::string> error;      // why there is no store code
};

struct TCheckTable {
    bool examined = false;  // false while the main connection is not open
    // The columns the run does not set that make the server refuse every insert; absent when
    // the table's layout could not be read.
    std::optional<std::vector<std::string>> columnsFailingInserts;
    std::optional<long long> products;
    std::optional<long long> rowsToInsert;
    std::optional<std::string> error;
    std::string runLock;                     // the name of the table's run lock for this branch
    std::optional<std::string> runLockHolder;  // the connection that holds it now, if one does
    // How long a run would take, in seconds, from the counts and the measured round trip.
    std::optional<double> windowSeconds;
    std::optional<double> toolSeconds;
};

// The link to the main server, as a few pings ("SELECT 1") measured it.
struct TCheckLink {
    double roundTripMs = 0;  // the median
    int pings = 0;
};

struct TCheckReport {
    // False when the check itself could not be made (`error` says why); then only the main
    // connection is described.
    bool checked = false;
    std::string error;
    TCheckMainConnection mainConnection;
    TCheckBranch branch;
    std::optional<TCheckIdentification> identification;
    std::map<std::string, TCheckTable> tables;
    std::optional<TCheckLink> link;
    std::vector<std::string> problems;  // each one reason a run would not succeed
    std::vector<std::string> problemKinds;  // and its kind, one for each (tools/admin/FailureKind.h)
    std::string errorKind;  // the kind of `error`, when the check could not be made
    std::vector<std::string> notes;

    bool RunWouldSucceed() const { return problems.empty(); }
};

// Checks the workstation of the current settings directory (see TSettingsDirectory): both
// connections, the tables the run uses (only `table` when given), and the branch.
TCheckReport CheckSettings(const std::optional<std::string>& table);

// The one read-only statement that counts, for target table `table` and branch number
// `branch`, the products and the distinct product numbers that have no row for the branch
// (exactly the rows a run inserts: a product listed twice gets one row). Columns "produtos"
// and "faltantes".
std::string CountStatement(const std::string& table, int32_t branch);

int CheckWorkstation(const TCheckOptions& options, TConsole& console);

}  // namespace tarvik::admin
