// The kinds of event a component raises. Every event receives the component
// that raised it first; an event without a handler is skipped.
#pragma once

#include <cstdint>
#include <functional>

namespace tarvik::fw {

class Component;

enum class MouseButton { mbLeft, mbRight, mbMiddle };

// The modifier keys and mouse buttons held during a mouse event.
enum ShiftFlag : unsigned {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6,
};
using ShiftState = unsigned;

using NotifyEvent = std::function<void(Component& sender)>;
using MouseEvent = std::function<void(Component& sender, MouseButton button, ShiftState shift, int x, int y)>;
using MouseMoveEvent = std::function<void(Component& sender, ShiftState shift, int x, int y)>;
// `key`: a virtual-key code, which the handler may set to 0 to consume it.
using KeyEvent = std::function<void(Component& sender, std::uint16_t& key, ShiftState shift)>;
// `key`: a typed 8-bit character, which the handler may change, or set to 0
// to drop it.
using KeyPressEvent = std::function<void(Component& sender, char& key)>;
// `handled`: set to keep the control from acting on the wheel itself.
using MouseWheelUpDownEvent =
    std::function<void(Component& sender, ShiftState shift, int x, int y, bool& handled)>;
// (x, y): where the menu was asked for, in the control's coordinates, or
// (-1, -1) from the keyboard; `handled`: set to show no menu.
using ContextPopupEvent = std::function<void(Component& sender, int x, int y, bool& handled)>;
using CloseQueryEvent = std::function<void(Component& sender, bool& canClose)>;

// Calls an event when it has a handler.
template <class Event, class... Args>
void Raise(const Event& event, Args&&... args) {
    if (event) event(std::forward<Args>(args)...);
}

}  // namespace tarvik::fw
