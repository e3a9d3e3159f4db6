#include "tools/admin/TaskDefinition.h"

namespace tarvik::admin {
namespace {

std::string XmlEscaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default: out += c; break;
        }
    }
    return out;
}

std::string WithBackslash(const std::string& directory) {
    if (!directory.empty() && (directory.back() == '\\' || directory.back() == '/')) return directory;
    return directory + "\\";
}

}  // namespace

std::string NightlyTaskName(const std::string& table) { return "\\Tarvik\\" + table; }

std::string QuotedWindowsArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string out = "\"";
    size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped; elsewhere they stand.
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    out += '"';
    return out;
}

std::string NightlyRunArguments(const TNightlyTask& task) {
    const std::string record = WithBackslash(task.directory) + "last-run-" + task.table + ".json";
    std::string arguments = "run " + QuotedWindowsArgument(task.directory) + " --table " +
                            QuotedWindowsArgument(task.table) + " --quiet --if-missing --wait-for-lock 900 --record " +
                            QuotedWindowsArgument(record);
    return arguments;
}

std::string NightlyTaskDefinition(const TNightlyTask& task) {
    std::string principal = "<Principal id=\"Author\">";
    if (task.account.empty()) {
        principal += "<LogonType>InteractiveToken</LogonType>";
    } else {
        principal += "<UserId>" + XmlEscaped(task.account) + "</UserId><LogonType>S4U</LogonType>";
    }
    principal += "<RunLevel>LeastPrivilege</RunLevel></Principal>";
    return "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
           "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">"
           "<RegistrationInfo><Description>Tarvik: nightly fill of " + XmlEscaped(task.table) +
           "</Description></RegistrationInfo>"
           "<Principals>" + principal + "</Principals>"
           "<Settings><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>"
           "<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"
           "<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>"
           "<StartWhenAvailable>true</StartWhenAvailable>"
           "<ExecutionTimeLimit>PT6H</ExecutionTimeLimit></Settings>"
           "<Triggers><CalendarTrigger><StartBoundary>2000-01-01T" + task.at + ":00</StartBoundary>"
           "<RandomDelay>PT30M</RandomDelay><ScheduleByDay><DaysInterval>1</DaysInterval></ScheduleByDay>"
           "</CalendarTrigger></Triggers>"
           "<Actions Context=\"Author\"><Exec><Command>" + XmlEscaped(task.program) + "</Command>"
           "<Arguments>" + XmlEscaped(NightlyRunArguments(task)) + "</Arguments>"
           "<WorkingDirectory>" + XmlEscaped(task.directory) + "</WorkingDirectory></Exec></Actions>"
           "</Task>\n";
}

bool IsTimeOfDay(const std::string& text) {
    if (text.size() != 5 || text[2] != ':') return false;
    for (const size_t i : {0u, 1u, 3u, 4u})
        if (text[i] < '0' || text[i] > '9') return false;
    return (text[0] - '0') * 10 + (text[1] - '0') < 24 && text[3] < '6';
}

}  // namespace tarvik::admin
