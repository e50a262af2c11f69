// One check of the target: pick a probe, count, animate the icon, alert at the
// threshold, show the statistics. The probe and the alert run elsewhere (on
// workers, so that the window never waits for the network): a check is
// started here, and their answers are handed back when they come. Everything
// outside the counting is passed in, so the main window wires the real
// workers and a test can drive a cycle step by step.
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
    // Start the probe or the alert and return; the answer comes back through
    // CheckCycle::ProbeDone and AlertDone (at once, or later).
    std::function<void(const Text& target)> startAddressProbe;
    std::function<void(const Text& url)> startWebProbe;
    std::function<void(const Text& computer, const Text& message)> startAlert;
    std::function<void(bool animated)> setAnimated;
    // The four label texts, in full ("Проверок: 5").
    std::function<void(const Text& checks, const Text& successes, const Text& failStreak, const Text& messages)>
        showStatistics;
};

class CheckCycle {
public:
    CheckCycle(MonitorSettings& settings, MonitorCounters& counters, CheckCollaborators collaborators);

    // Starts a cycle: the field decides which probe runs. A call while a
    // cycle is under way (its probe or its alert) starts nothing and gives
    // false, so the counters move by exactly one cycle at a time.
    bool StartCheck(const Text& addressFieldText);
    // The probe's result, empty when the check failed. Counts and animates;
    // at the threshold it starts the alert, and otherwise the cycle ends
    // with the statistics.
    void ProbeDone(const Text& result);
    // The alert has gone out, delivered or not: the cycle ends.
    void AlertDone();
    // The cycle under way ends where it stands, counting nothing more (its
    // work failed, or its answer is no longer wanted).
    void Abandon();

    bool IsRunning() const { return phase_ != Phase::Idle; }

private:
    enum class Phase { Idle, Probing, Alerting };
    void ShowStatistics();

    MonitorSettings& settings_;
    MonitorCounters& counters_;
    CheckCollaborators collaborators_;
    Phase phase_ = Phase::Idle;
};

}  // namespace tarvik
