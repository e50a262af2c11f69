// One check of the target: pick a probe, count, animate the icon, alert at the
// threshold, show the statistics. Everything outside the counting is passed
// in, so the main window wires the real probes and a test can drive a cycle.
#pragma once

#include <cstdint>
#include <functional>

#include "base/text.h"
#include "monitor/monitor_settings.h"

namespace tarvik {

// Never saved and never reset; each counter wraps around at 32 bits.
struct MonitorCounters {
    std::int32_t CheckCount = 0;
    std::int32_t SuccessCount = 0;
    std::int32_t FailStreak = 0;
    std::int32_t MessageCount = 0;
};

struct CheckCollaborators {
    std::function<Text(const Text& target)> addressProbe;
    std::function<Text(const Text& url)> webProbe;
    std::function<bool(const Text& computer, const Text& message)> sendAlert;
    std::function<void(bool animated)> setAnimated;
    // The four label texts, in full ("Проверок: 5").
    std::function<void(const Text& checks, const Text& successes, const Text& failStreak, const Text& messages)>
        showStatistics;
};

class CheckCycle {
public:
    CheckCycle(MonitorSettings& settings, MonitorCounters& counters, CheckCollaborators collaborators);

    // One cycle. A probe or the sender may wait on a message box whose loop
    // still delivers timer ticks and button presses; a call that arrives
    // while a cycle is running is dropped, so cycles never nest and the
    // counters move by exactly one cycle at a time.
    void RunCheck(const Text& addressFieldText);

    bool IsRunning() const { return running_; }

private:
    MonitorSettings& settings_;
    MonitorCounters& counters_;
    CheckCollaborators collaborators_;
    bool running_ = false;
};

}  // namespace tarvik
