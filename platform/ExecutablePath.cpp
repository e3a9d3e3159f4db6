#include "platform/ExecutablePath.h"

#include <unistd.h>

#include <climits>

namespace tarvik {
namespace {

std::string& Override() {
    static std::string value;
    return value;
}

std::string ExecutablePath() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return std::string();
    return std::string(buffer, static_cast<size_t>(n));
}

}  // namespace

std::string ExecutableDirectory() {
    if (!Override().empty()) return Override();
    const std::string path = ExecutablePath();
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string ExecutableFileName() {
    const std::string path = ExecutablePath();
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void SetExecutableDirectoryOverride(const std::string& directory) {
    Override() = directory;
    if (!directory.empty() && directory.back() != '/') Override() += '/';
}

}  // namespace tarvik
