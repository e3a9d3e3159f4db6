#include "tools/admin/EncipherCommand.h"

#include <CLI/CLI.hpp>

#include <ostream>

#include "settings/PasswordCipher.h"
#include "tools/admin/ExitStatus.h"
#include "tools/admin/Messages.h"
#include "tools/admin/Text.h"

namespace tarvik::admin {

CLI::App* AddEncipherOptions(CLI::App& app) { return app.add_subcommand("encipher", admin_messages::kEncipherHelp); }

int PrintEncipheredPassword(TConsole& console) {
    std::string password;
    if (!console.readSecret || !console.readSecret(admin_messages::kPasswordPrompt, password))
        throw EUsage(Fill(admin_messages::kNoPasswordOnLine, {admin_messages::kPassword, "1"}));
    console.out << CipherText("E", password, kPasswordCipherKey) << '\n';
    return kExitDone;
}

}  // namespace tarvik::admin
