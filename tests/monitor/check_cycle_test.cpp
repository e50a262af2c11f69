#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "monitor/check_cycle.h"

namespace tarvik {
namespace {

// A cycle wired to recording collaborators; the test hands the answers back.
struct Harness {
    MonitorSettings settings;
    MonitorCounters counters;
    std::vector<std::string> probes;
    std::vector<std::pair<Text, Text>> alerts;
    std::vector<bool> animation;
    std::array<Text, 4> labels;
    std::function<void()> onStart;  // runs inside a probe's start
    MonitorTime now{1000000};
    int cancels = 0;

    CheckCycle cycle{settings, counters, Collaborators()};

    CheckCollaborators Collaborators() {
        CheckCollaborators c;
        c.startAddressProbe = [this](const Text& t) { Started("address:" + t); };
        c.startWebProbe = [this](const Text& u) { Started("web:" + u); };
        c.startAlert = [this](const Text& computer, const Text& message) { alerts.emplace_back(computer, message); };
        c.setAnimated = [this](bool on) { animation.push_back(on); };
        c.cancelProbe = [this] { ++cancels; };
        c.now = [this] { return now; };
        c.showStatistics = [this](const Text& a, const Text& b, const Text& f, const Text& m) { labels = {a, b, f, m}; };
        return c;
    }
    void Started(const std::string& call) {
        probes.push_back(call);
        if (onStart) onStart();
    }
    // 'S' a successful check, 'F' a failed one; each runs to its end, its
    // alert included.
    void Run(const std::string& outcomes) {
        for (char o : outcomes) {
            const std::size_t alertsBefore = alerts.size();
            ASSERT_TRUE(cycle.StartCheck("field"));
            cycle.ProbeDone(o == 'S' ? "ok" : "");
            if (alerts.size() != alertsBefore) cycle.AlertDone();
            ASSERT_FALSE(cycle.IsRunning());
        }
    }
};

struct ThresholdCase {
    const char* name;
    std::int32_t threshold;
    const char* outcomes;
    std::int32_t checks, successes, streak, messages;
    bool animatedAtEnd;
};

class ThresholdTest : public ::testing::TestWithParam<ThresholdCase> {};

TEST_P(ThresholdTest, CountsAndAlerts) {
    const ThresholdCase& c = GetParam();
    Harness h;
    h.settings.AlertThreshold = c.threshold;
    h.Run(c.outcomes);
    EXPECT_EQ(h.counters.CheckCount, c.checks);
    EXPECT_EQ(h.counters.SuccessCount, c.successes);
    EXPECT_EQ(h.counters.FailStreak, c.streak);
    EXPECT_EQ(h.counters.MessageCount, c.messages);
    EXPECT_EQ(static_cast<std::int32_t>(h.alerts.size()), c.messages);
    ASSERT_FALSE(h.animation.empty());
    EXPECT_EQ(h.animation.back(), c.animatedAtEnd);
}

INSTANTIATE_TEST_SUITE_P(
    Cycle, ThresholdTest,
    ::testing::Values(
        // Below 1 nothing ever alerts: not the failures (the streak is at
        // least 1 then), and not the successes (the streak is 0 then).
        ThresholdCase{"zero", 0, "FFSFS", 5, 2, 0, 0, false},
        ThresholdCase{"zero_all_successes", 0, "SSS", 3, 3, 0, 0, false},
        ThresholdCase{"negative", -1, "FFFFFS", 6, 1, 0, 0, false},
        // 1: every failure alerts and leaves the streak at 0, icon animating.
        ThresholdCase{"one", 1, "FFF", 3, 0, 0, 3, true},
        ThresholdCase{"three_lasting_failure", 3, "FFFFFFF", 7, 0, 1, 2, true},
        ThresholdCase{"success_clears_streak", 3, "FFSFFS", 6, 2, 0, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CheckCycle, ThresholdThreeFiveFailuresThenSuccess) {
    Harness h;
    h.settings.AlertThreshold = 3;
    h.settings.AlertComputer = "ПОСТ-1";
    h.settings.AlertText = "Нет связи";

    h.Run("FF");
    EXPECT_TRUE(h.alerts.empty());
    h.Run("F");
    ASSERT_EQ(h.alerts.size(), 1u);
    EXPECT_EQ(h.alerts[0], std::make_pair(Text("ПОСТ-1"), Text("Нет связи")));
    // The alerting cycle animates although its streak text already reads 0.
    EXPECT_TRUE(h.animation.back());
    EXPECT_EQ(h.labels[2], "Неудачи подряд: 0");

    h.Run("FF");
    EXPECT_EQ(h.labels, (std::array<Text, 4>{"Проверок: 5", "Успешных: 0", "Неудачи подряд: 2", "Ушло сообщений: 1"}));
    EXPECT_TRUE(h.animation.back());

    h.Run("S");
    EXPECT_EQ(h.labels, (std::array<Text, 4>{"Проверок: 6", "Успешных: 1", "Неудачи подряд: 0", "Ушло сообщений: 1"}));
    EXPECT_FALSE(h.animation.back());
    EXPECT_EQ(h.animation.size(), 6u);  // switched on every cycle
    EXPECT_EQ(h.alerts.size(), 1u);
}

TEST(CheckCycle, CountersWrapAroundAt32Bits) {
    Harness h;
    const std::int32_t max = std::numeric_limits<std::int32_t>::max();
    h.settings.AlertThreshold = std::numeric_limits<std::int32_t>::min();
    h.counters = {max, max, 0, max};
    h.Run("S");
    EXPECT_EQ(h.counters.CheckCount, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(h.labels[0], "Проверок: -2147483648");
    EXPECT_EQ(h.labels[1], "Успешных: -2147483648");

    // The streak wraps too; a wrapped streak is no failure count, so it
    // raises no alert even where it meets a threshold of -2147483648.
    h.counters.FailStreak = max;
    h.Run("F");
    EXPECT_EQ(h.counters.FailStreak, std::numeric_limits<std::int32_t>::min());
    EXPECT_TRUE(h.alerts.empty());
    EXPECT_EQ(h.labels[2], "Неудачи подряд: -2147483648");

    // The message counter wraps at an alert.
    h.settings.AlertThreshold = 1;
    h.counters.FailStreak = 0;
    h.Run("F");
    EXPECT_EQ(h.alerts.size(), 1u);
    EXPECT_EQ(h.counters.MessageCount, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(h.labels[3], "Ушло сообщений: -2147483648");
}

struct ProbeChoiceCase {
    const char* field;
    const char* storedAddress;
    const char* expectedCall;
};

class ProbeChoiceTest : public ::testing::TestWithParam<ProbeChoiceCase> {};

TEST_P(ProbeChoiceTest, TrimmedFieldPicksProbeStoredSettingIsProbed) {
    Harness h;
    h.settings.ProbeAddress = GetParam().storedAddress;
    h.settings.ProbeUrl = "site.example/a";
    h.cycle.StartCheck(GetParam().field);
    EXPECT_EQ(h.probes, std::vector<std::string>{GetParam().expectedCall});
}

INSTANTIATE_TEST_SUITE_P(Cycle, ProbeChoiceTest,
                         ::testing::Values(ProbeChoiceCase{"", "10.0.0.1", "web:site.example/a"},
                                           ProbeChoiceCase{" \t\r\n\x01 ", "10.0.0.1", "web:site.example/a"},
                                           ProbeChoiceCase{"  typed  ", "10.0.0.1", "address:10.0.0.1"},
                                           // still typing: the stored address is empty
                                           ProbeChoiceCase{"10.0", "", "address:"}));

// A tick or a press that comes while the probe or the alert is out starts
// nothing, and an answer that nobody asked for changes nothing.
TEST(CheckCycle, StartsDuringACycleAndStrayAnswersAreDropped) {
    Harness h;
    h.settings.AlertThreshold = 1;
    ASSERT_TRUE(h.cycle.StartCheck("field"));
    EXPECT_FALSE(h.cycle.StartCheck(""));
    h.cycle.AlertDone();  // no alert is out
    EXPECT_EQ(h.counters.MessageCount, 0);
    h.cycle.ProbeDone("");
    ASSERT_EQ(h.alerts.size(), 1u);
    EXPECT_FALSE(h.cycle.StartCheck("field")) << "the alert is still out";
    h.cycle.ProbeDone("ok");  // no probe is out
    EXPECT_EQ(h.counters.CheckCount, 1);
    EXPECT_EQ(h.labels, (std::array<Text, 4>{})) << "nothing shown before the alert has gone";
    h.cycle.AlertDone();
    EXPECT_EQ(h.counters.MessageCount, 1);
    EXPECT_EQ(h.probes.size(), 1u);
    h.cycle.ProbeDone("");
    EXPECT_EQ(h.counters.CheckCount, 1);
    h.Run("S");
    EXPECT_EQ(h.counters.CheckCount, 2);
}

// A probe whose answer comes back inside its own start.
TEST(CheckCycle, AnAnswerInsideTheStartCompletesTheCycle) {
    Harness h;
    h.onStart = [&] { h.cycle.ProbeDone("ok"); };
    EXPECT_TRUE(h.cycle.StartCheck("field"));
    EXPECT_FALSE(h.cycle.IsRunning());
    EXPECT_EQ(h.counters.SuccessCount, 1);
    EXPECT_EQ(h.labels[1], "Успешных: 1");
}

// An abandoned cycle (its work failed, or the program is ending) leaves
// nothing that would have followed it, and the next cycle runs.
TEST(CheckCycle, AnAbandonedOrFailingCycleCountsNothingMoreAndDoesNotBlockTheNext) {
    struct Case {
        const char* name;
        bool duringAlert;
        std::int32_t checks, streak;
        std::size_t animationSwitches;
    };
    for (const Case& c : {Case{"probe", false, 0, 0, 0}, Case{"alert", true, 1, 1, 1}}) {
        SCOPED_TRACE(c.name);
        Harness h;
        h.settings.AlertThreshold = 1;
        ASSERT_TRUE(h.cycle.StartCheck("field"));
        if (c.duringAlert) h.cycle.ProbeDone("");
        h.cycle.Abandon();
        h.cycle.ProbeDone("");
        h.cycle.AlertDone();
        EXPECT_EQ(h.counters.CheckCount, c.checks);
        EXPECT_EQ(h.counters.FailStreak, c.streak);
        EXPECT_EQ(h.counters.MessageCount, 0);
        EXPECT_EQ(h.animation.size(), c.animationSwitches);
        EXPECT_EQ(h.labels, (std::array<Text, 4>{})) << "no statistics shown";
        EXPECT_FALSE(h.cycle.IsRunning());
    }
    Harness h;
    h.onStart = [] { throw std::runtime_error("probe failed"); };
    EXPECT_THROW(h.cycle.StartCheck("x"), std::runtime_error);
    EXPECT_FALSE(h.cycle.IsRunning());
    h.onStart = nullptr;
    h.Run("S");
    EXPECT_EQ(h.counters.CheckCount, 1);
}

// ---- sleep and wake ----------------------------------------------------

// A script of what happens, a word at a time: "sleep" and "wake" (the
// notices), "+N" (N seconds pass), "S" and "F" (a whole check, its alert
// included), "start" (a check starts and its probe stays out), "fail" (that
// probe fails), "!start" (a check is refused), "timer" (the check timer is
// started), "tickN" (it ticks, its period N seconds).
struct SleepCase {
    const char* name;
    const char* script;
    std::int32_t checks, streak, messages;
    int cancels;
};

class SleepTest : public ::testing::TestWithParam<SleepCase> {};

TEST_P(SleepTest, CountsWhatTheTargetDid) {
    const SleepCase& c = GetParam();
    Harness h;
    h.settings.AlertThreshold = 3;
    std::istringstream words(c.script);
    for (std::string word; words >> word;) {
        SCOPED_TRACE(word);
        if (word == "sleep") h.cycle.Suspend();
        else if (word == "wake") h.cycle.Resume();
        else if (word[0] == '+') h.now += std::chrono::seconds(std::stoi(word.substr(1)));
        else if (word == "S" || word == "F") h.Run(word);
        else if (word == "start") ASSERT_TRUE(h.cycle.StartCheck("field"));
        else if (word == "!start") ASSERT_FALSE(h.cycle.StartCheck("field"));
        else if (word == "fail") h.cycle.ProbeDone("");
        else if (word == "timer") h.cycle.TimerStarted();
        else if (word.rfind("tick", 0) == 0) h.cycle.Tick(std::chrono::seconds(std::stoi(word.substr(4))));
        else FAIL() << "unknown word";
    }
    EXPECT_EQ(h.counters.CheckCount, c.checks);
    EXPECT_EQ(h.counters.FailStreak, c.streak);
    EXPECT_EQ(h.counters.MessageCount, c.messages);
    EXPECT_EQ(h.cancels, c.cancels);
}

INSTANTIATE_TEST_SUITE_P(
    Cycle, SleepTest,
    ::testing::Values(
        SleepCase{"check_spanning_a_sleep_is_not_counted", "F start sleep fail !start +20 wake", 1, 1, 0, 1},
        SleepCase{"failures_in_the_grace_do_not_count", "F F sleep wake F F F F +25 F", 7, 2, 0, 0},
        SleepCase{"a_success_ends_the_grace", "sleep wake F S F F", 4, 2, 0, 0},
        SleepCase{"after_the_grace_failures_count_again", "sleep wake F +30 F F F", 4, 0, 1, 0},
        SleepCase{"two_notices_make_one_wake", "sleep wake +20 wake +11 F F", 2, 2, 0, 0},
        SleepCase{"a_wake_after_another_sleep_is_new", "sleep wake +20 sleep +5 wake +20 F", 1, 0, 0, 0},
        SleepCase{"a_wake_nobody_announced_after_a_critical_suspend", "F wake F", 2, 1, 0, 0},
        SleepCase{"ticks_go_on_a_minute_after_a_lost_wake", "timer sleep +30 tick30 !start +30 tick30 F", 1, 1, 0, 0},
        SleepCase{"an_overdue_tick_is_a_wake", "timer start +33 tick2 fail F F", 2, 0, 0, 1},
        SleepCase{"a_tick_on_time_is_none", "timer start +31 tick2 fail", 1, 1, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Threshold 3, a check every 2 s that fails at once, a wake into an outage
// that lasts: the alert comes after the grace, within 45 s of the wake.
TEST(CheckCycle, AWakeIntoALastingOutageStillAlerts) {
    Harness h;
    h.settings.AlertThreshold = 3;
    h.cycle.Suspend();
    h.cycle.Resume();
    int seconds = 0;
    while (h.alerts.empty() && seconds < 120) {
        h.Run("F");
        h.now += std::chrono::seconds(2);
        seconds += 2;
    }
    EXPECT_GT(seconds, 30);
    EXPECT_LE(seconds, 45);
}

}  // namespace
}  // namespace tarvik
