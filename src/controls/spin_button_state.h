// What a spin button does with pointer presses, moves, releases and repeat
// ticks, apart from any window: the platform control turns messages into
// these calls and carries out what the logic asks of it through SpinButtonHost.
//
// The button is split along its diagonal from the bottom-left to the top-right
// corner; the upper half steps up, the lower half down. A press steps once,
// and a held half repeats after 400 ms and then every 100 ms.
#pragma once

namespace tarvik {

enum class SpinButtonState { Released, TopPressed, BottomPressed };

// The lower half holds the points strictly below the diagonal; the diagonal
// itself belongs to the upper half. A button without width is all upper half.
bool InLowerHalf(double x, double y, double width, double height);

// The repeat delays: the first repeat, and every one after it.
constexpr unsigned kSpinFirstRepeatMs = 400;
constexpr unsigned kSpinRepeatMs = 100;

class SpinButtonHost {
public:
    // One step of a half (TopPressed or BottomPressed): the half's handler.
    virtual void Step(SpinButtonState half) = 0;
    // The left button is still held down on the button and the button holds
    // the pointer capture (a handler may have run a modal window meanwhile).
    virtual bool LeftButtonHeldOnButton() = 0;
    virtual bool HasCapture() = 0;
    // Gives the focus to the button's focus control when it should take it.
    virtual void FocusOnPress() = 0;
    virtual void Repaint() = 0;
    // Arms the repeat timer (creating it on first use) with this interval;
    // SetRepeatInterval only changes the interval of a running one.
    virtual void ArmRepeat(unsigned milliseconds) = 0;
    virtual void SetRepeatInterval(unsigned milliseconds) = 0;
    virtual void DisableRepeat() = 0;

protected:
    ~SpinButtonHost() = default;
};

class SpinButtonLogic {
public:
    explicit SpinButtonLogic(SpinButtonHost& host) : host_(host) {}

    SpinButtonState Pressed() const { return pressed_; }
    SpinButtonState Start() const { return start_; }
    bool Dragging() const { return dragging_; }

    // Pointer events in the button's coordinates, for a button width × height.
    // Errors of the half's handler go on to the caller.
    void Press(bool leftButton, bool enabled, int x, int y, int width, int height);
    void Move(int x, int y, int width, int height);
    void Release(int x, int y, int width, int height);
    void RepeatTick();
    // A disabled button follows no press.
    void PaintedDisabled() { dragging_ = false; }

private:
    void StepAndCheck(SpinButtonState half);
    void Show(SpinButtonState state);

    SpinButtonHost& host_;
    SpinButtonState pressed_ = SpinButtonState::Released;
    SpinButtonState start_ = SpinButtonState::Released;
    bool dragging_ = false;
};

}  // namespace tarvik
