#include "framework/pointer_input_win.h"

namespace tarvik::fw {

ShiftState ReadModifierKeys(bool altInMessage) {
    ShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0 || altInMessage) shift |= ssAlt;
    return shift;
}

ShiftState MouseShiftState(WPARAM keys) {
    ShiftState shift = 0;
    if (keys & MK_SHIFT) shift |= ssShift;
    if (keys & MK_CONTROL) shift |= ssCtrl;
    if (keys & MK_LBUTTON) shift |= ssLeft;
    if (keys & MK_RBUTTON) shift |= ssRight;
    if (keys & MK_MBUTTON) shift |= ssMiddle;
    return shift | (ReadModifierKeys() & ssAlt);
}

void TranslateMouse(UINT message, int x, int y, const MouseRules& rules, MouseTarget& target) {
    enum class Kind { Down, Up, Double };
    MouseButton button;
    Kind kind;
    switch (message) {
    case WM_MOUSEMOVE:
        target.PointerMove(rules.keyFlags ? MouseShiftState(*rules.keyFlags) : ReadModifierKeys(), x, y);
        return;
    case WM_LBUTTONDOWN: button = MouseButton::mbLeft, kind = Kind::Down; break;
    case WM_LBUTTONUP: button = MouseButton::mbLeft, kind = Kind::Up; break;
    case WM_LBUTTONDBLCLK: button = MouseButton::mbLeft, kind = Kind::Double; break;
    case WM_RBUTTONDOWN: button = MouseButton::mbRight, kind = Kind::Down; break;
    case WM_RBUTTONUP: button = MouseButton::mbRight, kind = Kind::Up; break;
    case WM_RBUTTONDBLCLK: button = MouseButton::mbRight, kind = Kind::Double; break;
    case WM_MBUTTONDOWN: button = MouseButton::mbMiddle, kind = Kind::Down; break;
    case WM_MBUTTONUP: button = MouseButton::mbMiddle, kind = Kind::Up; break;
    case WM_MBUTTONDBLCLK: button = MouseButton::mbMiddle, kind = Kind::Double; break;
    default: return;
    }
    ShiftState shift = 0;
    if (rules.keyFlags) {
        shift = MouseShiftState(*rules.keyFlags);
    } else {
        shift = ReadModifierKeys();
        if (kind != Kind::Double)
            shift |= button == MouseButton::mbLeft ? ssLeft : button == MouseButton::mbRight ? ssRight : ssMiddle;
    }
    const bool clicks =
        button == MouseButton::mbLeft || (button == MouseButton::mbRight && rules.rightButtonClicks);
    switch (kind) {
    case Kind::Down:
        if (clicks && rules.pressCountsBeforeDown) target.PressCounted(button);
        target.PointerDown(button, shift, x, y);
        if (clicks && !rules.pressCountsBeforeDown) target.PressCounted(button);
        break;
    case Kind::Double:
        // The release of the second press makes no click.
        if (button == MouseButton::mbLeft) {
            if (rules.doubleClickForgetsPress) target.PressReleased(button);
            target.PointerDoubleClick();
        }
        target.PointerDown(button, shift | ssDouble, x, y);
        break;
    case Kind::Up:
        if (clicks && target.PressReleased(button)) target.PointerClick(button, shift, x, y);
        target.PointerUp(button, shift, x, y);
        break;
    }
}

}  // namespace tarvik::fw
