// A timer whose ticks arrive through the message loop. The period is an
// unsigned 32-bit count of milliseconds; a period of 0, a disabled timer or
// one without an OnTimer handler does not tick.
#pragma once

#include <cstdint>

#include "framework/component.h"
#include "framework/events.h"
#include "system/window_win.h"

namespace tarvik::fw {

class Timer : public Component, public WindowBase {
public:
    Text ClassName() const override { return "TTimer"; }
    explicit Timer(Component* owner);
    ~Timer() override;

    // Each setter restarts the platform timer and throws
    // tarvik::Error("Not enough timers available") when there is none.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    std::uint32_t Interval() const { return interval_; }
    void SetInterval(std::uint32_t milliseconds);
    const NotifyEvent& OnTimer() const { return onTimer_; }
    void SetOnTimer(NotifyEvent handler);

    // Whether the platform timer is running now.
    bool Ticking() const { return ticking_; }

    bool ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void UpdateTimer();

    bool enabled_ = true;
    std::uint32_t interval_ = 1000;
    NotifyEvent onTimer_;
    bool ticking_ = false;
};

}  // namespace tarvik::fw
