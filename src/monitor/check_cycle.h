// One check of the target: pick a probe, count, animate the icon, alert at the
// threshold, show the statistics. The probe and the alert run elsewhere (on
// workers, so that the window never waits for the network): a check is
// started here, and their answers are handed back when they come. Everything
// outside the counting is passed in, so the main window wires the real
// workers and a test can drive a cycle step by step.
#pragma once

#include <chrono>
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

// Time on a steady clock, from any starting point.
using MonitorTime = std::chrono::milliseconds;

struct CheckCollaborators {
    // Start the probe or the alert and return; the answer comes back through
    // CheckCycle::ProbeDone and AlertDone (at once, or later).
    std::function<void(const Text& target)> startAddressProbe;
    std::function<void(const Text& url)> startWebProbe;
    // The probe under way is no longer wanted (it spans a sleep): its answer
    // must not come.
    std::function<void()> cancelProbe;
    std::function<MonitorTime()> now;
    std::function<void(const Text& computer, const Text& message)> startAlert;
    std::function<void(bool animated)> setAnimated;
    // The four label texts, in full ("Проверок: 5").
    std::function<void(const Text& checks, const Text& successes, const Text& failStreak, const Text& messages)>
        showStatistics;
};

// The computer's sleep is not the target's outage. A check whose probe is
// out when the computer goes to sleep is not counted, no check starts while
// it sleeps, and after the wake the network is given time to come back
// (Wi-Fi, DHCP and a VPN take seconds): until the first success, or for
// kWakeGrace, a failed check only counts as a check. A target still down
// after that is reported as it would have been, kWakeGrace later at most.
class CheckCycle {
public:
    static constexpr MonitorTime kWakeGrace{30000};
    // A sleep notice without a wake notice (it may be lost, or the sleep
    // may not have happened) silences no watchdog for longer than this.
    static constexpr MonitorTime kLostWake{60000};
    // A tick this much later than its period means the computer slept
    // without saying so (a Modern Standby laptop may not).
    static constexpr MonitorTime kOverdueTick{30000};

    CheckCycle(MonitorSettings& settings, MonitorCounters& counters, CheckCollaborators collaborators);

    // Starts a cycle: the field decides which probe runs. A call while a
    // cycle is under way (its probe or its alert), or while the computer
    // sleeps, starts nothing and gives false, so the counters move by
    // exactly one cycle at a time.
    bool StartCheck(const Text& addressFieldText);

    // The check timer has been started or restarted.
    void TimerStarted();
    // The check timer has ticked; `period` is its period. A tick long
    // overdue is a wake; ticks going on long after a sleep notice end the
    // sleep.
    void Tick(MonitorTime period);
    // The computer goes to sleep.
    void Suspend();
    // The computer has woken. Every wake may be told more than once (Windows
    // says so for the system and again for the user): a notice soon after
    // another, with no sleep between, is the same wake.
    void Resume();
    bool Asleep() const { return asleep_; }
    bool InWakeGrace() const;
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
    void Wake(MonitorTime now);

    MonitorTime Now() const { return collaborators_.now ? collaborators_.now() : MonitorTime{}; }

    MonitorSettings& settings_;
    MonitorCounters& counters_;
    CheckCollaborators collaborators_;
    Phase phase_ = Phase::Idle;
    bool asleep_ = false;
    MonitorTime sleptAt_{};
    std::optional<MonitorTime> lastWake_;  // since the last sleep notice
    std::optional<MonitorTime> graceEnds_;
    std::optional<MonitorTime> lastTick_;  // or the timer's start
};

}  // namespace tarvik
