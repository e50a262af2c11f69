// The input rules that the controls and the notification-area icon share:
// which modifier keys are down, and what a pointer message means (a down, an
// up, a click, a double click). Each says here how it differs from the other.
#pragma once

#include <windows.h>

#include <optional>

#include "framework/events.h"

namespace tarvik::fw {

// Shift, Ctrl and Alt (VK_MENU) as they are down now. `altInMessage`: the
// message being handled says that Alt is down (a key message's context
// code, bit 29), whatever the key state says.
ShiftState ReadModifierKeys(bool altInMessage = false);

// The modifier keys and buttons of a pointer message's key flags, with Alt
// (which the flags do not carry) as it is now.
ShiftState MouseShiftState(WPARAM keys);

// Where the two sources of pointer messages differ.
struct MouseRules {
    // The message's key flags. Without them (the shell's notices about the
    // icon carry none) the modifier keys are read as they are now, and a
    // press or a release carries its own button.
    std::optional<WPARAM> keyFlags;
    // The right button's release after its press clicks, as the left's does
    // (the icon opens its menu so); otherwise only the left button clicks.
    bool rightButtonClicks = false;
    // A press counts towards its click before its down event is raised (a
    // control, so that a release handled inside that event still clicks),
    // or once it has been raised (the icon).
    bool pressCountsBeforeDown = true;
    // A double click forgets a press whose release has not come (a
    // control); the icon's double-click notice leaves the presses alone.
    bool doubleClickForgetsPress = true;
};

// What hears the meaning of a pointer message.
class MouseTarget {
public:
    // A press of a button that can click / its release: true when its press
    // was counted and still stands (a click follows then).
    virtual void PressCounted(MouseButton button) = 0;
    virtual bool PressReleased(MouseButton button) = 0;
    virtual void PointerMove(ShiftState shift, int x, int y) = 0;
    virtual void PointerDown(MouseButton button, ShiftState shift, int x, int y) = 0;
    virtual void PointerUp(MouseButton button, ShiftState shift, int x, int y) = 0;
    virtual void PointerClick(MouseButton button, ShiftState shift, int x, int y) = 0;
    virtual void PointerDoubleClick() = 0;  // the left button's

protected:
    ~MouseTarget() = default;
};

// The pointer message `message` (WM_MOUSEMOVE, a press, a release or a
// double click of the left, right or middle button) at (x, y), told to the
// target in its order: a release clicks before its up, a double click comes
// before its down with ssDouble (in place of the button's own flag where
// the message carries no key flags). Any other message does nothing.
void TranslateMouse(UINT message, int x, int y, const MouseRules& rules, MouseTarget& target);

}  // namespace tarvik::fw
