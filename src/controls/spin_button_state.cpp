#include "controls/spin_button_state.h"

namespace tarvik {

bool InLowerHalf(double x, double y, double width, double height) {
    if (!(width > 0)) return false;
    return y > height - (height / width) * x;
}

namespace {
bool Inside(int x, int y, int width, int height) { return x >= 0 && y >= 0 && x <= width && y <= height; }
}  // namespace

void SpinButtonLogic::StepAndCheck(SpinButtonState half) {
    host_.Step(half);
    // A handler that ran a modal window may have had the release go
    // elsewhere: the button must not stay pressed without a press.
    if (!host_.LeftButtonHeldOnButton()) pressed_ = SpinButtonState::Released;
}

void SpinButtonLogic::Show(SpinButtonState state) {
    if (state == pressed_) return;
    pressed_ = state;
    host_.Repaint();
}

void SpinButtonLogic::Press(bool leftButton, bool enabled, int x, int y, int width, int height) {
    if (!leftButton || !enabled) return;
    host_.FocusOnPress();
    if (pressed_ == SpinButtonState::Released) {
        start_ = SpinButtonState::Released;
        pressed_ = InLowerHalf(x, y, width, height) ? SpinButtonState::BottomPressed : SpinButtonState::TopPressed;
        try {
            StepAndCheck(pressed_);
        } catch (...) {
            // The error goes to the report; a button left drawn pressed
            // would ignore the next press.
            pressed_ = SpinButtonState::Released;
            throw;
        }
        if (pressed_ != start_) host_.Repaint();
        start_ = pressed_;
        host_.ArmRepeat(kSpinFirstRepeatMs);
    }
    dragging_ = true;
}

void SpinButtonLogic::Move(int x, int y, int width, int height) {
    if (!dragging_) return;
    SpinButtonState state = SpinButtonState::Released;
    if (Inside(x, y, width, height)) {
        const bool lower = InLowerHalf(x, y, width, height);
        if (!lower && start_ == SpinButtonState::TopPressed) state = SpinButtonState::TopPressed;
        if (lower && start_ == SpinButtonState::BottomPressed) state = SpinButtonState::BottomPressed;
    }
    Show(state);
}

void SpinButtonLogic::Release(int x, int y, int width, int height) {
    if (!dragging_) return;
    dragging_ = false;
    if (!Inside(x, y, width, height)) return;  // the move outside released it
    pressed_ = start_ = SpinButtonState::Released;
    host_.Repaint();
}

void SpinButtonLogic::RepeatTick() {
    // The timer runs on after a release; a tick then finds nothing to do.
    host_.SetRepeatInterval(kSpinRepeatMs);
    if (pressed_ == SpinButtonState::Released || !host_.HasCapture()) return;
    try {
        StepAndCheck(pressed_);
    } catch (...) {
        host_.DisableRepeat();
        throw;
    }
}

}  // namespace tarvik
