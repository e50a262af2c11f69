#include "framework/timer_win.h"

#include <windows.h>

#include "base/error.h"
#include "framework/layout.h"
#include "framework/layout_reader.h"

namespace tarvik::fw {

namespace {
const char kTimerClass[] = "TarvikTimer";
constexpr UINT_PTR kTimerId = 1;
}  // namespace

Timer::Timer(Component* owner) : Component(owner) {
    RegisterOwnClass(kTimerClass, 0, nullptr);
    CreateWindowHandle(0, kTimerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr);
}

Timer::~Timer() {
    BeginDestroy();
    if (ticking_) KillTimer(WindowHandleOrNull(), kTimerId);
    DestroyWindowHandle();
}

void Timer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    UpdateTimer();
}

void Timer::SetInterval(std::uint32_t milliseconds) {
    if (milliseconds == interval_) return;
    interval_ = milliseconds;
    UpdateTimer();
}

void Timer::SetOnTimer(NotifyEvent handler) {
    onTimer_ = std::move(handler);
    UpdateTimer();
}

bool Timer::ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) {
    if (name == "Enabled") SetEnabled(LayoutReader::Boolean(value));
    else if (name == "Interval") {
        const std::int64_t interval = LayoutReader::Integer(value);
        if (interval < 0 || interval > 0xFFFFFFFFLL) throw Error("the interval " + std::to_string(interval) + " is out of range");
        SetInterval(static_cast<std::uint32_t>(interval));
    } else if (name == "OnTimer") SetOnTimer(reader.Handler<NotifyEvent>(value));
    else return Component::ReadProperty(name, value, reader);
    return true;
}

LRESULT Timer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kTimerId) {
        if (enabled_ && onTimer_ && !IsDestroying()) onTimer_(*this);
        return 0;
    }
    return WindowBase::HandleMessage(message, wParam, lParam);
}

void Timer::UpdateTimer() {
    if (ticking_) KillTimer(WindowHandleOrNull(), kTimerId);
    ticking_ = false;
    if (!enabled_ || interval_ == 0 || !onTimer_) return;
    if (!SetTimer(WindowHandleOrNull(), kTimerId, interval_, nullptr)) throw Error("Not enough timers available");
    ticking_ = true;
}

}  // namespace tarvik::fw
