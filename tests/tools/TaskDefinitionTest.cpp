// The nightly run as a Windows scheduled task: the command line it runs reads back as the run's
// arguments, and the definition carries what the Task Scheduler needs, escaped.
#include "tools/admin/TaskDefinition.h"

#include <gtest/gtest.h>

namespace tarvik::admin {
namespace {

TEST(TaskDefinitionTest, ArgumentsReadBackWholeByWindowsRules) {
    const struct {
        std::string argument, quoted;
    } cases[] = {
        {"estoque_minimo", "estoque_minimo"},
        {"C:\\Tarvik", "C:\\Tarvik"},
        {"C:\\Program Files\\Tarvik", "\"C:\\Program Files\\Tarvik\""},
        {"C:\\Tarvik Loja\\", "\"C:\\Tarvik Loja\\\\\""},  // a closing quote after a backslash
        {"a \"b\" c", "\"a \\\"b\\\" c\""},
        {"x\\\"y z", "\"x\\\\\\\"y z\""},
        {"", "\"\""},
    };
    for (const auto& c : cases) EXPECT_EQ(QuotedWindowsArgument(c.argument), c.quoted) << c.argument;
}

TEST(TaskDefinitionTest, TheDefinitionRunsTheNightlyRunAsTheOwner) {
    TNightlyTask task{"C:\\Program Files\\Tarvik\\tarvik-admin.exe", "C:\\Tarvik & Filhos", "estoque_minimo", "03:15",
                      "LOJA\\maria"};
    const std::string xml = NightlyTaskDefinition(task);
    for (const std::string& part :
         {std::string("<Command>C:\\Program Files\\Tarvik\\tarvik-admin.exe</Command>"),
          std::string("<Arguments>run &quot;C:\\Tarvik &amp; Filhos&quot; --table estoque_minimo --quiet --if-missing "
                      "--wait-for-lock 900 --record &quot;C:\\Tarvik &amp; Filhos\\last-run-estoque_minimo.json&quot;"
                      "</Arguments>"),
          std::string("<WorkingDirectory>C:\\Tarvik &amp; Filhos</WorkingDirectory>"),
          std::string("<StartBoundary>2000-01-01T03:15:00</StartBoundary>"),
          std::string("<UserId>LOJA\\maria</UserId><LogonType>S4U</LogonType>"),
          std::string("<StartWhenAvailable>true</StartWhenAvailable>"),
          std::string("<MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>")})
        EXPECT_NE(xml.find(part), std::string::npos) << part << "\n" << xml;
    task.account.clear();
    EXPECT_NE(NightlyTaskDefinition(task).find("<LogonType>InteractiveToken</LogonType>"), std::string::npos);
    EXPECT_EQ(NightlyTaskName("estoque_minimo2"), "\\Tarvik\\estoque_minimo2");
}

TEST(TaskDefinitionTest, TimesOfDay) {
    for (const char* good : {"00:00", "02:30", "23:59"}) EXPECT_TRUE(IsTimeOfDay(good)) << good;
    for (const char* bad : {"24:00", "2:30", "02:60", "02.30", "", "02:30:00", "ab:cd"})
        EXPECT_FALSE(IsTimeOfDay(bad)) << bad;
}

}  // namespace
}  // namespace tarvik::admin
