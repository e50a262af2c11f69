// The kinds of event a component raises. Every event receives the component
// that raised it first; an event without a handler is skipped.
#pragma once

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
using CloseQueryEvent = std::function<void(Component& sender, bool& canClose)>;

// Calls an event when it has a handler.
template <class Event, class... Args>
void Raise(const Event& event, Args&&... args) {
    if (event) event(std::forward<Args>(args)...);
}

}  // namespace tarvik::fw
