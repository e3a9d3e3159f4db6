// The window on a real X server under a real window manager (Xvfb and openbox), as a user's
// desktop shows it: the outer size, frame and title bar included, is the design size even
// though the manager reports its frame only after the window is mapped.
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

namespace tarvik {
namespace {

using namespace std::chrono_literals;

// Starts Xvfb on a display number it picks itself (-displayfd) and returns ":N".
std::string StartXvfb(std::unique_ptr<test::TChildProcess>& server, const std::string& log) {
    int fds[2];
    if (::pipe(fds) != 0) throw std::runtime_error("pipe");
    test::TSpawnOptions options;
    options.output = log;
    options.errorToOutput = true;
    options.descriptorThree = fds[1];
    server = std::make_unique<test::TChildProcess>(
        std::vector<std::string>{"Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
        options);
    ::close(fds[1]);
    std::string number;
    char c;
    while (::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(fds[0]);
    if (number.empty()) throw std::runtime_error("Xvfb did not start:\n" + test::ReadWholeFile(log));
    return ":" + number;
}

TEST(WindowManagerTest, OuterSizeIsTheDesignSizeOnceTheFrameIsKnown) {
    test::TTempDir dir;  // no settings files: the window starts on its defaults, without a box
    std::unique_ptr<test::TChildProcess> xvfb;
    const std::string display = StartXvfb(xvfb, dir.File("xvfb.log"));
    const auto onDisplay = [&](std::vector<std::string> environment, const std::string& output) {
        test::TSpawnOptions options;
        options.environment = std::move(environment);
        options.environment.push_back("DISPLAY=" + display);
        options.output = output;
        options.errorToOutput = true;
        return options;
    };
    // The manager takes the screen before the window maps: it says so by running its start-up
    // command, which the test waits for (a fixed pause could be too short on a loaded machine).
    const std::string ready = dir.File("wm-ready");
    test::TChildProcess openbox({"openbox", "--startup", "touch " + ready}, onDisplay({}, dir.File("openbox.log")));
    for (int i = 0; i < 300 && ::access(ready.c_str(), F_OK) != 0; ++i) std::this_thread::sleep_for(100ms);
    ASSERT_EQ(::access(ready.c_str(), F_OK), 0) << test::ReadWholeFile(dir.File("openbox.log"));

    test::TChildProcess probe({TARVIK_WINDOW_PROBE, dir.Path()},
                              onDisplay({"QT_QPA_PLATFORM=xcb"}, dir.File("probe.txt")));
    ASSERT_EQ(probe.Wait(30000), 0) << test::ReadWholeFile(dir.File("probe.txt"));

    const std::string printed = test::ReadWholeFile(dir.File("probe.txt"));
    // The frame must really be there, or the test would show nothing.
    EXPECT_EQ(printed.find("frame 0 x 0"), std::string::npos) << printed;
    EXPECT_NE(printed.find("outer 386 x 152 at 192 , 107; frame "), std::string::npos) << printed;
}

}  // namespace
}  // namespace tarvik
