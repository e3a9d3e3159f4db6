#pragma once
// Asserts that a call throws exactly the error type asked for, with exactly the message given.

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>

#include "platform/Errors.h"

namespace tarvik::test {

template <typename TError, typename TCall>
::testing::AssertionResult ThrowsExactly(TCall&& call, const std::string& message) {
    try {
        call();
    } catch (const Exception& e) {
        if (typeid(e) != typeid(TError))
            return ::testing::AssertionFailure() << "threw " << typeid(e).name() << ": " << e.Message();
        if (e.Message() != message)
            return ::testing::AssertionFailure() << "message '" << e.Message() << "', expected '" << message << "'";
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "nothing was thrown";
}

}  // namespace tarvik::test
