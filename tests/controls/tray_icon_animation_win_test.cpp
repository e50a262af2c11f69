// The animation: frames advanced by the icon's own thread, paused while the
// icon is out of the tray, and never advanced after a stop.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>

#include "support/tray_test_support_win.h"
#include "system/event_win.h"

namespace tarvik {
namespace {

using namespace std::chrono_literals;
using testing::ProgramPictures;
using testing::ShellRecorder;
using testing::ShellRequest;
using testing::ThreadsOfThisProcess;
using testing::WaitUntil;

class TrayAnimationTest : public ::testing::Test {
protected:
    void SetUp() override {
        threadsBefore = ThreadsOfThisProcess();
        tray = std::make_unique<TTrayIcon>();
        tray->SetIcon(&pictures.still);
        tray->SetIcons(&pictures.frames);
        tray->SetInterval(100);
        shell.Take();
    }
    void TearDown() override {
        tray.reset();
        EXPECT_TRUE(WaitUntil([&] { return ThreadsOfThisProcess() <= threadsBefore; }))
            << "every animation thread has ended";
    }

    HICON Still() const { return tray->Icon().Handle(); }
    HICON Frame(int index) const { return tray->Icons().IconAt(index)->Handle(); }
    // Waits for `count` requests more than were taken so far, then takes all.
    std::vector<ShellRequest> TakeAfter(std::size_t count) {
        WaitUntil([&] { return shell.Count() >= count; });
        return shell.Take();
    }
    // Nothing more arrives within a few intervals.
    void ExpectQuiet(std::chrono::milliseconds time = 400ms) {
        shell.Take();
        Sleep(static_cast<DWORD>(time.count()));
        EXPECT_EQ(shell.TakeNames(), "");
    }

    ShellRecorder shell;
    ProgramPictures pictures;
    std::unique_ptr<TTrayIcon> tray;
    int threadsBefore = 0;
};

TEST_F(TrayAnimationTest, FirstFrameAtOnceNextAfterTheIntervalStillIconAtOnceWhenStopped) {
    const auto start = fw::SteadyClock::now();
    tray->SetAnimated(true);
    EXPECT_TRUE(tray->Animated());
    std::vector<ShellRequest> requests = shell.Take();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Name(), "modify");
    EXPECT_EQ(requests[0].record.hIcon, Frame(0));

    requests = TakeAfter(2);
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[0].record.hIcon, Frame(1));
    EXPECT_EQ(requests[1].record.hIcon, Frame(0)) << "after the last frame, the first again";
    EXPECT_GE(requests[0].at - start, 90ms);
    EXPECT_GE(requests[1].at - requests[0].at, 90ms);

    tray->SetAnimated(false);
    requests = shell.Take();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Name(), "modify");
    EXPECT_EQ(requests[0].record.hIcon, Still());
    ExpectQuiet();
}

TEST_F(TrayAnimationTest, SettingItAgainOrWithoutFramesChangesNothing) {
    // No frame of the thread's own comes within the test.
    tray->SetInterval(65535);
    tray->SetAnimated(true);
    EXPECT_EQ(shell.TakeNames(), "modify");
    tray->SetAnimated(true);
    EXPECT_EQ(shell.TakeNames(), "") << "the frames do not start again";
    EXPECT_EQ(tray->FrameIndex(), 0);
    tray->SetAnimated(false);

    tray->SetIcons(nullptr);
    shell.Take();
    tray->SetAnimated(true);
    EXPECT_FALSE(tray->Animated());
    EXPECT_EQ(shell.TakeNames(), "");
}

TEST_F(TrayAnimationTest, ClearingTheFramesStopsTheAnimationAndShowsTheStillIcon) {
    tray->SetAnimated(true);
    TakeAfter(2);
    tray->SetIcons(nullptr);
    EXPECT_FALSE(tray->Animated());
    const std::vector<ShellRequest> requests = shell.Take();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().Name(), "modify");
    EXPECT_EQ(requests.back().record.hIcon, Still());
    ExpectQuiet();
}

TEST_F(TrayAnimationTest, AFrameWithoutImageTakesTheIconOutAndPausesOnIt) {
    TIconList frames;
    frames.AppendIcon(&pictures.still);
    frames.AppendIcon(nullptr);
    tray->SetIcons(&frames);
    shell.Take();
    tray->SetAnimated(true);
    const std::vector<ShellRequest> requests = TakeAfter(2);
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[0].Name() + " " + requests[1].Name(), "modify delete");
    EXPECT_FALSE(tray->IconShown());
    ExpectQuiet();
    EXPECT_EQ(tray->FrameIndex(), 1);

    tray->SetAnimated(false);
    EXPECT_EQ(shell.TakeNames(), "delete add modify") << "the still icon is added again";
    EXPECT_TRUE(tray->IconShown());
}

TEST_F(TrayAnimationTest, InactiveIconPausesTheAnimationAndGoesOnWhenActiveAgain) {
    tray->SetAnimated(true);
    TakeAfter(2);
    tray->SetActive(false);
    EXPECT_EQ(shell.TakeNames(), "delete");
    ExpectQuiet();
    const int frame = tray->FrameIndex();
    tray->SetActive(true);
    std::vector<ShellRequest> requests = shell.Take();
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[1].Name(), "add");
    EXPECT_EQ(requests[1].record.hIcon, Frame(frame)) << "the current frame";
    requests = TakeAfter(1);
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0].Name(), "modify") << "the animation goes on";
}

TEST_F(TrayAnimationTest, AnAnimationStartedWhileTheShellRefusesWaitsForTheAdd) {
    tray->SetActive(false);
    shell.Take();
    shell.RefuseAdds(true);
    tray->SetActive(true);
    tray->SetAnimated(true);
    EXPECT_EQ(shell.TakeNames(), "delete add delete add");
    ExpectQuiet();
    shell.RefuseAdds(false);
    tray->SetHint("back");
    EXPECT_EQ(shell.TakeNames(), "delete add");
    EXPECT_FALSE(TakeAfter(1).empty()) << "frames advance once the icon is there";
}

// A shell that keeps the animation thread's request waiting must not hold
// the owning thread, which switches the animation at every check.
TEST_F(TrayAnimationTest, ASlowShellCallOfTheAnimationThreadHoldsNoCallOfTheOwner) {
    const DWORD owner = GetCurrentThreadId();
    fw::Event release;
    std::atomic<bool> inside{false};
    SetTrayShellHook([&](DWORD, const NOTIFYICONDATAW&) {
        if (GetCurrentThreadId() != owner) {
            inside = true;
            release.Wait(10000);
        }
        return TRUE;
    });
    tray->SetInterval(0);
    tray->SetAnimated(true);
    ASSERT_TRUE(WaitUntil([&] { return inside.load(); }));
    const auto start = fw::SteadyClock::now();
    tray->SetAnimated(true);  // as every failing check does
    const bool animated = tray->Animated();
    const auto took = fw::SteadyClock::now() - start;
    release.Set();
    tray->SetAnimated(false);
    SetTrayShellHook([](DWORD, const NOTIFYICONDATAW&) { return TRUE; });
    EXPECT_TRUE(animated);
    EXPECT_LT(took, 5s) << "not the 10 s of the shell call";
}

TEST_F(TrayAnimationTest, IntervalZeroAdvancesWithoutPause) {
    tray->SetInterval(0);
    tray->SetAnimated(true);
    WaitUntil([&] { return shell.Count() > 20; });
    tray->SetAnimated(false);
    // At 150 ms no two frames would come closer than that; a busy machine
    // may delay some frames, but not every one of twenty.
    const std::vector<ShellRequest> requests = shell.Take();
    ASSERT_GT(requests.size(), 20u);
    auto closest = requests[1].at - requests[0].at;
    for (std::size_t i = 2; i < requests.size(); ++i) closest = std::min(closest, requests[i].at - requests[i - 1].at);
    EXPECT_LT(closest, 100ms);
    ExpectQuiet(200ms);
}

TEST_F(TrayAnimationTest, StartingAndStoppingThousandsOfTimesLeavesNothingBehind) {
    DWORD handlesBefore = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &handlesBefore));
    for (int round = 0; round < 2000; ++round) {
        tray->SetInterval(static_cast<std::uint16_t>(round % 3));
        tray->SetAnimated(true);
        if (round % 7 == 0) Sleep(1);
        tray->SetAnimated(false);
    }
    shell.Take();
    ExpectQuiet(300ms);
    EXPECT_TRUE(WaitUntil([&] { return ThreadsOfThisProcess() <= threadsBefore; }));
    DWORD handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_LE(handlesAfter, handlesBefore + 5);
}

TEST_F(TrayAnimationTest, DestroyingTheIconWhileItAnimatesEndsTheThreadAndEveryRequest) {
    for (int round = 0; round < 50; ++round) {
        tray->SetInterval(static_cast<std::uint16_t>(round % 2));
        tray->SetAnimated(true);
        Sleep(round % 5);
        const HICON still = Still();
        shell.Take();
        tray.reset();
        const std::vector<ShellRequest> requests = shell.Take();
        ASSERT_GE(requests.size(), 2u);
        EXPECT_EQ(requests[requests.size() - 2].Name(), "modify");
        EXPECT_EQ(requests[requests.size() - 2].record.hIcon, still);
        EXPECT_EQ(requests.back().Name(), "delete");
        tray = std::make_unique<TTrayIcon>();
        tray->SetIcon(&pictures.still);
        tray->SetIcons(&pictures.frames);
        EXPECT_EQ(shell.TakeNames(), "delete add modify modify") << "nothing from the old icon's thread";
    }
    ExpectQuiet(100ms);
}

}  // namespace
}  // namespace tarvik
