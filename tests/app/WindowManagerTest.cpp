// The window on a real X server under a real window manager (Xvfb and openbox), as a user's
// desktop shows it: the outer size, frame and title bar included, is the design size even
// though the manager reports its frame only after the window is mapped.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TempDir.h"

extern char** environ;

namespace tarvik {
namespace {

using namespace std::chrono_literals;

// A child process of the test, ended by its pid when the object goes.
class TChild {
public:
    TChild(const std::vector<std::string>& args, const std::vector<std::string>& env, const std::string& output,
           int passFd = -1) {
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        std::vector<std::string> environment(env);
        for (char** e = environ; *e; ++e) environment.emplace_back(*e);  // ours come first and win
        std::vector<char*> envp;
        for (std::string& e : environment) envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        if (passFd >= 0) posix_spawn_file_actions_adddup2(&actions, passFd, 3);
        const int rc = ::posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) throw std::runtime_error("cannot start " + args[0]);
    }
    ~TChild() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    TChild(const TChild&) = delete;
    TChild& operator=(const TChild&) = delete;

    // Waits for the process to end by itself; its exit status, or -1 after the time given.
    int Wait(std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(20ms);
        }
        return -1;
    }

private:
    pid_t pid_ = -1;
};

// Starts Xvfb on a display number it picks itself (-displayfd) and returns ":N".
std::string StartXvfb(std::unique_ptr<TChild>& server, const std::string& log) {
    int fds[2];
    if (::pipe(fds) != 0) throw std::runtime_error("pipe");
    server = std::make_unique<TChild>(
        std::vector<std::string>{"Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
        std::vector<std::string>{}, log, fds[1]);
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
    std::unique_ptr<TChild> xvfb;
    const std::string display = StartXvfb(xvfb, dir.File("xvfb.log"));
    TChild openbox({"openbox"}, {"DISPLAY=" + display}, dir.File("openbox.log"));
    std::this_thread::sleep_for(1s);  // the manager takes the screen before the window maps

    TChild probe({TARVIK_WINDOW_PROBE, dir.Path()}, {"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb"},
                 dir.File("probe.txt"));
    ASSERT_EQ(probe.Wait(30s), 0) << test::ReadWholeFile(dir.File("probe.txt"));

    const std::string printed = test::ReadWholeFile(dir.File("probe.txt"));
    // The frame must really be there, or the test would show nothing.
    EXPECT_EQ(printed.find("frame 0 x 0"), std::string::npos) << printed;
    EXPECT_NE(printed.find("outer 386 x 152 at 192 , 107; frame "), std::string::npos) << printed;
}

}  // namespace
}  // namespace tarvik
