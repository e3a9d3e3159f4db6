#pragma once
// `tarvik-admin encipher`: the stored form of a password for the "senha" key of sistema_qor.ini.

#include "tools/admin/Console.h"

namespace CLI {
class App;
}

namespace tarvik::admin {

// Declares `encipher` on `app`; it has no options.
CLI::App* AddEncipherOptions(CLI::App& app);

// The password is the first line of standard input (or typed without echo on a terminal);
// a fresh seed every time, so two calls give two different texts that decipher alike.
int PrintEncipheredPassword(TConsole& console);

}  // namespace tarvik::admin
