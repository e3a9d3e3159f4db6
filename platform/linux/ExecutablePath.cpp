// Linux stand-in for the module file name of the running executable.

#include <unistd.h>

#include <climits>

#include "platform/SystemServices.h"

namespace tarvik::system {

std::string RunningExecutablePath() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return std::string();
    return std::string(buffer, static_cast<size_t>(n));
}

}  // namespace tarvik::system
