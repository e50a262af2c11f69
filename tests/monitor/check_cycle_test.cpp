#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <deque>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "monitor/check_cycle.h"

namespace tarvik {
namespace {

// A cycle wired to scripted probe results, recording everything it does.
struct Harness {
    MonitorSettings settings;
    MonitorCounters counters;
    std::deque<Text> results;  // next probe results; empty text = failure
    std::vector<std::string> probes;
    std::vector<std::pair<Text, Text>> alerts;
    std::vector<bool> animation;
    std::array<Text, 4> labels;
    bool sendResult = true;
    bool dropProbe = false, dropAlert = false;  // as when the program is ending
    std::function<void()> duringProbe;
    std::function<void()> duringAlert;

    CheckCycle cycle{settings, counters, Collaborators()};

    CheckCollaborators Collaborators() {
        CheckCollaborators c;
        c.addressProbe = [this](const Text& t) { return Probe("address:" + t); };
        c.webProbe = [this](const Text& u) { return Probe("web:" + u); };
        c.sendAlert = [this](const Text& computer, const Text& message) -> std::optional<bool> {
            alerts.emplace_back(computer, message);
            if (duringAlert) duringAlert();
            if (dropAlert) return std::nullopt;
            return sendResult;
        };
        c.setAnimated = [this](bool on) { animation.push_back(on); };
        c.showStatistics = [this](const Text& a, const Text& b, const Text& f, const Text& m) { labels = {a, b, f, m}; };
        return c;
    }
    std::optional<Text> Probe(const std::string& call) {
        probes.push_back(call);
        if (duringProbe) duringProbe();
        if (dropProbe) return std::nullopt;
        Text r = results.empty() ? Text() : results.front();
        if (!results.empty()) results.pop_front();
        return r;
    }
    // 'S' a successful check, 'F' a failed one.
    void Run(const std::string& outcomes) {
        for (char o : outcomes) {
            results.push_back(o == 'S' ? "ok" : "");
            cycle.RunCheck("field");
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
    h.sendResult = false;  // a refused alert still counts as raised

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
    h.cycle.RunCheck(GetParam().field);
    EXPECT_EQ(h.probes, std::vector<std::string>{GetParam().expectedCall});
}

INSTANTIATE_TEST_SUITE_P(Cycle, ProbeChoiceTest,
                         ::testing::Values(ProbeChoiceCase{"", "10.0.0.1", "web:site.example/a"},
                                           ProbeChoiceCase{" \t\r\n\x01 ", "10.0.0.1", "web:site.example/a"},
                                           ProbeChoiceCase{"  typed  ", "10.0.0.1", "address:10.0.0.1"},
                                           // still typing: the stored address is empty
                                           ProbeChoiceCase{"10.0", "", "address:"}));

// A message box's loop can deliver a tick or a press in the middle of a cycle.
TEST(CheckCycle, CallsArrivingDuringACycleAreDropped) {
    Harness h;
    h.settings.AlertThreshold = 1;
    h.duringProbe = [&] {
        EXPECT_TRUE(h.cycle.IsRunning());
        h.cycle.RunCheck("field");
    };
    h.duringAlert = [&] { h.cycle.RunCheck(""); };
    h.Run("F");
    EXPECT_EQ(h.probes.size(), 1u);
    EXPECT_EQ(h.alerts.size(), 1u);
    EXPECT_EQ(h.counters.CheckCount, 1);
    EXPECT_EQ(h.counters.MessageCount, 1);
    EXPECT_FALSE(h.cycle.IsRunning());

    h.duringProbe = nullptr;
    h.duringAlert = nullptr;
    h.Run("S");
    EXPECT_EQ(h.counters.CheckCount, 2);
}

// A call dropped because the program is ending: nothing that would follow
// it in the cycle happens.
TEST(CheckCycle, ADroppedCallEndsTheCycleWhereItStands) {
    struct Case {
        const char* name;
        bool dropProbe, dropAlert;
        std::int32_t checks, streak;
        std::size_t animationSwitches;
    };
    for (const Case& c : {Case{"probe", true, false, 0, 0, 0}, Case{"alert", false, true, 1, 1, 1}}) {
        SCOPED_TRACE(c.name);
        Harness h;
        h.settings.AlertThreshold = 1;
        h.dropProbe = c.dropProbe;
        h.dropAlert = c.dropAlert;
        h.Run("F");
        EXPECT_EQ(h.counters.CheckCount, c.checks);
        EXPECT_EQ(h.counters.FailStreak, c.streak);
        EXPECT_EQ(h.counters.MessageCount, 0);
        EXPECT_EQ(h.animation.size(), c.animationSwitches);
        EXPECT_EQ(h.labels, (std::array<Text, 4>{})) << "no statistics shown";
        EXPECT_FALSE(h.cycle.IsRunning());
    }
}

TEST(CheckCycle, AFailingCycleDoesNotBlockTheNext) {
    Harness h;
    h.duringProbe = [] { throw std::runtime_error("probe failed"); };
    EXPECT_THROW(h.cycle.RunCheck("x"), std::runtime_error);
    EXPECT_EQ(h.counters.CheckCount, 0);
    h.duringProbe = nullptr;
    h.Run("S");
    EXPECT_EQ(h.counters.CheckCount, 1);
}

}  // namespace
}  // namespace tarvik
