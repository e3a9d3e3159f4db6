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
    const char* named;  // the method the error names; nullptr: the library's text is its own
};

class AuthenticationMethodTest : public ::testing::TestWithParam<TCase> {};

TEST_P(AuthenticationMethodTest, MethodOutsideTheListIsRefusedByNameAndNeverLoaded) {
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
        if (c.named) {
            EXPECT_EQ(e.Message(), std::string("Authentication plugin '") + c.named +
                                       "' couldn't be found in restricted_auth plugin list.");
        }
    }
}

// After a switch the library's text names some other method than the refused one (the
// greeting's, or part of it, by the library's version), so only its number is certain.
INSTANTIATE_TEST_SUITE_P(Methods, AuthenticationMethodTest,
                         ::testing::Values(TCase{"dialog", "", "dialog"},
                                           TCase{"mysql_native_password", "dialog", nullptr}));

}  // namespace
}  // namespace tarvik
