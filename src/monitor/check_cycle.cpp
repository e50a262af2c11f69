#include "monitor/check_cycle.h"

#include <utility>

#include "base/wrap_arithmetic.h"

namespace tarvik {

namespace {

// Clears the running mark on every way out, exceptions included, so that a
// failing cycle does not block all later ones.
class RunningMark {
public:
    explicit RunningMark(bool& running) : running_(running) { running_ = true; }
    ~RunningMark() { running_ = false; }
    RunningMark(const RunningMark&) = delete;
    RunningMark& operator=(const RunningMark&) = delete;

private:
    bool& running_;
};

}  // namespace

CheckCycle::CheckCycle(MonitorSettings& settings, MonitorCounters& counters, CheckCollaborators collaborators)
    : settings_(settings), counters_(counters), collaborators_(std::move(collaborators)) {}

void CheckCycle::RunCheck(const Text& addressFieldText) {
    if (running_) return;
    RunningMark mark(running_);

    // The field decides which probe runs; the stored setting is what is
    // probed, even while the user is still typing in the field.
    const std::optional<Text> result = Trim(addressFieldText).empty()
                                           ? collaborators_.webProbe(settings_.ProbeUrl)
                                           : collaborators_.addressProbe(settings_.ProbeAddress);
    // Dropped: the program is ending, and this check never happened.
    if (!result.has_value()) return;

    counters_.CheckCount = WrapAdd(counters_.CheckCount, 1);
    if (result->empty()) {
        counters_.FailStreak = WrapAdd(counters_.FailStreak, 1);
    } else {
        counters_.FailStreak = 0;
        counters_.SuccessCount = WrapAdd(counters_.SuccessCount, 1);
    }

    // Set on every cycle: the icon keeps animating after an alert until a
    // check succeeds.
    collaborators_.setAnimated(counters_.FailStreak > 0);

    // Only failures raise an alert: a threshold below 1 (a failed Load leaves
    // it at 0) would otherwise alert on every success, when the streak is 0.
    if (counters_.FailStreak >= 1 && counters_.FailStreak == settings_.AlertThreshold) {
        // Counted as raised whether or not it was delivered, unless the
        // program is ending while it goes out.
        const std::optional<bool> sent = collaborators_.sendAlert(settings_.AlertComputer, settings_.AlertText);
        if (!sent.has_value()) return;
        counters_.FailStreak = 0;
        counters_.MessageCount = WrapAdd(counters_.MessageCount, 1);
    }

    collaborators_.showStatistics("Проверок: " + IntToText(counters_.CheckCount),
                                  "Успешных: " + IntToText(counters_.SuccessCount),
                                  "Неудачи подряд: " + IntToText(counters_.FailStreak),
                                  "Ушло сообщений: " + IntToText(counters_.MessageCount));
}

}  // namespace tarvik
