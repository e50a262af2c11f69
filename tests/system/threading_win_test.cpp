// The condition and the steady clock, between real threads.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <memory>
#include <vector>

#include "support/function_thread_win.h"
#include "system/condition_win.h"
#include "system/critical_section_win.h"
#include "system/steady_clock_win.h"

namespace tarvik::fw {
namespace {

using namespace std::chrono_literals;
using tarvik::testing::FunctionThread;

// Several threads wait on one condition: one notice wakes exactly one of
// them, a notice to all the rest, and none waits past its limit.
TEST(Condition, NoticeWakesOneOrAllAndLimitsEndWaits) {
    CriticalSection section;
    Condition condition, report;
    int waiting = 0, woken = 0;
    std::vector<std::unique_ptr<FunctionThread>> threads;
    for (int i = 0; i < 3; ++i) {
        threads.push_back(std::make_unique<FunctionThread>([&] {
            Guard guard(section);
            ++waiting;
            report.NotifyAll();
            if (condition.WaitFor(guard, 60s)) ++woken;
            --waiting;
            report.NotifyAll();
        }));
    }
    Guard guard(section);
    ASSERT_TRUE(report.WaitFor(guard, 30s, [&] { return waiting == 3; }));
    condition.NotifyOne();
    ASSERT_TRUE(report.WaitFor(guard, 30s, [&] { return waiting == 2; }));
    EXPECT_EQ(woken, 1);
    // Nobody else took the notice meant for one waiter.
    EXPECT_FALSE(report.WaitFor(guard, 200ms, [&] { return waiting < 2; }));
    condition.NotifyAll();
    ASSERT_TRUE(report.WaitFor(guard, 30s, [&] { return waiting == 0; }));
    EXPECT_EQ(woken, 3);
    guard.Leave();
    threads.clear();

    // No notice: the wait ends when its time is up (the system's wait may
    // round down by a clock tick; the one with a condition looks again).
    guard.Enter();
    auto start = SteadyClock::now();
    EXPECT_FALSE(condition.WaitFor(guard, 150ms));
    EXPECT_GE(SteadyClock::now() - start, 130ms);
    start = SteadyClock::now();
    EXPECT_FALSE(condition.WaitFor(guard, 100ms, [] { return false; }));
    EXPECT_GE(SteadyClock::now() - start, 100ms);
}

TEST(SteadyClock, GoesForwardWithRealTime) {
    auto previous = SteadyClock::now();
    for (int i = 0; i < 10000; ++i) {
        const auto now = SteadyClock::now();
        ASSERT_GE(now, previous);
        previous = now;
    }
    Sleep(100);
    EXPECT_GE(SteadyClock::now() - previous, 90ms);  // Sleep may end a tick early
}

}  // namespace
}  // namespace tarvik::fw
