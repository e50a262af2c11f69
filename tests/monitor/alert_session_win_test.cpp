// Runs with a recording NetApi32.dll and a recording wtsapi32.dll in the
// system folder, or (TARVIK_EXPECT_NO_SESSION_SERVICE) with wtsapi32.dll
// disabled: where the messenger refuses, the alert goes out as a session
// message.
#include <gtest/gtest.h>

#include <windows.h>
#include <wtsapi32.h>

#include <string>
#include <vector>

#include "base/program_title.h"
#include "doubles/wtsapi32_record_win.h"
#include "support/box_recorder_win.h"
#include "monitor/alert_sender.h"

namespace tarvik {
namespace {

using testing::SessionRecord;

constexpr DWORD kNotSupported = 50;  // the messenger's answer since Vista
const char kCyrillic[] = "Связь пропала!";

template <class Function>
Function Export(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// Holds the doubles loaded, so their records survive the sender's release.
class SessionMessages : public ::testing::Test {
protected:
    void SetUp() override {
        netapi_ = LoadLibraryA("NetApi32.dll");
        ASSERT_NE(netapi_, nullptr);
        setAnswer_ = Export<void(WINAPI*)(DWORD)>(netapi_, "TestSetAnswer");
        ASSERT_NE(setAnswer_, nullptr) << "the recording NetApi32 double is not the library in use";
        setAnswer_(kNotSupported);
#ifndef TARVIK_EXPECT_NO_SESSION_SERVICE
        wts_ = LoadLibraryA("wtsapi32.dll");
        ASSERT_NE(wts_, nullptr);
        reset_ = Export<void(WINAPI*)(BOOL)>(wts_, "TestReset");
        addSession_ = Export<void(WINAPI*)(DWORD, WTS_CONNECTSTATE_CLASS, const wchar_t*)>(wts_, "TestAddSession");
        getRecord_ = Export<void(WINAPI*)(SessionRecord*)>(wts_, "TestGetRecord");
        ASSERT_TRUE(reset_ && addSession_ && getRecord_) << "the recording wtsapi32 double is not the library in use";
        Offer(TRUE);
#endif
    }
    // The sessions of every server, three of them active: the program's
    // own and two of another user's; `openWorks`: whether a server opens by
    // name.
    void Offer(BOOL openWorks) {
        reset_(openWorks);
        addSession_(0, WTSDisconnected, L"");  // the services' session
        addSession_(OwnSession(), WTSActive, L"operator");
        addSession_(kIvan1, WTSActive, L"Иван");
        addSession_(kIvan2, WTSActive, L"Иван");
        addSession_(kGuest, WTSDisconnected, L"guest");
        addSession_(65536, WTSListen, L"");
    }
    static constexpr DWORD kIvan1 = 7, kIvan2 = 8, kGuest = 9;
    static DWORD OwnSession() {
        DWORD own = 0;
        ProcessIdToSessionId(GetCurrentProcessId(), &own);
        return own;
    }
    void TearDown() override {
        if (wts_) FreeLibrary(wts_);
        FreeLibrary(netapi_);
    }

    SessionRecord Record() {
        SessionRecord record{};
        getRecord_(&record);
        return record;
    }

    HMODULE netapi_ = nullptr, wts_ = nullptr;
    void(WINAPI* setAnswer_)(DWORD) = nullptr;
    void(WINAPI* reset_)(BOOL) = nullptr;
    void(WINAPI* addSession_)(DWORD, WTS_CONNECTSTATE_CLASS, const wchar_t*) = nullptr;
    void(WINAPI* getRecord_)(SessionRecord*) = nullptr;
    tarvik::testing::BoxRecorder recorder_;
};

#ifdef TARVIK_EXPECT_NO_SESSION_SERVICE

TEST_F(SessionMessages, MissingServiceIsFalseAndShowsNothing) {
    ASSERT_EQ(LoadLibraryA("wtsapi32.dll"), nullptr) << "wtsapi32.dll is there after all";
    EXPECT_FALSE(SendAlertMessage("host", kCyrillic));
    EXPECT_FALSE(SendAlertMessage("", kCyrillic));
    EXPECT_TRUE(recorder_.boxes.empty());
}

#else

Text OwnComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = sizeof name;
    return GetComputerNameA(name, &length) ? Text(name, length) : Text("?");
}

std::wstring OwnTitle() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const Text title = ProgramTitle(path);
    return std::wstring(title.begin(), title.end());  // the test program's name is ASCII
}

constexpr DWORD kOwn = 0xFFFFFFF0;  // stands for the program's own session

struct SessionCase {
    const char* name;
    const char* computer;  // null: this computer's own name, in lower case
    bool openWorks;
    const wchar_t* opened;  // the server name opened, or null for none
    std::vector<DWORD> sessions;  // the sessions that get the box
};

class SessionTest : public SessionMessages, public ::testing::WithParamInterface<SessionCase> {};

TEST_P(SessionTest, ReachesTheActiveSessionsTheNameMeans) {
    const SessionCase& c = GetParam();
    Offer(c.openWorks);
    Text computer = c.computer ? Text(c.computer) : OwnComputerName();
    if (!c.computer) CharLowerA(&computer[0]);

    ASSERT_NE(OwnSession(), kIvan1);
    ASSERT_NE(OwnSession(), kIvan2);
    ASSERT_NE(OwnSession(), kGuest);
    EXPECT_EQ(SendAlertMessage(computer, kCyrillic), !c.sessions.empty());
    const SessionRecord r = Record();
    EXPECT_EQ(r.opens, c.opened ? 1 : 0);
    if (c.opened) {
        EXPECT_EQ(std::wstring(r.openedName), c.opened);
    }
    EXPECT_EQ(r.closes, c.opened && c.openWorks ? 1 : 0) << "an opened server is closed, a failed open is not";
    ASSERT_EQ(r.messageCount, static_cast<int>(c.sessions.size()));
    for (int i = 0; i < r.messageCount; ++i) {
        const testing::SessionMessage& m = r.messages[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(m.session, c.sessions[i] == kOwn ? OwnSession() : c.sessions[i]);
        EXPECT_EQ(m.server, c.opened ? r.openedHandle : WTS_CURRENT_SERVER_HANDLE);
        EXPECT_EQ(std::wstring(m.text), L"Связь пропала!");
        EXPECT_EQ(m.textBytes, 14u * 2);
        EXPECT_EQ(std::wstring(m.title), OwnTitle());
        EXPECT_EQ(m.titleBytes, OwnTitle().size() * 2);
        EXPECT_EQ(m.style, static_cast<DWORD>(MB_OK | MB_ICONWARNING));
        EXPECT_EQ(m.timeout, 0u);
        EXPECT_FALSE(m.wait) << "a check never waits for a person";
    }
    EXPECT_TRUE(recorder_.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Sender, SessionTest,
    // "This computer" is the person at this desk: the program's own session
    // alone, not every active one.
    ::testing::Values(SessionCase{"empty", "", true, nullptr, {kOwn}},
                      SessionCase{"localhost", "LOCALHOST", true, nullptr, {kOwn}},
                      SessionCase{"dot", ".", true, nullptr, {kOwn}},
                      SessionCase{"own_name", nullptr, true, nullptr, {kOwn}},
                      SessionCase{"user_name_any_case", "иВАН", true, nullptr, {7, 8}},
                      SessionCase{"user_of_a_disconnected_session", "GUEST", true, nullptr, {}},
                      SessionCase{"remote", "ПОСТ-7", true, L"ПОСТ-7", {kOwn, 7, 8}},
                      // null from a failed open is also this computer's handle
                      SessionCase{"remote_that_does_not_open", "post-8", false, L"post-8", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SessionMessages, MessengerThatDeliversIsTheOnlyWay) {
    setAnswer_(0);
    EXPECT_TRUE(SendAlertMessage("LocalHost", kCyrillic));
    const SessionRecord r = Record();
    EXPECT_EQ(r.messageCount, 0);
    EXPECT_EQ(r.opens, 0);
}

#endif

}  // namespace
}  // namespace tarvik
