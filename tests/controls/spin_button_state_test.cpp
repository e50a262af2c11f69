#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "controls/spin_button_state.h"

namespace tarvik {
namespace {

using S = SpinButtonState;

TEST(InLowerHalf, DiagonalFromBottomLeftToTopRightBelongsToTheUpperHalf) {
    const struct { double x, y, w, h; bool lower; } cases[] = {
        // 18 x 18: the diagonal runs from (0, 18) to (18, 0).
        {0, 0, 18, 18, false}, {0, 18, 18, 18, false}, {9, 9, 18, 18, false}, {18, 0, 18, 18, false},
        {9, 10, 18, 18, true}, {18, 1, 18, 18, true}, {17, 17, 18, 18, true}, {8, 9, 18, 18, false},
        // 40 x 20: half as steep.
        {20, 10, 40, 20, false}, {20, 11, 40, 20, true}, {10, 15, 40, 20, false}, {10, 16, 40, 20, true},
        {39, 1, 40, 20, true}, {1, 19, 40, 20, false},
        // No width: nothing is below.
        {0, 5, 0, 10, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InLowerHalf(c.x, c.y, c.w, c.h), c.lower) << c.x << "," << c.y << " in " << c.w << "x" << c.h;
}

// Records what the logic asks of its control.
struct Host : SpinButtonHost {
    std::vector<S> steps;
    bool held = true, capture = true, throwOnStep = false;
    int repaints = 0, focus = 0;
    unsigned interval = 0;
    bool armed = false;

    void Step(S half) override {
        steps.push_back(half);
        if (throwOnStep) throw std::runtime_error("handler failed");
    }
    bool LeftButtonHeldOnButton() override { return held; }
    bool HasCapture() override { return capture; }
    void FocusOnPress() override { ++focus; }
    void Repaint() override { ++repaints; }
    void ArmRepeat(unsigned ms) override { interval = ms, armed = true; }
    void SetRepeatInterval(unsigned ms) override { interval = ms; }
    void DisableRepeat() override { armed = false; }
};

constexpr int W = 18, H = 18;
constexpr int kUpX = 4, kUpY = 4, kDownX = 14, kDownY = 14;

TEST(SpinButtonLogic, PressStepsAtOnceAndReleaseInsideReleases) {
    Host host;
    SpinButtonLogic logic(host);
    logic.Press(true, true, kUpX, kUpY, W, H);
    EXPECT_EQ(host.steps, std::vector<S>{S::TopPressed});
    EXPECT_EQ(logic.Pressed(), S::TopPressed);
    EXPECT_EQ(logic.Start(), S::TopPressed);
    EXPECT_TRUE(logic.Dragging());
    EXPECT_EQ(host.interval, kSpinFirstRepeatMs);
    EXPECT_EQ(host.repaints, 1);
    EXPECT_EQ(host.focus, 1);

    logic.Release(kUpX, kUpY, W, H);
    EXPECT_EQ(logic.Pressed(), S::Released);
    EXPECT_EQ(logic.Start(), S::Released);
    EXPECT_FALSE(logic.Dragging());

    // The second press of a double click is one more step; a press on the
    // diagonal steps up.
    logic.Press(true, true, 9, 9, W, H);
    logic.Release(9, 9, W, H);
    logic.Press(true, true, kDownX, kDownY, W, H);
    EXPECT_EQ(host.steps, (std::vector<S>{S::TopPressed, S::TopPressed, S::BottomPressed}));
}

TEST(SpinButtonLogic, OnlyAnEnabledLeftPressSteps) {
    Host host;
    SpinButtonLogic logic(host);
    logic.Press(false, true, kUpX, kUpY, W, H);
    logic.Press(true, false, kUpX, kUpY, W, H);
    EXPECT_TRUE(host.steps.empty());
    EXPECT_FALSE(logic.Dragging());
}

TEST(SpinButtonLogic, HeldHalfRepeatsPausesOffItAndNeverSwitchesDirection) {
    Host host;
    SpinButtonLogic logic(host);
    logic.Press(true, true, kDownX, kDownY, W, H);
    logic.RepeatTick();
    EXPECT_EQ(host.interval, kSpinRepeatMs);
    logic.RepeatTick();
    EXPECT_EQ(host.steps.size(), 3u);

    logic.Move(kUpX, kUpY, W, H);  // onto the other half
    EXPECT_EQ(logic.Pressed(), S::Released);
    logic.RepeatTick();
    logic.Move(W + 5, kDownY, W, H);  // outside
    logic.RepeatTick();
    EXPECT_EQ(host.steps.size(), 3u);

    logic.Move(W, H, W, H);  // back, on the corner
    EXPECT_EQ(logic.Pressed(), S::BottomPressed);
    logic.RepeatTick();
    EXPECT_EQ(host.steps, std::vector<S>(4, S::BottomPressed));

    // Without the capture a tick does nothing.
    host.capture = false;
    logic.RepeatTick();
    EXPECT_EQ(host.steps.size(), 4u);

    // A release outside leaves the state to the last move.
    logic.Move(-1, 0, W, H);
    logic.Release(-1, 0, W, H);
    EXPECT_FALSE(logic.Dragging());
    EXPECT_EQ(logic.Start(), S::BottomPressed);
    host.capture = true;
    logic.RepeatTick();
    EXPECT_EQ(host.steps.size(), 4u);
}

TEST(SpinButtonLogic, HandlerThatLostTheButtonLeavesItReleased) {
    Host host;
    host.held = false;  // a modal window took the release
    SpinButtonLogic logic(host);
    logic.Press(true, true, kUpX, kUpY, W, H);
    EXPECT_EQ(logic.Pressed(), S::Released);
    EXPECT_EQ(host.repaints, 0);
    logic.RepeatTick();
    EXPECT_EQ(host.steps.size(), 1u);
}

TEST(SpinButtonLogic, PressedStateAfterAnUnseenReleaseDoesNotStep) {
    Host host;
    SpinButtonLogic logic(host);
    logic.Press(true, true, kUpX, kUpY, W, H);
    logic.PaintedDisabled();  // dragging ends, the state stays
    logic.Press(true, true, kUpX, kUpY, W, H);
    EXPECT_EQ(host.steps.size(), 1u);
    EXPECT_TRUE(logic.Dragging());
}

TEST(SpinButtonLogic, HandlerErrorsGoOnAndLeaveTheButtonUsable) {
    Host host;
    SpinButtonLogic logic(host);
    logic.Press(true, true, kUpX, kUpY, W, H);
    host.throwOnStep = true;
    EXPECT_THROW(logic.RepeatTick(), std::runtime_error);
    EXPECT_FALSE(host.armed);
    logic.Release(kUpX, kUpY, W, H);

    EXPECT_THROW(logic.Press(true, true, kUpX, kUpY, W, H), std::runtime_error);
    EXPECT_EQ(logic.Pressed(), S::Released);
    host.throwOnStep = false;
    logic.Press(true, true, kUpX, kUpY, W, H);
    EXPECT_EQ(host.steps.size(), 4u);
    EXPECT_TRUE(host.armed);
}

}  // namespace
}  // namespace tarvik
