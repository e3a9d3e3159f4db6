#include "tools/admin/Admin.h"

#include <CLI/CLI.hpp>

#include <exception>
#include <ostream>

#include "platform/Errors.h"
#include "tools/admin/CheckCommand.h"
#include "tools/admin/EncipherCommand.h"
#include "tools/admin/ExitStatus.h"
#include "tools/admin/InitCommand.h"
#include "tools/admin/Messages.h"
#include "tools/admin/RunCommand.h"
#include "tools/admin/ScheduleCommand.h"
#include "tools/admin/ShowCommand.h"
#include "tools/admin/Text.h"

namespace tarvik::admin {

std::string Version() { return TARVIK_VERSION; }

int RunAdmin(const std::vector<std::string>& arguments, TConsole& console) {
    CLI::App app(admin_messages::kProgram, "tarvik-admin");
    app.set_version_flag("--version", "tarvik-admin " + Version());
    app.require_subcommand(1);
    app.fallthrough(false);

    TInitOptions init;
    const CLI::App* initCommand = AddInitOptions(app, init);
    TShowOptions show;
    const CLI::App* showCommand = AddShowOptions(app, show);
    TCheckOptions check;
    const CLI::App* checkCommand = AddCheckOptions(app, check);
    TRunOptions run;
    const CLI::App* runCommand = AddRunOptions(app, run);
    const CLI::App* encipherCommand = AddEncipherOptions(app);
#ifdef _WIN32
    // On Linux the package's systemd timer schedules the nightly run.
    TScheduleOptions schedule;
    const CLI::App* scheduleCommand = AddScheduleOptions(app, schedule);
#endif

    std::vector<const char*> argv;
    for (const std::string& a : arguments) argv.push_back(a.c_str());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e, console.out, console.err);
        return status == 0 ? kExitDone : kExitCannotCheck;
    }

    try {
        if (*initCommand) return InitSettingsFiles(init, console);
        if (*showCommand) return ShowSettingsFiles(show, console);
        if (*checkCommand) return CheckWorkstation(check, console);
        if (*runCommand) return RunGenerationHeadless(run, console);
        if (*encipherCommand) return PrintEncipheredPassword(console);
#ifdef _WIN32
        if (*scheduleCommand) return ScheduleNightlyRun(schedule, console);
#endif
    } catch (const EUsage& e) {
        // One line per fault, each saying whose it is.
        std::string message = e.what();
        size_t start = 0;
        while (start <= message.size()) {
            size_t end = message.find('\n', start);
            if (end == std::string::npos) end = message.size();
            console.err << Fill(admin_messages::kFailed, {Utf8FromSystemText(message.substr(start, end - start))});
            start = end + 1;
        }
        return kExitCannotCheck;
    } catch (const Exception& e) {
        console.err << Fill(admin_messages::kFailed, {Utf8FromSystemText(e.Message())});
        return kExitCannotCheck;
    } catch (const std::exception& e) {
        // Whatever else goes wrong still ends the command with its text and a status, never
        // with an abort that leaves a script nothing to read.
        console.err << Fill(admin_messages::kFailed, {Utf8FromSystemText(e.what())});
        return kExitCannotCheck;
    } catch (...) {
        console.err << admin_messages::kUnknownFailure;
        return kExitCannotCheck;
    }
    return kExitCannotCheck;
}

}  // namespace tarvik::admin
