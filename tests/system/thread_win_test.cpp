#include "system/thread_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <vector>

#include "base/error.h"
#include "system/message_box_win.h"

namespace tarvik::fw {
namespace {

class Worker : public Thread {
public:
    explicit Worker(std::function<void(Worker&)> body, std::atomic<bool>* destroyed = nullptr)
        : body_(std::move(body)), destroyed_(destroyed) {}
    ~Worker() override {
        if (destroyed_) destroyed_->store(true);
    }
    using Thread::Terminated;

protected:
    void Execute() override { body_(*this); }

private:
    std::function<void(Worker&)> body_;
    std::atomic<bool>* destroyed_;
};

// Generous: only a condition that never comes waits this long, and a busy
// machine can hold a thread back for seconds.
bool WaitUntil(const std::function<bool()>& condition) {
    for (int i = 0; i < 3000 && !condition(); ++i) Sleep(10);
    return condition();
}

TEST(Thread, RunsOnlyAfterResumeAndEndsWhenTold) {
    std::atomic<int> runs{0};
    std::atomic<DWORD> id{0};
    Worker worker([&](Worker& self) {
        ++runs;
        id = GetCurrentThreadId();
        while (!self.Terminated()) Sleep(1);
    });
    EXPECT_TRUE(worker.Suspended());
    Sleep(50);
    EXPECT_EQ(runs.load(), 0);
    worker.Resume();
    EXPECT_FALSE(worker.Suspended());
    ASSERT_TRUE(WaitUntil([&] { return runs.load() == 1; }));
    EXPECT_EQ(id.load(), worker.ThreadId());
    EXPECT_NE(id.load(), GetCurrentThreadId());

    worker.Suspend();
    worker.Suspend();
    EXPECT_TRUE(worker.Suspended());
    worker.Resume();
    EXPECT_TRUE(worker.Suspended()) << "suspensions are counted";
    worker.Resume();
    EXPECT_FALSE(worker.Suspended());
    worker.Terminate();
    worker.WaitFor();
}

TEST(Thread, DestroyingOneThatNeverRanSkipsItsWork) {
    std::atomic<int> runs{0};
    { Worker worker([&](Worker&) { ++runs; }); }
    EXPECT_EQ(runs.load(), 0);
}

TEST(Thread, FreeOnTerminateDeletesItselfWhenItsWorkEnds) {
    std::atomic<bool> destroyed{false};
    auto* worker = new Worker([](Worker& self) {
        while (!self.Terminated()) Sleep(1);
    }, &destroyed);
    worker->SetFreeOnTerminate(true);
    worker->Resume();
    Sleep(20);
    EXPECT_FALSE(destroyed.load());
    worker->Terminate();
    EXPECT_TRUE(WaitUntil([&] { return destroyed.load(); }));
}

TEST(Thread, AnErrorInItsWorkIsReportedAndEndsOnlyThatThread) {
    std::vector<Text> boxes;
    SetMessageBoxHook([&](const MessageBoxRequest& request) {
        boxes.push_back(request.text);
        return IDOK;
    });
    std::atomic<bool> destroyed{false};
    auto* worker = new Worker([](Worker&) { throw Error("Animation failed"); }, &destroyed);
    worker->SetFreeOnTerminate(true);
    worker->Resume();
    EXPECT_TRUE(WaitUntil([&] { return destroyed.load(); }));
    SetMessageBoxHook(nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Animation failed.");
}

}  // namespace
}  // namespace tarvik::fw
