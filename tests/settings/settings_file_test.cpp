#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <vector>

#include "base/error.h"
#include "settings/settings_file.h"
#include "stored_values.h"

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
    }
    // Loads, logging each value as it arrives.
    void Load() {
        LoadSettings(store, settings, status, [this](SettingKey key) {
            switch (key) {
            case SettingKey::ProbeAddress: log.push_back("IP:" + settings.ProbeAddress); break;
            case SettingKey::ProbeUrl: log.push_back("HOST:" + settings.ProbeUrl); break;
            case SettingKey::IntervalSeconds: log.push_back("INTERVAL:" + IntToText(settings.IntervalSeconds)); break;
            case SettingKey::AlertThreshold: log.push_back("ACTIONS:" + IntToText(settings.AlertThreshold)); break;
            case SettingKey::AlertComputer: log.push_back("COMPUTER:" + settings.AlertComputer); break;
            case SettingKey::AlertText: log.push_back("MESSAGE:" + settings.AlertText); break;
            case SettingKey::Status: log.push_back(status ? "STATUS:on" : "STATUS:off"); break;
            }
        });
    }
    std::vector<Text> log;
    FakeStore store;
    MonitorSettings settings;
    bool status = false;
};

TEST_F(LoadTest, ReadsEachKeyInOrderAndDeliversItBeforeTheNext) {
    store.values = {{"IP", "192.168.1.1"}, {"HOST", "example.test/x"}, {"INTERVAL", "$1E"}, {"ACTIONS", "-2"},
                    {"COMPUTER", "LocalHost"}, {"MESSAGE", " hi "}, {"STATUS", "1"}};
    Load();
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
            Load();
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
        Load();
        EXPECT_EQ(log.back(), c.on ? "STATUS:on" : "STATUS:off") << "'" << c.text << "'";
    }
}

TEST_F(LoadTest, WithoutACallbackTheValuesStillArrive) {
    store.values = {{"INTERVAL", "5"}, {"ACTIONS", "5"}};
    status = true;
    EXPECT_NO_THROW(LoadSettings(store, settings, status, nullptr));
    EXPECT_FALSE(status);
    EXPECT_EQ(settings.IntervalSeconds, 5);
    EXPECT_EQ(log.size(), 7u);  // the seven reads
}

class SaveTest : public ::testing::Test {
protected:
    SaveTest() {
        store.log = &log;
        values = Stored("10.0.0.1", "example.test/", INT32_MIN, 0, "PC", "Alarm", false);
    }
    std::vector<Text> log;
    FakeStore store;
    StoredValues values;
};

TEST_F(SaveTest, WritesTheSevenKeysInOrder) {
    Save(store, values);
    const std::vector<Text> expected = {
        "write SETUP/IP=10.0.0.1",  "write SETUP/HOST=example.test/", "write SETUP/INTERVAL=-2147483648",
        "write SETUP/ACTIONS=0",    "write SETUP/COMPUTER=PC",        "write SETUP/MESSAGE=Alarm",
        "write SETUP/STATUS=0",
    };
    EXPECT_EQ(log, expected);
    values.status = true;
    Save(store, values);
    EXPECT_EQ(log.back(), "write SETUP/STATUS=1");
}

TEST_F(SaveTest, RefusedWriteEndsTheSaveAtThatKey) {
    store.refuseWriteNumber = 3;
    EXPECT_THROW(Save(store, values), Error);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log.back(), "write SETUP/INTERVAL=-2147483648");
}

TEST_F(SaveTest, SavedValuesLoadBack) {
    values.status = true;
    Save(store, values);
    StoredValues loaded;
    LoadSettings(store, loaded.settings, loaded.status, nullptr);
    EXPECT_TRUE(loaded == values);
}

}  // namespace
}  // namespace tarvik
