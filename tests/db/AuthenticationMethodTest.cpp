// A server (or anything answering on its address) that asks for an authentication method the
// program does not use: the client library refuses it before it runs it. (It still looks the
// plugin up first, here in the system's own folder; on Windows that folder is the program's.)

#include <gtest/gtest.h>

#include <errmsg.h>

#include <string>

#include "client/Session.h"
#include "platform/Errors.h"
#include "tests/support/AuthListener.h"

namespace tarvik {
namespace {

struct TCase {
    const char* greeting;
    const char* switchTo;
    std::string message;
};

const std::string kUses = "(it uses mysql_native_password, caching_sha2_password, sha256_password, client_ed25519)";

class AuthenticationMethodTest : public ::testing::TestWithParam<TCase> {};

TEST_P(AuthenticationMethodTest, MethodOutsideTheListIsRefusedBeforeItRuns) {
    const TCase& c = GetParam();
    test::TAuthListener listener("127.0.0.1", 0, c.greeting, c.switchTo);
    TSessionParameters parameters;
    parameters.host = "127.0.0.1";
    parameters.port = listener.Port();
    parameters.user = "root";
    parameters.password = "secret";
    parameters.connectTimeout = 10;
    parameters.readWriteTimeout = 10;
    try {
        OpenSession(parameters);
        ADD_FAILURE() << "connected";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.ErrorNumber(), static_cast<unsigned>(CR_PLUGIN_NOT_ALLOWED)) << e.Message();
        EXPECT_EQ(e.Message(), c.message);
    }
}

// After a switch the client library does not say which method it refused.
INSTANTIATE_TEST_SUITE_P(
    Methods, AuthenticationMethodTest,
    ::testing::Values(
        TCase{"dialog", "",
              "The server asked for the authentication method 'dialog', which this program does not use " + kUses},
        TCase{"mysql_native_password", "dialog",
              "The server asked for an authentication method that this program does not use " + kUses}));

}  // namespace
}  // namespace tarvik
