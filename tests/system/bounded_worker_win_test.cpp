#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "support/window_test_support_win.h"
#include "system/bounded_worker_win.h"
#include "system/cancellation_win.h"
#include "system/event_win.h"
#include "system/message_box_win.h"
#include "system/steady_clock_win.h"

namespace tarvik::fw {
namespace {

using namespace std::chrono_literals;

// What a started call handed back, once the loop has brought it.
using Outcome = BoundedWorker::Outcome;

template <class Result>
struct Ended {
    bool ended = false;
    BoundedWorker::Answer<Result> answer{};
    SteadyClock::time_point at{};
};

template <class Result, class Call>
std::shared_ptr<Ended<Result>> AskAndWait(BoundedWorker& worker, Call call) {
    auto ended = std::make_shared<Ended<Result>>();
    EXPECT_TRUE(worker.Ask(std::move(call), [ended](BoundedWorker::Answer<Result> answer) {
        ended->answer = std::move(answer);
        ended->at = SteadyClock::now();
        ended->ended = true;
    }));
    EXPECT_TRUE(testing::PumpUntil([&] { return ended->ended; }, 60000));
    return ended;
}

Outcome RunAndWait(BoundedWorker& worker, std::function<void()> work) {
    return AskAndWait<int>(worker, [work] { return work(), 0; })->answer.outcome;
}

// A box raised by the work waits for its user, however long: the bound
// leaves that time out, or a box left open would turn into a failure.
TEST(BoundedWorker, TheBoundLeavesOutTimeWithABoxOpen) {
    SetMessageBoxHook([](const MessageBoxRequest&) {
        Sleep(1500);  // the user reads it for a while
        return IDOK;
    });
    BoundedWorker worker(300ms);
    const auto start = SteadyClock::now();
    const auto ended = AskAndWait<int>(worker, [] { return AppMessageBox("Нет ip адреса", "WSAStartup", 0); });
    SetMessageBoxHook(nullptr);
    EXPECT_EQ(ended->answer.outcome, BoundedWorker::Outcome::Done);
    EXPECT_EQ(ended->answer.value, IDOK);
    EXPECT_GE(ended->at - start, 1500ms);
}

// The call returns at once; one call at a time; what the work threw comes
// back with its end; an abandoned call never answers.
TEST(BoundedWorker, StartsReturnAtOnceOneAtATimeAndAnAbandonedCallNeverAnswers) {
    BoundedWorker worker(60s);
    const auto release = std::make_shared<Event>(Event::Kind::ManualReset);
    bool answered = false;
    const auto start = SteadyClock::now();
    ASSERT_TRUE(worker.Start([release] { release->Wait(); }, [&](Outcome, std::exception_ptr) { answered = true; }));
    EXPECT_LT(SteadyClock::now() - start, 1s);
    EXPECT_TRUE(worker.UnderWay());
    EXPECT_FALSE(worker.Start([] {}, nullptr)) << "one call at a time";
    worker.Abandon();
    EXPECT_FALSE(worker.UnderWay());
    release->Set();

    const auto thrown = AskAndWait<int>(worker, []() -> int { throw std::runtime_error("broke"); });
    EXPECT_EQ(thrown->answer.outcome, BoundedWorker::Outcome::Done);
    EXPECT_TRUE(thrown->answer.error);
    testing::Pump(50);
    EXPECT_FALSE(answered);
}

// Work that blocks until it is ended: by its cancel, as a request is ended
// by closing its handles, or (not cancellable, like a name look-up) only
// when the test lets it go.
struct Blocking {
    Event release{Event::Kind::ManualReset};
    Event returned{Event::Kind::ManualReset};
};

std::function<void()> BlockingWork(std::shared_ptr<Blocking> blocking, bool cancellable,
                                   std::chrono::milliseconds ownDeadline = 0ms) {
    return [blocking, cancellable, ownDeadline] {
        Cancellation* cancellation = Cancellation::OfThisThread();
        const Cancellation::Hook hook(cancellable ? cancellation : nullptr, [blocking] { blocking->release.Set(); });
        if (ownDeadline > 0ms) cancellation->CancelAt(SteadyClock::now() + ownDeadline);
        blocking->release.Wait();
        blocking->returned.Set();
    };
}

struct BlockedCase {
    const char* name;
    bool cancellable;
    std::chrono::milliseconds ownDeadline;  // 0: none
    std::chrono::milliseconds bound;
    std::chrono::milliseconds endsAfter;
};

class BlockedWork : public ::testing::TestWithParam<BlockedCase> {};

// The check ends at the bound, or at its own deadline, and the next one
// really runs: on the same worker once the cancel has ended the work, on a
// fresh one where nothing could end it.
TEST_P(BlockedWork, EndsAndTheNextRunRuns) {
    const BlockedCase& c = GetParam();
    const auto blocking = std::make_shared<Blocking>();
    BoundedWorker worker(c.bound);
    const auto start = SteadyClock::now();
    const auto ended = AskAndWait<int>(worker, [work = BlockingWork(blocking, c.cancellable, c.ownDeadline)] {
        return work(), 0;
    });
    EXPECT_EQ(ended->answer.outcome, BoundedWorker::Outcome::TimedOut);
    const auto took = ended->at - start;
    EXPECT_GE(took, c.endsAfter);
    EXPECT_LT(took, c.endsAfter + 10s) << "loose: a busy machine runs late";
    EXPECT_EQ(blocking->returned.Wait(c.cancellable ? testing::kStateWait : 0), c.cancellable);

    const auto next = AskAndWait<int>(worker, [] { return 7; });
    EXPECT_EQ(next->answer.outcome, BoundedWorker::Outcome::Done);
    EXPECT_EQ(next->answer.value, 7);
    blocking->release.Set();
    EXPECT_TRUE(blocking->returned.Wait(testing::kStateWait));
}

INSTANTIATE_TEST_SUITE_P(BoundedWorker, BlockedWork,
                         ::testing::Values(BlockedCase{"cancelled_at_the_bound", true, 0ms, 300ms, 300ms},
                                           BlockedCase{"cancelled_at_its_own_deadline", true, 200ms, 60s, 200ms},
                                           BlockedCase{"left_running_at_the_bound", false, 0ms, 300ms, 300ms}),
                         [](const auto& info) { return std::string(info.param.name); });

// Work that nothing can end piles up to the cap, no further: a run then
// fails at once without starting anything, until one of them has ended.
TEST(BoundedWorker, WorkersLeftRunningStopAtTheCap) {
    const auto blocking = std::make_shared<Blocking>();
    BoundedWorker worker(100ms, 2);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(RunAndWait(worker, BlockingWork(blocking, false)), BoundedWorker::Outcome::TimedOut);
    bool ran = false;
    EXPECT_EQ(RunAndWait(worker, [&ran] { ran = true; }), BoundedWorker::Outcome::Busy);
    EXPECT_FALSE(ran);

    blocking->release.Set();
    EXPECT_TRUE(testing::PumpUntil([&] { return RunAndWait(worker, [&ran] { ran = true; }) == BoundedWorker::Outcome::Done; }));
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace tarvik::fw
