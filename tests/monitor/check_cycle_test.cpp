#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
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

    CheckCycle cycle{settings, counters, Collaborators()};

    CheckCollaborators Collaborators() {
        CheckCollaborators c;
        c.startAddressProbe = [this](const Text& t) { Started("address:" + t); };
        c.startWebProbe = [this](const Text& u) { Started("web:" + u); };
        c.startAlert = [this](const Text& computer, const Text& message) { alerts.emplace_back(computer, message); };
        c.setAnimated = [this](bool on) { animation.push_back(on); };
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

}  // namespace
}  // namespace tarvik
