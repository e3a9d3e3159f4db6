#pragma once
// Driving tarvik-admin from a test: in-process through its library (standard input a string,
// never a terminal), or as a process of its own when what matters is the process itself.

#include <string>
#include <vector>

#include "platform/HostLookup.h"

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

// A host resolver for SetHostResolverOverride that finds 127.0.0.1 for any name, so that a
// "localhost" identification host reaches the test server without asking a name server.
int ResolveToLoopback(const std::string& hostName, std::vector<THostAddress>& addresses, std::string& errorText);

// The file's permission bits (e.g. 0600), -1 when it does not exist.
int FileMode(const std::string& path);
#endif

}  // namespace tarvik::test
