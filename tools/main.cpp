// tarvik-admin: the administrator's program. Everything but the process's streams lives in
// the tarvik_admin library, which the tests drive directly.
#include "tools/admin/Admin.h"
#include "tools/admin/Console.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv, argv + argc);
    tarvik::admin::TConsole console = tarvik::admin::ProcessConsole();
    return tarvik::admin::RunAdmin(arguments, console);
}
