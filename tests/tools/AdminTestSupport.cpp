#include "tests/tools/AdminTestSupport.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <sstream>

#include "tests/support/TempDir.h"
#include "tools/admin/Admin.h"
#include "tools/admin/Console.h"

namespace tarvik::test {

TAdminResult Admin(const std::vector<std::string>& arguments, const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    admin::TConsole console{in, out, err, false, false, {}};
    console.readSecret = [&in](const std::string&, std::string& secret) { return admin::ReadLine(in, secret); };
    std::vector<std::string> all{"tarvik-admin"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    TAdminResult result;
    result.status = admin::RunAdmin(all, console);
    result.out = out.str();
    result.err = err.str();
    return result;
}

#ifndef _WIN32
TAdminResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                        const std::string& input) {
    TTempDir io;
    const std::string inPath = io.Write("in", input);
    const std::string outPath = io.File("out");
    const std::string errPath = io.File("err");
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int in = ::open(inPath.c_str(), O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int wstatus = 0;
    ::waitpid(pid, &wstatus, 0);
    TAdminResult result;
    result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    result.out = ReadWholeFile(outPath);
    result.err = ReadWholeFile(errPath);
    return result;
}

int FileMode(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return -1;
    return static_cast<int>(info.st_mode & 07777);
}
#endif

}  // namespace tarvik::test
