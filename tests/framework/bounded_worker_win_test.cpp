#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>

#include "framework/bounded_worker_win.h"
#include "framework/message_box_win.h"
#include "framework/steady_clock_win.h"

namespace tarvik::fw {
namespace {

using namespace std::chrono_literals;

// A box raised by the work waits for its user, however long: the bound
// leaves that time out, or a box left open would turn into a failure.
TEST(BoundedWorker, TheBoundLeavesOutTimeWithABoxOpen) {
    SetMessageBoxHook([](const MessageBoxRequest&) {
        Sleep(1500);  // the user reads it for a while
        return IDOK;
    });
    BoundedWorker worker(300ms);
    const auto start = SteadyClock::now();
    const auto answer = worker.Ask([] { return AppMessageBox("Нет ip адреса", "WSAStartup", 0); });
    const auto took = SteadyClock::now() - start;
    SetMessageBoxHook(nullptr);
    EXPECT_EQ(answer.outcome, BoundedWorker::Outcome::Done);
    EXPECT_EQ(answer.value, IDOK);
    EXPECT_GE(took, 1500ms);
}

}  // namespace
}  // namespace tarvik::fw
