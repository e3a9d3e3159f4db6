#include "tests/support/ScopedWorkingDirectory.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <stdexcept>

namespace tarvik::test {

TScopedWorkingDirectory::TScopedWorkingDirectory(const std::string& directory) {
    char buffer[PATH_MAX];
    if (!::getcwd(buffer, sizeof buffer)) throw std::runtime_error("getcwd failed");
    previous_ = buffer;
    if (::chdir(directory.c_str()) != 0) throw std::runtime_error("chdir failed: " + directory);
}

TScopedWorkingDirectory::~TScopedWorkingDirectory() {
    if (::chdir(previous_.c_str()) != 0) ADD_FAILURE() << "could not return to " << previous_;
}

}  // namespace tarvik::test
