#pragma once
// `tarvik-admin init DIR`: writes sistema_qor.ini and connection.conf for a branch workstation.

#include <cstdint>
#include <optional>
#include <string>

#include "client/Tls.h"
#include "tools/admin/Console.h"

namespace CLI {
class App;
}

namespace tarvik::admin {

struct TTlsOptions {
    std::optional<std::string> mode;  // "required" or "verify"
    std::optional<std::string> ca;
    std::optional<std::string> cert;
    std::optional<std::string> key;
    bool Given() const { return mode || ca || cert || key; }
};

struct TInitOptions {
    std::string directory;
    bool force = false;
    // Compare with what the files hold and write them only when something differs (status 3),
    // otherwise leave them as they are (status 0).
    bool ifChanged = false;
    std::string host;
    std::string database = "merovan";
    // The main connection's account and port; unset, the file names none (root, 3306).
    std::optional<std::string> user;
    std::optional<int32_t> port;
    std::optional<int32_t> idPort;
    // TLS of the main connection; the identification connection takes the same unless one of
    // its own is given. A file without a mode asks for verify.
    TTlsOptions tls;
    TTlsOptions idTls;
    int32_t branch = 0;
    bool useLogicalBranch = false;
    std::optional<std::string> idHost;
    std::optional<std::string> idDatabase;
    std::optional<std::string> idUser;
    std::string mac;
    std::optional<int32_t> codFisica;
    std::string name;
    std::string cnpj;
    // The account that runs the window: the files are given to it, since only their owner may
    // read them and an administrator usually writes them as root.
    std::optional<std::string> owner;
};

// Declares `init` and its options on `app`; the command line's values land in `options`.
CLI::App* AddInitOptions(CLI::App& app, TInitOptions& options);

// The two files' texts, given the passwords; checked against the program's own readers before
// anything is written (throws EUsage naming the option whose value would read back otherwise).
struct TInitFiles {
    std::string sistemaQor;
    std::string connectionConf;
};
TInitFiles BuildInitFiles(const TInitOptions& options, const std::string& password, const std::string& idPassword);

// Asks for the passwords, builds and writes both files. Returns the exit status.
int InitSettingsFiles(const TInitOptions& options, TConsole& console);

}  // namespace tarvik::admin
