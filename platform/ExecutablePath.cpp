#include "platform/ExecutablePath.h"

#include "platform/SystemServices.h"

namespace tarvik {
namespace {

std::string& Override() {
    static std::string value;
    return value;
}

size_t LastSeparator(const std::string& path) {
    for (size_t i = path.size(); i > 0; --i)
        if (system::IsDirectorySeparator(path[i - 1])) return i - 1;
    return std::string::npos;
}

}  // namespace

std::string ExecutableDirectory() {
    if (!Override().empty()) return Override();
    const std::string path = system::RunningExecutablePath();
    const size_t separator = LastSeparator(path);
    if (separator == std::string::npos) return std::string(".") + system::kDirectorySeparator;
    return path.substr(0, separator + 1);
}

std::string ExecutableFileName() {
    const std::string path = system::RunningExecutablePath();
    const size_t separator = LastSeparator(path);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string WithDirectorySeparator(std::string directory) {
    if (directory.empty() || !system::IsDirectorySeparator(directory.back())) directory += system::kDirectorySeparator;
    return directory;
}

void SetExecutableDirectoryOverride(const std::string& directory) {
    Override() = directory;
    if (!directory.empty() && !system::IsDirectorySeparator(directory.back()))
        Override() += system::kDirectorySeparator;
}

}  // namespace tarvik
