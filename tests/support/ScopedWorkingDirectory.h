#pragma once

#include <string>

namespace tarvik::test {

// Makes `directory` the process's working directory for its lifetime. The directory may be
// removed meanwhile: the way back is the path the previous one had.
class TScopedWorkingDirectory {
public:
    explicit TScopedWorkingDirectory(const std::string& directory);
    ~TScopedWorkingDirectory();
    TScopedWorkingDirectory(const TScopedWorkingDirectory&) = delete;
    TScopedWorkingDirectory& operator=(const TScopedWorkingDirectory&) = delete;

private:
    std::string previous_;
};

}  // namespace tarvik::test
