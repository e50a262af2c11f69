#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <vector>

#include "base/error.h"
#include "settings/settings_file.h"
#include "capture_sink.h"

namespace tarvik {
namespace {

// Keeps values per key and logs every read and write with the section asked
// for, so the tests see the order of file access against the deliveries.
class FakeStore : public ValueStore {
public:
    std::map<Text, Text> values;
    std::vector<Text>* log = nullptr;
    int refuseWriteNumber = 0;  // 1-based; 0 accepts every write
    int writes = 0;

    Text Read(const Text& section, const Text& key) override {
        log->push_back("read " + section + "/" + key);
        const auto it = values.find(key);
        return it == values.end() ? Text() : it->second;
    }
    void Write(const Text& section, const Text& key, const Text& value) override {
        log->push_back("write " + section + "/" + key + "=" + value);
        if (++writes == refuseWriteNumber) throw Error("Unable to write to C:\\x\\Tarvik.ini");
        values[key] = value;
    }
};

class LoadTest : public ::testing::Test {
protected:
    LoadTest() {
        store.log = &log;
        sink.probeAddress = [this](const Text& v) { log.push_back("IP:" + v); };
        sink.probeUrl = [this](const Text& v) { log.push_back("HOST:" + v); };
        sink.intervalSeconds = [this](std::int32_t v) { log.push_back("INTERVAL:" + IntToText(v)); };
        sink.alertThreshold = [this](std::int32_t v) { log.push_back("ACTIONS:" + IntToText(v)); };
        sink.alertComputer = [this](const Text& v) { log.push_back("COMPUTER:" + v); };
        sink.alertText = [this](const Text& v) { log.push_back("MESSAGE:" + v); };
        sink.status = [this](bool v) { log.push_back(v ? "STATUS:on" : "STATUS:off"); };
    }
    std::vector<Text> log;
    FakeStore store;
    SettingsSink sink;
};

TEST_F(LoadTest, ReadsEachKeyInOrderAndDeliversItBeforeTheNext) {
    store.values = {{"IP", "192.168.1.1"}, {"HOST", "example.test/x"}, {"INTERVAL", "$1E"}, {"ACTIONS", "-2"},
                    {"COMPUTER", "LocalHost"}, {"MESSAGE", " hi "}, {"STATUS", "1"}};
    LoadSettings(store, sink);
    const std::vector<Text> expected = {
        "read SETUP/IP",       "IP:192.168.1.1",      "read SETUP/HOST",    "HOST:example.test/x",
        "read Setup/INTERVAL", "INTERVAL:30",         "read Setup/ACTIONS", "ACTIONS:-2",
        "read SETUP/COMPUTER", "COMPUTER:LocalHost",  "read SETUP/MESSAGE", "MESSAGE: hi ",
        "read SETUP/STATUS",   "STATUS:on",
    };
    EXPECT_EQ(log, expected);
}

TEST_F(LoadTest, BadNumberEndsTheLoadAfterTheEarlierKeysWereDelivered) {
    const struct {
        std::map<Text, Text> values;
        std::vector<Text> log;
        Text message;
    } cases[] = {
        {{}, {"read SETUP/IP", "IP:", "read SETUP/HOST", "HOST:", "read Setup/INTERVAL"},
         "'' is not a valid integer value"},
        {{{"INTERVAL", "10"}, {"ACTIONS", "abc"}, {"COMPUTER", "c"}},
         {"read SETUP/IP", "IP:", "read SETUP/HOST", "HOST:", "read Setup/INTERVAL", "INTERVAL:10",
          "read Setup/ACTIONS"},
         "'abc' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        log.clear();
        store.values = c.values;
        try {
            LoadSettings(store, sink);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(Text(e.what()), c.message);
        }
        EXPECT_EQ(log, c.log);
    }
}

TEST_F(LoadTest, StatusIsOnOnlyForTheSingleCharacterOne) {
    const struct {
        Text text;
        bool on;
    } cases[] = {{"1", true}, {"0", false}, {"", false}, {"yes", false}, {"11", false}, {" 1", false}, {"1 ", false}};
    for (const auto& c : cases) {
        store.values = {{"INTERVAL", "5"}, {"ACTIONS", "5"}, {"STATUS", c.text}};
        log.clear();
        LoadSettings(store, sink);
        EXPECT_EQ(log.back(), c.on ? "STATUS:on" : "STATUS:off") << "'" << c.text << "'";
    }
}

TEST_F(LoadTest, UnassignedSinkMembersAreSkipped) {
    store.values = {{"INTERVAL", "5"}, {"ACTIONS", "5"}};
    SettingsSink partial;
    partial.status = sink.status;
    EXPECT_NO_THROW(LoadSettings(store, partial));
    EXPECT_EQ(log.back(), "STATUS:off");
    EXPECT_EQ(log.size(), 8u);  // seven reads and the one delivery
}

class SaveTest : public ::testing::Test {
protected:
    SaveTest() {
        store.log = &log;
        values = {"10.0.0.1", "example.test/", INT32_MIN, 0, "PC", "Alarm", false};
    }
    std::vector<Text> log;
    FakeStore store;
    SavedSettings values;
};

TEST_F(SaveTest, WritesTheSevenKeysInOrder) {
    SaveSettings(store, values);
    const std::vector<Text> expected = {
        "write SETUP/IP=10.0.0.1",  "write SETUP/HOST=example.test/", "write SETUP/INTERVAL=-2147483648",
        "write SETUP/ACTIONS=0",    "write SETUP/COMPUTER=PC",        "write SETUP/MESSAGE=Alarm",
        "write SETUP/STATUS=0",
    };
    EXPECT_EQ(log, expected);
    values.status = true;
    SaveSettings(store, values);
    EXPECT_EQ(log.back(), "write SETUP/STATUS=1");
}

TEST_F(SaveTest, RefusedWriteEndsTheSaveAtThatKey) {
    store.refuseWriteNumber = 3;
    EXPECT_THROW(SaveSettings(store, values), Error);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log.back(), "write SETUP/INTERVAL=-2147483648");
}

TEST_F(SaveTest, SavedValuesLoadBack) {
    values.status = true;
    SaveSettings(store, values);
    SavedSettings loaded;
    LoadSettings(store, CaptureInto(loaded));
    EXPECT_TRUE(loaded == values);
}

}  // namespace
}  // namespace tarvik
