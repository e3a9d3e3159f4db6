// Whether standard error is a terminal that redraws the progress line in place.
#include <gtest/gtest.h>

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "platform/Terminal.h"

namespace tarvik {
namespace {

// The null device is a character device, as a console is, and Windows' C runtime calls it a
// terminal; a progress line redrawn there would be escape sequences sent nowhere.
TEST(Terminal, TheNullDeviceOnStandardErrorIsNoTerminal) {
#ifdef _WIN32
    const char* device = "NUL";
#else
    const char* device = "/dev/null";
#endif
    std::fflush(stderr);
    const int saved = ::dup(::fileno(stderr));
    ASSERT_GE(saved, 0);
    ASSERT_NE(std::freopen(device, "w", stderr), nullptr);
    const bool terminal = StandardErrorIsTerminal();
    std::fflush(stderr);
    ::dup2(saved, ::fileno(stderr));
    ::close(saved);
    EXPECT_FALSE(terminal);
}

}  // namespace
}  // namespace tarvik
