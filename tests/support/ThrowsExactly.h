#pragma once
// The one assertion for an expected error: EXPECT_TRUE(ThrowsExactly<EConvertError>(call, text)).
// It fails when nothing is thrown, when another type is thrown (a subclass counts as another
// type), and when the message differs by a single byte.

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <typeinfo>
#include <utility>

#include "platform/Errors.h"

namespace tarvik::test {

template <class E, class F>
::testing::AssertionResult ThrowsExactly(F&& call, const std::string& message) {
    static_assert(std::is_base_of_v<Exception, E>, "the program's errors all derive from tarvik::Exception");
    try {
        std::forward<F>(call)();
    } catch (const Exception& e) {
        // Message(), not what(): the texts are byte strings and may hold a NUL.
        if (typeid(e) != typeid(E))
            return ::testing::AssertionFailure() << "thrown type is " << typeid(e).name() << ", not "
                                                 << typeid(E).name() << " (message: \"" << e.Message() << "\")";
        if (e.Message() != message)
            return ::testing::AssertionFailure() << "message is\n  \"" << e.Message() << "\"\nnot\n  \"" << message
                                                 << "\"";
        return ::testing::AssertionSuccess();
    } catch (const std::exception& e) {
        return ::testing::AssertionFailure() << "another error was thrown: " << typeid(e).name() << ": "
                                             << e.what();
    }
    return ::testing::AssertionFailure() << "nothing was thrown, expected " << typeid(E).name() << ": \""
                                         << message << "\"";
}

}  // namespace tarvik::test
