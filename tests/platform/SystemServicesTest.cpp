// The calls into the system that the platform layer wraps: where the executable is, the clock
// that seeds the cipher, and this machine's own address with the file each lookup leaves.

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/ExecutablePath.h"
#include "platform/HostLookup.h"
#ifdef _WIN32
#include "platform/SystemServices.h"
#endif
#include "tests/support/FakeResolvers.h"
#include "tests/support/TempDir.h"
#include "tests/support/ThrowsExactly.h"

namespace tarvik {
namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
constexpr const char* kProgramName = "tarvik_tests_platform.exe";
#else
constexpr char kSeparator = '/';
constexpr const char* kProgramName = "tarvik_tests_platform";
#endif

TEST(ExecutablePath, IsThisTestProgram) {
    const std::string directory = ExecutableDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), kSeparator);
    EXPECT_EQ(ExecutableFileName(), kProgramName);
    EXPECT_TRUE(std::filesystem::is_regular_file(directory + ExecutableFileName())) << directory;
}

TEST(ExecutablePath, OverrideGainsTheSeparatorAndCanBeRemoved) {
    const std::string real = ExecutableDirectory();
    SetExecutableDirectoryOverride(std::string("settings") + kSeparator + "here");
    EXPECT_EQ(ExecutableDirectory(), std::string("settings") + kSeparator + "here" + kSeparator);
    SetExecutableDirectoryOverride(std::string("there") + kSeparator);
    EXPECT_EQ(ExecutableDirectory(), std::string("there") + kSeparator);
    SetExecutableDirectoryOverride("");
    EXPECT_EQ(ExecutableDirectory(), real);
}

TEST(CipherSeedClock, MovesWithTime) {
    const uint32_t before = CipherSeedClock();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_NE(CipherSeedClock(), before);
}

// Runs a test in a working directory of its own.
class LocalAddressTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_.Path());
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        SetHostResolverOverride(nullptr);
    }
    std::string History() const { return dir_.File("iphist.dat"); }

    // LocalAddress fails with "Cannot create file", the file's full path and the system's reason.
    void ExpectHistoryCannotBeCreated() const {
        const std::string start = "Cannot create file \"" + History() + "\". ";
        try {
            LocalAddress();
            ADD_FAILURE() << "no error";
        } catch (const EFCreateError& e) {
            EXPECT_EQ(e.Message().rfind(start, 0), 0u) << e.Message();
            EXPECT_GT(e.Message().size(), start.size()) << "the system's reason is missing";
        }
    }

    test::TTempDir dir_;
    std::filesystem::path previous_;
};

bool IsDottedAddress(const std::string& text) {
    int parts = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('.', pos);
        if (end == std::string::npos) end = text.size();
        const std::string part = text.substr(pos, end - pos);
        if (part.empty() || part.size() > 3 || part.find_first_not_of("0123456789") != std::string::npos ||
            std::stoi(part) > 255)
            return false;
        ++parts;
        pos = end + 1;
    }
    return parts == 4;
}

TEST_F(LocalAddressTest, GivesAnAddressAndLeavesAnEmptyHistoryInTheWorkingDirectory) {
    dir_.Write("iphist.dat", "192.168.0.10\r\n");
    const std::string address = LocalAddress();
    EXPECT_TRUE(IsDottedAddress(address)) << address;
    ASSERT_TRUE(test::FileExists(History()));
    EXPECT_EQ(std::filesystem::file_size(History()), 0u);
}

using test::ResolveToNone;
using test::ResolveToSeveral;

TEST_F(LocalAddressTest, TakesTheFirstAddress) {
    SetHostResolverOverride(&ResolveToSeveral);
    EXPECT_EQ(LocalAddress(), "10.0.200.7");
    EXPECT_TRUE(test::FileExists(History()));
}

TEST_F(LocalAddressTest, NameWithoutAddressIsASocketErrorAndLeavesNoFile) {
    SetHostResolverOverride(&ResolveToNone);
    try {
        LocalAddress();
        ADD_FAILURE() << "no error";
    } catch (const ESocketError& e) {
        EXPECT_EQ(e.Message().rfind("Socket Error # ", 0), 0u) << e.Message();
        EXPECT_NE(e.Message().find("\r\n"), std::string::npos) << e.Message();
    }
    EXPECT_FALSE(test::FileExists(History()));
}

TEST_F(LocalAddressTest, HistoryThatCannotBeCreatedNamesItsFullPathAndTheReason) {
    SetHostResolverOverride(&ResolveToSeveral);
    std::filesystem::create_directory(History());  // a directory in the file's place
    ExpectHistoryCannotBeCreated();
}

// The program often runs as an administrator, and "iphist.dat" may be a link that someone
// else left in its working directory: the file it points to is never touched.
TEST_F(LocalAddressTest, HistoryIsNeverWrittenThroughASymbolicLink) {
    SetHostResolverOverride(&ResolveToSeveral);
    test::TTempDir elsewhere;
    const std::string kept = elsewhere.Write("kept.txt", "someone else's file\r\n");
#ifdef _WIN32
    // The C++ library of the cross compiler makes no links; the system call does, where the
    // account may make them.
    if (!::CreateSymbolicLinkA(History().c_str(), kept.c_str(), 0))
        GTEST_SKIP() << "no symbolic links here: error " << ::GetLastError();
    // Windows refuses the link by its reparse point. Wine opens the link itself too, but shows
    // no reparse point on it, so there the lookup succeeds; either way the file it points to
    // must stay as it was.
    try {
        LocalAddress();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message().rfind("Cannot create file \"" + History() + "\". ", 0), 0u) << e.Message();
    }
#else
    ASSERT_EQ(::symlink(kept.c_str(), History().c_str()), 0) << std::strerror(errno);
    EXPECT_TRUE(test::ThrowsExactly<EFCreateError>(
        [] { LocalAddress(); }, "Cannot create file \"" + History() + "\". " + std::strerror(ELOOP)));
    EXPECT_TRUE(std::filesystem::is_symlink(History()));
#endif
    EXPECT_EQ(test::ReadWholeFile(kept), "someone else's file\r\n");
}

// A second name of someone else's file, made where the program will run (a hard link needs
// no rights on the file it names): the file keeps its contents, on both systems.
TEST_F(LocalAddressTest, HistoryIsNeverWrittenThroughAHardLink) {
    SetHostResolverOverride(&ResolveToSeveral);
    test::TTempDir elsewhere;
    const std::string kept = elsewhere.Write("kept.txt", "someone else's file\r\n");
    std::error_code error;
    std::filesystem::create_hard_link(kept, History(), error);
    ASSERT_FALSE(error) << error.message();
#ifdef _WIN32
    const std::string reason = system::SystemErrorText(ERROR_TOO_MANY_LINKS);
#else
    const std::string reason = std::strerror(EMLINK);
#endif
    EXPECT_TRUE(test::ThrowsExactly<EFCreateError>([] { LocalAddress(); },
                                                   "Cannot create file \"" + History() + "\". " + reason));
    EXPECT_EQ(test::ReadWholeFile(kept), "someone else's file\r\n");
}

}  // namespace
}  // namespace tarvik
