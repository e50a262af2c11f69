// The lock, the condition, the event and the steady clock, between real
// threads.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <memory>
#include <vector>

#include "framework/condition_win.h"
#include "framework/critical_section_win.h"
#include "framework/event_win.h"
#include "framework/function_thread_win.h"
#include "framework/steady_clock_win.h"

namespace tarvik::fw {
namespace {

using namespace std::chrono_literals;
using tarvik::testing::FunctionThread;

TEST(CriticalSection, KeepsOtherThreadsOutAlsoWhenTakenTwice) {
    CriticalSection section;
    long count = 0;
    auto add = [&] {
        for (int i = 0; i < 20000; ++i) {
            Guard outer(section);
            Guard inner(section);
            const long seen = count;
            if (i % 64 == 0) SwitchToThread();  // let the other thread try now
            count = seen + 1;
        }
    };
    {
        FunctionThread one(add), two(add);
    }
    EXPECT_EQ(count, 40000);
}

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

// A message loop that also waits for the event wakes when another thread
// sets it.
TEST(Event, WakesAMessageLoopWaitingBesideItsMessages) {
    Event done;
    EXPECT_FALSE(done.Wait(0));
    FunctionThread worker([&] {
        Sleep(50);
        done.Set();
    });
    DWORD result = WAIT_TIMEOUT;
    const auto start = SteadyClock::now();
    while (result != WAIT_OBJECT_0 && SteadyClock::now() - start < 30s) {
        const HANDLE handle = done.Handle();
        result = MsgWaitForMultipleObjects(1, &handle, FALSE, 30000, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    EXPECT_EQ(result, WAIT_OBJECT_0);
    EXPECT_TRUE(done.Wait(0)) << "a manual-reset event stays set";
    done.Reset();
    EXPECT_FALSE(done.Wait(0));

    Event once(Event::Kind::AutoReset, true);
    EXPECT_TRUE(once.Wait(0));
    EXPECT_FALSE(once.Wait(0)) << "an automatic event lets one waiter through";
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
