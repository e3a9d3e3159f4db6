// tarvik-admin: the administrator's program. Everything but the process's streams lives in
// the tarvik_admin library, which the tests drive directly.
#include "platform/Arguments.h"
#include "platform/LibrarySearch.h"
#include "platform/Terminal.h"
#include "tools/admin/Admin.h"
#include "tools/admin/Console.h"

namespace {

int Run(std::vector<std::string> arguments) {
    tarvik::PrepareConsoleOutput();
    tarvik::admin::TConsole console = tarvik::admin::ProcessConsole();
    return tarvik::admin::RunAdmin(arguments, console);
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    // Before anything can load a library on demand.
    tarvik::RestrictLibrarySearch();
    return Run(tarvik::ArgumentsFromWide(argc, argv));
}
#else
int main(int argc, char** argv) {
    tarvik::RestrictLibrarySearch();
    return Run(std::vector<std::string>(argv, argv + argc));
}
#endif
