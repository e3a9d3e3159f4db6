#include "tools/admin/EncipherCommand.h"

#include <ostream>

#include "settings/util.h"
#include "tools/admin/Failures.h"

namespace tarvik::admin {

int PrintEncipheredPassword(TConsole& console) {
    std::string password;
    if (!console.readSecret || !console.readSecret("Password: ", password))
        throw EUsage("standard input: no password on line 1");
    console.out << CipherText("E", password, kPasswordCipherKey) << '\n';
    return kExitDone;
}

}  // namespace tarvik::admin
