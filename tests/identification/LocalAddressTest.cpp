// This machine's own address, and the "localhost" rule of the identification connection.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "identification/UConnectionInfoClass.h"
#include "identification/UDao.h"
#include "platform/Errors.h"
#include "platform/HostLookup.h"
#include "tests/identification/IdentificationSupport.h"
#include "tests/support/ConnectionConf.h"
#include "tests/support/FakeResolvers.h"
#include "tests/support/ScopedWorkingDirectory.h"
#include "tests/support/TestServer.h"
#include "tests/support/ThrowsExactly.h"

namespace tarvik {
namespace {

using test::ThrowsExactly;

long FileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return -1;
    return static_cast<long>(st.st_size);
}

using test::ResolveFails;
using test::ResolveToSeveral;
using test::TScopedResolver;

class LocalAddressTest : public ::testing::Test {
protected:
    test::TTempDir workingDir;
    test::TTempDir executableDir;
    test::TScopedWorkingDirectory scopedWorking{workingDir.Path()};
    test::TScopedExecutableDirectory scopedExecutable{executableDir.Path()};
    const std::string history = workingDir.File("iphist.dat");
};

TEST_F(LocalAddressTest, IsTheFirstIPv4OfTheHostNameAndLeavesAnEmptyHistoryInTheWorkingDirectory) {
    EXPECT_EQ(LocalAddress(), test::FirstIPv4OfHostName());
    EXPECT_EQ(FileSize(history), 0);
    EXPECT_FALSE(test::FileExists(executableDir.File("iphist.dat")));
}

TEST_F(LocalAddressTest, TruncatesAnExistingHistory) {
    workingDir.Write("iphist.dat", "192.168.0.10\r\n10.0.0.1\r\n");
    LocalAddress();
    EXPECT_EQ(FileSize(history), 0);
}

TEST_F(LocalAddressTest, TakesTheFirstAddressTheResolverGives) {
    TScopedResolver resolver(&ResolveToSeveral);
    EXPECT_EQ(LocalAddress(), "10.0.200.7");
}

TEST_F(LocalAddressTest, ResolutionFailureCarriesThePlatformsNumberAndTextAndLeavesNoFile) {
    TScopedResolver resolver(&ResolveFails);
    EXPECT_TRUE(ThrowsExactly<ESocketError>([] { LocalAddress(); }, "Socket Error # 11001\r\nHost not found"));
    EXPECT_FALSE(test::FileExists(history));
}

TEST_F(LocalAddressTest, HistoryThatCannotBeCreatedFailsTheLookup) {
    // Root may write anywhere, so a directory in the file's place is what makes creation fail.
    ASSERT_TRUE(std::filesystem::create_directory(history));
#ifdef _WIN32
    // The system's text for ERROR_ACCESS_DENIED without its final period, as Wine words it
    // (Windows itself says "Access is denied").
    const std::string reason = "Access denied";
#else
    const std::string reason = std::strerror(EISDIR);
#endif
    EXPECT_TRUE(ThrowsExactly<EFCreateError>([] { LocalAddress(); }, "Cannot create file \"" + history + "\". " + reason));
}

struct THostCase {
    const char* name;
    std::string stored;
    bool looksUp;
};

void PrintTo(const THostCase& c, std::ostream* out) { *out << c.name; }

class DatabaseIPRule : public LocalAddressTest, public ::testing::WithParamInterface<THostCase> {};

TEST_P(DatabaseIPRule, OnlyLocalhostInAnyCaseIsLookedUp) {
    TScopedResolver resolver(&ResolveToSeveral);
    executableDir.Write("connection.conf", test::ConnectionConfText({{"DatabaseIP", TextToHex(GetParam().stored)}}));
    TConnectionInfo info;
    info.LoadConnectionConf();
    EXPECT_EQ(info.GetDatabaseIP(), GetParam().looksUp ? "10.0.200.7" : GetParam().stored);
    EXPECT_EQ(test::FileExists(history), GetParam().looksUp);
    EXPECT_EQ(info.GetDatabaseIPAsStored(), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Cases, DatabaseIPRule,
                         ::testing::Values(THostCase{"Lower", "localhost", true},
                                           THostCase{"Mixed", "LocalHost", true},
                                           THostCase{"Upper", "LOCALHOST", true},
                                           THostCase{"LeadingBlank", " localhost", false},
                                           THostCase{"TrailingBlank", "localhost ", false},
                                           THostCase{"Loopback", "127.0.0.1", false},
                                           THostCase{"Other", "localhost.localdomain", false},
                                           THostCase{"Empty", "", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LocalAddressTest, FailedLookupMakesNoConnectionAndIsTriedAgain) {
    test::TScratchDatabase db;
    executableDir.Write("connection.conf", test::ConnectionConfFor("localhost", db.Name()));
    TConnectionInfo info;
    info.LoadConnectionConf();
    {
        TScopedResolver resolver(&ResolveFails);
        EXPECT_TRUE(ThrowsExactly<ESocketError>([&] { info.GetConnection(); },
                                                "Socket Error # 11001\r\nHost not found"));
        EXPECT_FALSE(info.HasConnection());
        EXPECT_TRUE(db.OtherSessions().empty());
    }
    // The next call looks the address up again; connect only where that address is this machine.
    const std::string address = test::FirstIPv4OfHostName();
    if (address.rfind("127.", 0) != 0) GTEST_SKIP() << "this machine's address " << address << " is not loopback";
    const test::TServerAddress& server = test::TestServer();
    if (address != server.host) {
        // Another loopback address, where the test server does not listen.
        EXPECT_TRUE(ThrowsExactly<Exception>(
            [&] { info.GetConnection(); },
            test::ClientConnectError(address, server.port, server.user, server.password, db.Name())));
        EXPECT_FALSE(info.HasConnection());
        return;
    }
    TDaoConnection& connection = info.GetConnection();
    EXPECT_EQ(FileSize(history), 0);
    EXPECT_EQ(db.GeneralLog(connection.ThreadId()),
              std::vector<std::string>{"Connect\troot@" + address + " on " + db.Name() + " using TCP/IP"});
}

}  // namespace
}  // namespace tarvik
