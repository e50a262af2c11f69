// The platform's own NetApi32.dll, whose NetMessageBufferSend under Wine is a
// stub that raises an exception nothing handles.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>

#include "support/box_recorder_win.h"
#include "monitor/alert_sender.h"
#include "monitor/fault_shield.h"

namespace tarvik {
namespace {

TEST(AlertSender, PlatformStubIsARefusalNotACrash) {
    testing::BoxRecorder recorder;
    EXPECT_FALSE(SendAlertMessage("host", "Нет связи"));
    EXPECT_FALSE(SendAlertMessage("", ""));  // and again: nothing was left broken
    EXPECT_TRUE(recorder.boxes.empty());
}

LONG WINAPI SomeFilter(EXCEPTION_POINTERS*) { return EXCEPTION_CONTINUE_SEARCH; }

TEST(FaultShield, UnhandledStructuredExceptionEndsOnlyTheCall) {
    const LPTOP_LEVEL_EXCEPTION_FILTER before = SetUnhandledExceptionFilter(&SomeFilter);
    bool after = false;
    EXPECT_FALSE(RunShieldedFromFaults([&] {
        RaiseException(0x80000100, EXCEPTION_NONCONTINUABLE, 0, nullptr);
        after = true;
    }));
    EXPECT_FALSE(after);
    EXPECT_FALSE(RunShieldedFromFaults([] { *static_cast<volatile int*>(nullptr) = 1; }));
    // The program's own filter is back in place.
    EXPECT_EQ(SetUnhandledExceptionFilter(before), &SomeFilter);
}

TEST(FaultShield, OrdinaryCallRunsToItsEnd) {
    int value = 0;
    EXPECT_TRUE(RunShieldedFromFaults([&] { value = 42; }));
    EXPECT_EQ(value, 42);
}

TEST(FaultShield, ExceptionHandledInsideTheCallIsNoFault) {
    bool handled = false;
    EXPECT_TRUE(RunShieldedFromFaults([&] {
        try {
            throw std::runtime_error("inside");
        } catch (const std::runtime_error&) {
            handled = true;
        }
    }));
    EXPECT_TRUE(handled);
}

TEST(FaultShield, CppExceptionReachesTheCaller) {
    EXPECT_THROW(RunShieldedFromFaults([] { throw std::runtime_error("out"); }), std::runtime_error);
}

}  // namespace
}  // namespace tarvik
