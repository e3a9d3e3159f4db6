#include "tools/admin/ScheduleCommand.h"

#include <CLI/CLI.hpp>

#include <ostream>

#include "platform/ExecutablePath.h"
#include "platform/Files.h"
#include "platform/ScheduledTasks.h"
#include "run/GenerationRun.h"
#include "settings/UConfigSistemaQOR.h"
#include "tools/admin/ExitStatus.h"
#include "tools/admin/Files.h"
#include "tools/admin/Messages.h"
#include "tools/admin/TaskDefinition.h"
#include "tools/admin/Text.h"

namespace tarvik::admin {

CLI::App* AddScheduleOptions(CLI::App& app, TScheduleOptions& options) {
    CLI::App* command = app.add_subcommand("schedule", admin_messages::kScheduleHelp);
    command->add_option("DIR", options.directory, admin_messages::kDirectoryHelp)->required();
    command->add_option("--table", options.table,
                        Fill(admin_messages::kRunTableHelp, {TargetTableFor(0), TargetTableFor(1)}))
        ->required();
    command->add_option("--at", options.at, admin_messages::kAtHelp)->capture_default_str()->type_name("HH:MM");
    command->add_option("--user", options.user, admin_messages::kScheduleUserHelp)->type_name("ACCOUNT");
    command->add_flag("--remove", options.remove, admin_messages::kScheduleRemoveHelp);
    return command;
}

int ScheduleNightlyRun(const TScheduleOptions& options, TConsole& console) {
    if (options.table != TargetTableFor(0) && options.table != TargetTableFor(1))
        throw EUsage(Fill(admin_messages::kBadTable, {Quoted(options.table), TargetTableFor(0), TargetTableFor(1)}));
    if (!IsTimeOfDay(options.at)) throw EUsage(Fill(admin_messages::kBadTimeOfDay, {Quoted(options.at)}));
    RequireDirectory(options.directory);
    const std::string name = NightlyTaskName(options.table);
    if (options.remove) {
        const bool removed = RemoveScheduledTask(name);
        console.out << Fill(removed ? admin_messages::kTaskRemoved : admin_messages::kNoTask, {name});
        return kExitDone;
    }
    TNightlyTask task;
    task.program = ExecutableDirectory() + ExecutableFileName();
    task.directory = options.directory;
    task.table = options.table;
    task.at = options.at;
    const std::string settings = WithDirectorySeparator(options.directory) + TConfigSistemaQOR::kFileName;
    if (!IsRegularFile(settings)) throw EUsage(Fill(admin_messages::kNoSettingsToSchedule, {settings}));
    task.account = options.user ? *options.user : FileOwnerAccount(settings);
    RegisterScheduledTask(name, NightlyTaskDefinition(task), task.account);
    console.out << Fill(admin_messages::kTaskRegistered,
                        {name, options.at, task.account.empty() ? admin_messages::kLoggedOnUser : task.account});
    return kExitDone;
}

}  // namespace tarvik::admin
