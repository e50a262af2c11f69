#include "system/system_error_win.h"

#include <gtest/gtest.h>

#include "base/error.h"

namespace tarvik::fw {
namespace {

TEST(SystemError, NamesTheSystemsReasonAndCode) {
    const Text text = SystemErrorText("Unable to register the window class X", ERROR_CLASS_ALREADY_EXISTS);
    EXPECT_EQ(text.rfind("Unable to register the window class X: ", 0), 0u) << text;
    EXPECT_EQ(text.substr(text.size() - 7), " (1410)") << text;
    EXPECT_GT(text.size(), Text("Unable to register the window class X:  (1410)").size()) << text;
    EXPECT_EQ(SystemErrorText("Thread creation error", 0), "Thread creation error");
    EXPECT_THROW(ThrowSystemError("x", ERROR_NOT_ENOUGH_MEMORY), Error);
}

}  // namespace
}  // namespace tarvik::fw
