#pragma once
// Driving tarvik-admin from a test: in-process through its library (standard input a string,
// never a terminal), or as a process of its own when what matters is the process itself.

#include <string>
#include <vector>

namespace tarvik::test {

struct TAdminResult {
    int status = -1;
    std::string out;
    std::string err;
};

// tarvik-admin with `arguments` (without the program name), `input` as standard input.
TAdminResult Admin(const std::vector<std::string>& arguments, const std::string& input = std::string());

#ifndef _WIN32
// (The Windows build's tests run in-process only: its programs are driven from the outside.)
// A program as a process of its own, `input` as its standard input; waits for its exit.
TAdminResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                        const std::string& input = std::string());

// The file's permission bits (e.g. 0600), -1 when it does not exist.
int FileMode(const std::string& path);
#endif

}  // namespace tarvik::test
