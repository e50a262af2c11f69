// Runs with a recording NetApi32.dll in the system folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "support/box_recorder_win.h"
#include "monitor/alert_sender.h"
#include "monitor/doubles/netapi32_record_win.h"

namespace tarvik {
namespace {

using testing::BoxRecorder;
using Record = testing::MessageRecord;

// Holds the double loaded, so its record survives the sender's release.
class RecordingNetApi : public ::testing::Test {
protected:
    void SetUp() override {
        library_ = LoadLibraryA("NetApi32.dll");
        ASSERT_NE(library_, nullptr);
        setAnswer_ = reinterpret_cast<void(WINAPI*)(DWORD)>(
            reinterpret_cast<void (*)()>(GetProcAddress(library_, "TestSetAnswer")));
        getRecord_ = reinterpret_cast<void(WINAPI*)(Record*)>(
            reinterpret_cast<void (*)()>(GetProcAddress(library_, "TestGetRecord")));
        ASSERT_TRUE(setAnswer_ && getRecord_) << "the recording double is not the library in use";
        setAnswer_(0);
    }
    void TearDown() override { FreeLibrary(library_); }

    Record Last() {
        Record r{};
        getRecord_(&r);
        return r;
    }
    std::wstring SentText(const Record& r) {
        return std::wstring(reinterpret_cast<const wchar_t*>(r.buffer), r.bufferLength / sizeof(wchar_t));
    }

    HMODULE library_ = nullptr;
    void(WINAPI* setAnswer_)(DWORD) = nullptr;
    void(WINAPI* getRecord_)(Record*) = nullptr;
    BoxRecorder recorder_;
};

struct SendCase {
    const char* name;
    const char* computer;
    const char* message;
    const wchar_t* wideComputer;
    const wchar_t* wideMessage;  // what the buffer holds, terminating zero included
    DWORD bufferBytes;
};

class SendTest : public RecordingNetApi, public ::testing::WithParamInterface<SendCase> {};

TEST_P(SendTest, HandsTheServiceUtf16Texts) {
    const SendCase& c = GetParam();
    EXPECT_TRUE(SendAlertMessage(c.computer, c.message));
    const Record r = Last();
    EXPECT_EQ(r.calls, 1);
    EXPECT_TRUE(r.serverNull);
    EXPECT_TRUE(r.fromNull);
    EXPECT_EQ(std::wstring(r.messageName), std::wstring(c.wideComputer));
    EXPECT_EQ(r.bufferLength, c.bufferBytes);
    EXPECT_EQ(SentText(r), std::wstring(c.wideMessage, c.bufferBytes / sizeof(wchar_t)));
    EXPECT_TRUE(recorder_.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Sender, SendTest,
    ::testing::Values(SendCase{"cyrillic", "ПОСТ-1", "Связь пропала!", L"ПОСТ-1", L"Связь пропала!", 30},
                      SendCase{"latin", "host", "Down", L"host", L"Down", 10},
                      // the terminating zero alone
                      SendCase{"empty_message", "host", "", L"host", L"", 2},
                      SendCase{"empty_computer", "", "x", L"", L"x", 4},
                      SendCase{"yo_and_quote", "ёЁ", "«ёж»", L"ёЁ", L"«ёж»", 10}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecordingNetApi, RefusalIsFalseAndNotReported) {
    setAnswer_(2273);  // the name is not known
    EXPECT_FALSE(SendAlertMessage("nobody", "text"));
    EXPECT_EQ(Last().calls, 1);
    EXPECT_TRUE(recorder_.boxes.empty());
}

TEST_F(RecordingNetApi, ReleasesTheLibrary) {
    for (int i = 0; i < 3; ++i) SendAlertMessage("a", "b");
    FreeLibrary(library_);
    EXPECT_EQ(GetModuleHandleA("NetApi32.dll"), nullptr);
    library_ = LoadLibraryA("NetApi32.dll");
}

}  // namespace
}  // namespace tarvik
