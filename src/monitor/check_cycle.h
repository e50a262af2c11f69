// One check of the target: pick a probe, count, animate the icon, alert at the
// threshold, show the statistics. Everything outside the counting is passed
// in, so the main window wires the real probes and a test can drive a cycle.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

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
    // The probes and the sender answer nothing (nullopt) when their call was
    // dropped because the program is ending: the cycle then stops where it
    // stands, changing no counter and showing nothing more.
    std::function<std::optional<Text>(const Text& target)> addressProbe;
    std::function<std::optional<Text>(const Text& url)> webProbe;
    std::function<std::optional<bool>(const Text& computer, const Text& message)> sendAlert;
    std::function<void(bool animated)> setAnimated;
    // The four label texts, in full ("Проверок: 5").
    std::function<void(const Text& checks, const Text& successes, const Text& failStreak, const Text& messages)>
        showStatistics;
};

class CheckCycle {
public:
    CheckCycle(MonitorSettings& settings, MonitorCounters& counters, CheckCollaborators collaborators);

    // One cycle. The probes and the sender may handle the window's messages
    // while they wait (their work runs on another thread, and their message
    // boxes have loops of their own), so timer ticks and button presses
    // still arrive; a call that arrives while a cycle is running is dropped,
    // so cycles never nest and the counters move by exactly one cycle at a
    // time.
    void RunCheck(const Text& addressFieldText);

    bool IsRunning() const { return running_; }

private:
    MonitorSettings& settings_;
    MonitorCounters& counters_;
    CheckCollaborators collaborators_;
    bool running_ = false;
};

}  // namespace tarvik
