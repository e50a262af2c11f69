#include "monitor/check_cycle.h"

#include <utility>

#include "base/wrap_arithmetic.h"

namespace tarvik {

CheckCycle::CheckCycle(MonitorSettings& settings, MonitorCounters& counters, CheckCollaborators collaborators)
    : settings_(settings), counters_(counters), collaborators_(std::move(collaborators)) {}

bool CheckCycle::StartCheck(const Text& addressFieldText) {
    if (phase_ != Phase::Idle || asleep_) return false;
    // Before the start: an answer may come back inside it.
    phase_ = Phase::Probing;
    try {
        // The field decides which probe runs; the stored setting is what is
        // probed, even while the user is still typing in the field.
        if (Trim(addressFieldText).empty())
            collaborators_.startWebProbe(settings_.ProbeUrl);
        else
            collaborators_.startAddressProbe(settings_.ProbeAddress);
    } catch (...) {
        if (phase_ == Phase::Probing) phase_ = Phase::Idle;
        throw;
    }
    return true;
}

void CheckCycle::ProbeDone(const Text& result) {
    if (phase_ != Phase::Probing) return;
    counters_.CheckCount = WrapAdd(counters_.CheckCount, 1);
    if (result.empty()) {
        // Just after a wake the network may not be back yet: the streak,
        // and with it the icon and the alert, wait for the grace to end.
        if (InWakeGrace()) {
            phase_ = Phase::Idle;
            ShowStatistics();
            return;
        }
        counters_.FailStreak = WrapAdd(counters_.FailStreak, 1);
    } else {
        counters_.FailStreak = 0;
        counters_.SuccessCount = WrapAdd(counters_.SuccessCount, 1);
        graceEnds_.reset();
    }

    // Set on every cycle: the icon keeps animating after an alert until a
    // check succeeds.
    collaborators_.setAnimated(counters_.FailStreak > 0);

    // Only failures raise an alert: a threshold below 1 (a failed Load leaves
    // it at 0) would otherwise alert on every success, when the streak is 0.
    if (counters_.FailStreak >= 1 && counters_.FailStreak == settings_.AlertThreshold) {
        phase_ = Phase::Alerting;
        try {
            collaborators_.startAlert(settings_.AlertComputer, settings_.AlertText);
        } catch (...) {
            if (phase_ == Phase::Alerting) phase_ = Phase::Idle;
            throw;
        }
        return;
    }
    phase_ = Phase::Idle;
    ShowStatistics();
}

void CheckCycle::AlertDone() {
    if (phase_ != Phase::Alerting) return;
    // Counted as raised whether or not it was delivered.
    counters_.FailStreak = 0;
    counters_.MessageCount = WrapAdd(counters_.MessageCount, 1);
    phase_ = Phase::Idle;
    ShowStatistics();
}

void CheckCycle::Abandon() { phase_ = Phase::Idle; }

bool CheckCycle::InWakeGrace() const { return graceEnds_ && Now() < *graceEnds_; }

void CheckCycle::TimerStarted() { lastTick_ = Now(); }

void CheckCycle::Tick(MonitorTime period) {
    const MonitorTime now = Now();
    const std::optional<MonitorTime> last = std::exchange(lastTick_, now);
    if (last && now - *last > period + kOverdueTick) {
        Wake(now);
    } else if (asleep_ && now - sleptAt_ >= kLostWake) {
        // The ticks went on: no sleep came, or its wake went unannounced
        // long enough ago for the network to be back.
        asleep_ = false;
    }
}

void CheckCycle::Suspend() {
    asleep_ = true;
    sleptAt_ = Now();
    lastWake_.reset();
    graceEnds_.reset();
    // Its connection goes with the sleep: neither a success nor a failure.
    if (phase_ == Phase::Probing) {
        phase_ = Phase::Idle;
        if (collaborators_.cancelProbe) collaborators_.cancelProbe();
    }
}

void CheckCycle::Resume() {
    const MonitorTime now = Now();
    if (!asleep_ && lastWake_ && now - *lastWake_ < kLostWake) return;
    Wake(now);
}

void CheckCycle::Wake(MonitorTime now) {
    asleep_ = false;
    lastWake_ = now;
    graceEnds_ = now + kWakeGrace;
    lastTick_ = now;
    // A probe still out began before the sleep (no notice came for it).
    if (phase_ == Phase::Probing) {
        phase_ = Phase::Idle;
        if (collaborators_.cancelProbe) collaborators_.cancelProbe();
    }
}

void CheckCycle::ShowStatistics() {
    collaborators_.showStatistics("Проверок: " + IntToText(counters_.CheckCount),
                                  "Успешных: " + IntToText(counters_.SuccessCount),
                                  "Неудачи подряд: " + IntToText(counters_.FailStreak),
                                  "Ушло сообщений: " + IntToText(counters_.MessageCount));
}

}  // namespace tarvik
