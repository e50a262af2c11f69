#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "base/error.h"
#include "framework/application_win.h"
#include "support/function_thread_win.h"
#include "support/http_test_server_win.h"
#include "system/steady_clock_win.h"
#include "system/wide_text_win.h"
#include "monitor/web_probe.h"
#include "settings/inilib.h"
#include "system/steady_clock_win.h"
#include "system/wide_text_win.h"
#include "ui/main_form_win.h"
#include "support/window_test_support_win.h"

namespace tarvik {
namespace {

using namespace std::chrono_literals;
using testing::BoxRecorder;
using testing::FunctionThread;
using testing::HttpTestServer;
using testing::Pump;
using testing::PumpUntil;
using testing::RunLoop;

struct Calls {
    std::vector<Text> addressProbes, webProbes;
    std::vector<std::pair<Text, Text>> alerts;
};

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveSettings(); }
    void TearDown() override {
        form.reset();
        RemoveSettings();
    }

    static void RemoveSettings() {
        RemoveDirectoryW(IniPath().c_str());
        DeleteFileW(IniPath().c_str());
    }
    static void WriteSettings(const std::vector<std::pair<Text, Text>>& keys) {
        for (const auto& [key, value] : keys) IniWriteValue(IniPath(), "SETUP", key, value);
    }
    static Text Saved(const char* key) { return IniReadValue(IniPath(), "SETUP", key); }
    static void WriteFullSettings(const char* status, const char* interval = "7") {
        WriteSettings({{"IP", "127.0.0.1"}, {"HOST", "127.0.0.2/page"}, {"INTERVAL", interval}, {"ACTIONS", "3"},
                       {"COMPUTER", "Desk"}, {"MESSAGE", "Нет связи"}, {"STATUS", status}});
    }

    // Builds the window the way the program does, then starts and at once
    // ends the loop so the window is shown when start-up asked for it.
    void StartWith(MonitorServices services, std::chrono::milliseconds bound = TForm1::kWorkBound) {
        form = std::make_unique<TForm1>(services, bound);
        PostQuitMessage(0);
        fw::Application::Instance().Run();
    }
    // With probes that only count.
    void Start() {
        MonitorServices services;
        services.addressProbe = [this](const Text& target) {
            calls.addressProbes.push_back(target);
            if (addressProbeThrows) throw Error("Probe broke");
            return Text("reply");
        };
        services.webProbe = [this](const Text& url) {
            calls.webProbes.push_back(url);
            return Text();
        };
        services.sendAlert = [this](const Text& computer, const Text& message) {
            calls.alerts.emplace_back(computer, message);
            return true;
        };
        // The steady clock, moved on by the test.
        services.clock = [this] {
            return std::chrono::duration_cast<std::chrono::milliseconds>(fw::SteadyClock::now().time_since_epoch()) +
                   clockShift;
        };
        StartWith(services);
    }
    // With the real web probe (its waits shortened to `wait`), counting its
    // calls.
    void StartWithWebProbe(std::chrono::milliseconds wait, std::chrono::milliseconds bound = TForm1::kWorkBound) {
        MonitorServices services = TForm1::PlatformServices();
        services.webProbe = [this, wait](const Text& url) {
            ++webProbeCalls;
            WebProbeLimits limits;
            limits.connect = limits.send = limits.receive = wait;
            return WebProbe(url, limits);
        };
        StartWith(services, bound);
    }

    bool Shown() const { return IsWindowVisible(form->Handle()) != FALSE; }
    void Click(fw::Control& control) { SendMessageA(control.Handle(), BM_CLICK, 0, 0); }
    // Button1, and the check it started run to its end.
    void CheckNow() {
        Click(*form->Button1);
        ASSERT_TRUE(PumpUntil([&] { return !form->Checking(); }));
    }
    // Focus to `field`, then to another field: `field`'s OnExit runs.
    void Leave(fw::Control& field) {
        field.SetFocus();
        (&field == form->EditMessage ? static_cast<fw::Control*>(form->IPEdit) : form->EditMessage)->SetFocus();
    }

    BoxRecorder boxes;
    Calls calls;
    std::atomic<int> webProbeCalls{0};
    bool addressProbeThrows = false;
    std::chrono::milliseconds clockShift{0};
    std::unique_ptr<TForm1> form;
};

TEST_F(MainFormTest, FirstStartWithoutSettingsFileReportsAndChecksEverySecond) {
    Start();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "'' is not a valid integer value.");
    EXPECT_EQ(boxes.boxes[0].caption, fw::Application::Instance().Title());
    EXPECT_EQ(boxes.boxes[0].style, 0x10u);

    EXPECT_EQ(form->IPEdit->GetText(), "");
    EXPECT_EQ(form->HostEdit->GetText(), "");
    EXPECT_EQ(form->EditInterval->GetText(), "5");
    EXPECT_EQ(form->EditAction->GetText(), "5");
    EXPECT_EQ(form->EditComputer->GetText(), "LocalHost");
    EXPECT_EQ(form->EditMessage->GetText(), "Произошла ошибка.");
    EXPECT_TRUE(form->Status->Checked());
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(form->Timer->Ticking());
    EXPECT_EQ(form->Timer->Interval(), 1000u);

    ASSERT_TRUE(PumpUntil([&] { return !calls.webProbes.empty(); })) << "the first tick";
    EXPECT_EQ(calls.webProbes[0], "");
}

// The check timer ticks from the moment the window is built, so the checks
// already run while the start-up error is on screen.
TEST_F(MainFormTest, ChecksRunWhileTheStartUpErrorIsOpen) {
    std::size_t checksWhileOpen = 0;
    fw::SetMessageBoxHook([&](const fw::MessageBoxRequest&) {
        PumpUntil([&] { return !calls.webProbes.empty(); });
        checksWhileOpen = calls.webProbes.size();
        return IDOK;
    });
    Start();
    EXPECT_GE(checksWhileOpen, 1u);
}

// "Закрыть" in the icon's menu while the start-up error is open: the
// program ends without flashing its window up when the loop starts.
TEST_F(MainFormTest, CloseChosenDuringTheStartUpErrorEndsWithoutShowingTheWindow) {
    fw::SetMessageBoxHook([](const fw::MessageBoxRequest&) {
        dynamic_cast<TForm1&>(*fw::Application::Instance().MainForm()).N1->Click();
        return IDOK;
    });
    Start();
    EXPECT_FALSE(Shown());
    EXPECT_EQ(Saved("INTERVAL"), "5");
    form->Show();
    EXPECT_FALSE(Shown());
}

TEST_F(MainFormTest, SavedStatusDecidesWindowAndTimer) {
    struct Case {
        const char* status;
        bool shown, ticking;
    };
    for (const Case& c : {Case{"1", false, true}, Case{"0", true, false}}) {
        SCOPED_TRACE(c.status);
        WriteFullSettings(c.status);
        Start();
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_EQ(Shown(), c.shown);
        EXPECT_EQ(IsWindowVisible(fw::Application::Instance().Handle()) != FALSE, c.shown);  // taskbar button
        EXPECT_EQ(form->Timer->Ticking(), c.ticking);
        EXPECT_EQ(form->Timer->Interval(), 7000u);
        EXPECT_EQ(form->IPEdit->GetText(), "127.0.0.1");
        EXPECT_EQ(form->Settings().AlertText, "Нет связи");
        if (c.shown) {
            EXPECT_EQ(form->PageControl1->ActivePage(), form->TabSheet3);
            RECT window, desktop;
            GetWindowRect(form->Handle(), &window);
            SystemParametersInfoA(SPI_GETWORKAREA, 0, &desktop, 0);
            EXPECT_NEAR(window.left + window.right, desktop.left + desktop.right, 2);
            EXPECT_NEAR(window.top + window.bottom, desktop.top + desktop.bottom, 2);
            RECT client;
            GetClientRect(form->Handle(), &client);
            EXPECT_EQ(client.right, 219);
            EXPECT_EQ(client.bottom, 312);
        }
        form.reset();
        RemoveSettings();
    }
}

TEST_F(MainFormTest, LoadFailureAtThresholdKeepsTimerFromInterval) {
    WriteSettings({{"IP", "10.0.0.9"}, {"HOST", ""}, {"INTERVAL", "3"}, {"ACTIONS", "x"}, {"STATUS", "0"}});
    Start();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "'x' is not a valid integer value.");
    EXPECT_EQ(form->Timer->Interval(), 3000u);
    EXPECT_TRUE(form->Timer->Ticking());
    EXPECT_TRUE(Shown());
    EXPECT_EQ(form->EditInterval->GetText(), "3");
    EXPECT_EQ(form->EditAction->GetText(), "5");
    EXPECT_EQ(form->EditComputer->GetText(), "LocalHost");
    EXPECT_EQ(form->Settings().AlertThreshold, 0);
    EXPECT_EQ(form->Settings().AlertComputer, "");
    EXPECT_TRUE(form->Status->Checked());  // STATUS was never read
}

TEST_F(MainFormTest, LeavingAFieldAppliesAllSixAndRestartsTheTimer) {
    WriteFullSettings("0");
    Start();
    ASSERT_FALSE(form->Timer->Ticking());
    form->IPEdit->SetText(" 10.1.1.1 ");
    form->HostEdit->SetText("127.0.0.3/x");
    form->EditInterval->SetText("2");
    form->EditAction->SetText("abc");
    form->EditComputer->SetText("");
    form->EditMessage->SetText("Тест ");
    Leave(*form->EditAction);

    const MonitorSettings& s = form->Settings();
    EXPECT_EQ(s.ProbeAddress, " 10.1.1.1 ");
    EXPECT_EQ(s.ProbeUrl, "127.0.0.3/x");
    EXPECT_EQ(s.IntervalSeconds, 2);
    EXPECT_EQ(s.AlertThreshold, 0);
    EXPECT_EQ(s.AlertComputer, "");
    EXPECT_EQ(s.AlertText, "Тест ");
    EXPECT_TRUE(form->Timer->Ticking());  // even with Status clear
    EXPECT_EQ(form->Timer->Interval(), 2000u);
    EXPECT_FALSE(form->Status->Checked());
}

TEST_F(MainFormTest, SpinFieldsStepWithTheirKeysApplyOnLeavingAndSaveOnClose) {
    WriteFullSettings("0");
    Start();
    form->Show();
    auto key = [](fw::Control& field, WPARAM code) {
        PostMessageA(field.Handle(), WM_KEYDOWN, code, 1);
        PostMessageA(field.Handle(), WM_KEYUP, code, 0xC0000001);
        Pump(30);
    };
    form->PageControl1->SetActivePage(form->TabSheet2);
    form->EditInterval->SetFocus();
    key(*form->EditInterval, VK_UP);
    key(*form->EditInterval, VK_UP);
    EXPECT_EQ(form->EditInterval->GetText(), "9");
    form->EditAction->SetFocus();  // leaving the interval applies the settings
    EXPECT_EQ(form->Timer->Interval(), 9000u);
    key(*form->EditAction, VK_DOWN);
    EXPECT_EQ(form->EditAction->GetText(), "2");
    // The upper half of the field's diagonal button.
    const HWND host = form->EditAction->Host()->Handle();
    SendMessageA(host, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageA(host, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    EXPECT_EQ(form->EditAction->GetText(), "3");
    PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(RunLoop());
    EXPECT_EQ(Saved("INTERVAL"), "9");
    EXPECT_EQ(Saved("ACTIONS"), "3");
}

// A pasted line break would make a second line that the field shows but does
// not read: the interval would become 0 and the timer would stop for good.
TEST_F(MainFormTest, APastedLineBreakKeepsTheIntervalFieldToItsFirstLine) {
    WriteFullSettings("0");
    Start();
    ASSERT_TRUE(OpenClipboard(form->Handle()));
    EmptyClipboard();
    const char pasted[] = "10\r\n20";
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof pasted);
    std::memcpy(GlobalLock(memory), pasted, sizeof pasted);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();

    const HWND field = form->EditInterval->Handle();
    form->EditInterval->SetFocus();
    SendMessageA(field, EM_SETSEL, 0, -1);
    SendMessageA(field, WM_PASTE, 0, 0);
    EXPECT_EQ(form->EditInterval->GetText(), "10");
    EXPECT_EQ(SendMessageA(field, EM_GETLINECOUNT, 0, 0), 1);
    Leave(*form->EditInterval);
    EXPECT_EQ(form->Settings().IntervalSeconds, 10);
    EXPECT_EQ(form->Timer->Interval(), 10000u);
}

TEST_F(MainFormTest, TimerPeriodIsIntervalTimesThousandModulo2To32) {
    WriteFullSettings("0");
    Start();
    struct Case {
        const char* seconds;
        std::uint32_t period;
        bool ticking;
    };
    for (const Case& c : {Case{"0", 0u, false}, Case{"-1", 4294966296u, true}, Case{"5000000", 705032704u, true},
                          Case{"1", 1000u, true}}) {
        SCOPED_TRACE(c.seconds);
        form->EditInterval->SetText(c.seconds);
        Leave(*form->EditInterval);
        EXPECT_EQ(form->Timer->Interval(), c.period);
        EXPECT_EQ(form->Timer->Ticking(), c.ticking);
    }
    form->EditInterval->SetText("0");
    Leave(*form->EditInterval);
    calls.addressProbes.clear();
    Pump(300);
    EXPECT_TRUE(calls.addressProbes.empty());
}

TEST_F(MainFormTest, Button1ChecksThenSetsTimerByStatus) {
    WriteFullSettings("0");
    Start();
    Leave(*form->IPEdit);  // the timer runs although Status is clear
    ASSERT_TRUE(form->Timer->Ticking());
    CheckNow();
    ASSERT_EQ(calls.addressProbes.size(), 1u);
    EXPECT_EQ(calls.addressProbes[0], "127.0.0.1");
    EXPECT_FALSE(form->Timer->Ticking());

    Click(*form->Status);  // the user ticks the box: the timer follows
    EXPECT_TRUE(form->Status->Checked());
    EXPECT_TRUE(form->Timer->Ticking());
    CheckNow();
    EXPECT_TRUE(form->Timer->Ticking());
}

TEST_F(MainFormTest, StatisticsLabelsFollowTheChecks) {
    WriteSettings({{"IP", ""}, {"HOST", "127.0.0.2/"}, {"INTERVAL", "0"}, {"ACTIONS", "2"}, {"STATUS", "0"}});
    Start();
    for (int i = 0; i < 3; ++i) CheckNow();
    EXPECT_EQ(calls.webProbes.size(), 3u);
    EXPECT_EQ(calls.alerts.size(), 1u);
    EXPECT_EQ(form->TProverok->Caption(), "Проверок: 3");
    EXPECT_EQ(form->TUspeh->Caption(), "Успешных: 0");
    EXPECT_EQ(form->TNeud->Caption(), "Неудачи подряд: 1");
    EXPECT_EQ(form->TUshloMes->Caption(), "Ушло сообщений: 1");
}

TEST_F(MainFormTest, Button4SendsEvenWithEmptyComputerName) {
    WriteSettings({{"IP", ""}, {"HOST", ""}, {"INTERVAL", "5"}, {"ACTIONS", "5"}, {"COMPUTER", ""},
                   {"MESSAGE", "Проверка"}, {"STATUS", "0"}});
    Start();
    Click(*form->Button4);
    ASSERT_TRUE(PumpUntil([&] { return !form->TestAlertUnderWay(); }));
    ASSERT_EQ(calls.alerts.size(), 1u);
    EXPECT_EQ(calls.alerts[0], std::make_pair(Text(""), Text("Проверка")));
    EXPECT_EQ(form->Counters().MessageCount, 0);
}

TEST_F(MainFormTest, CloseWhileMonitoringOnlyHides) {
    WriteFullSettings("1");
    Start();
    form->Show();
    form->IPEdit->SetText("changed");
    PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(RunLoop(300));  // the loop goes on
    EXPECT_FALSE(Shown());
    EXPECT_TRUE(form->Timer->Ticking());
    EXPECT_EQ(Saved("IP"), "127.0.0.1");
}

TEST_F(MainFormTest, RealCloseSavesTrimmedFieldsAndEnds) {
    struct Case {
        const char* name;
        const char* status;
        bool throughMenu;
    };
    for (const Case& c : {Case{"close button, Status clear", "0", false}, Case{"menu, Status ticked", "1", true}}) {
        SCOPED_TRACE(c.name);
        WriteFullSettings(c.status);
        Start();
        form->IPEdit->SetText("  10.2.2.2\t");
        form->EditInterval->SetText("12");
        form->EditMessage->SetText(" Сбой ");
        if (c.throughMenu)
            form->N1->Click();
        else
            PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(RunLoop());
        EXPECT_EQ(Saved("IP"), "10.2.2.2");
        EXPECT_EQ(Saved("HOST"), "127.0.0.2/page");
        EXPECT_EQ(Saved("INTERVAL"), "12");
        EXPECT_EQ(Saved("MESSAGE"), "Сбой");
        EXPECT_EQ(Saved("STATUS"), c.status);
        form.reset();
        RemoveSettings();
    }
}

TEST_F(MainFormTest, RefusedWriteKeepsProgramRunningWithTheWindowAsItWas) {
    struct Case {
        const char* name;
        const char* status;
        bool throughMenu;
    };
    for (const Case& c : {Case{"close button, shown", "0", false}, Case{"menu, hidden", "1", true}}) {
        SCOPED_TRACE(c.name);
        WriteFullSettings(c.status);
        Start();
        const bool shown = Shown();
        RemoveSettings();
        ASSERT_TRUE(CreateDirectoryW(IniPath().c_str(), nullptr));  // no file can be written there
        if (c.throughMenu) {
            try {
                form->N1->Click();
            } catch (...) {
                // Where the icon's window procedure reports it.
                fw::Application::Instance().HandleCurrentException();
            }
        } else {
            PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
        }
        EXPECT_FALSE(RunLoop(300));
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, "Unable to write to " + fw::Narrow(IniPath()) + ".");
        EXPECT_EQ(Shown(), shown);
        EXPECT_EQ(form->ExitRequested, c.throughMenu) << "keeps its value";
        EXPECT_EQ(form->Timer->Ticking(), form->Status->Checked()) << "the timer as it was";
        boxes.boxes.clear();
        form.reset();
        RemoveSettings();
    }
}

TEST_F(MainFormTest, SessionEndQueryAgreesAndLaterCloseEnds) {
    WriteFullSettings("1");
    Start();
    EXPECT_EQ(SendMessageA(form->Handle(), WM_QUERYENDSESSION, 0, 0), 1);
    EXPECT_TRUE(form->ExitRequested);
    EXPECT_FALSE(RunLoop(200));  // no close request of its own
    PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(RunLoop());
    EXPECT_EQ(Saved("STATUS"), "1");
}

// While monitoring, the end of the session is how the program usually ends.
TEST_F(MainFormTest, SessionEndSavesTheFieldsAsTheyStandACancelledOneNothing) {
    struct Case {
        const char* name;
        BOOL ends;
        bool writable;
        const char* savedIp;  // null: nothing can be read back
    };
    for (const Case& c : {Case{"ends", TRUE, true, "10.3.3.3"}, Case{"ends, write refused", TRUE, false, nullptr},
                          Case{"cancelled", FALSE, true, "127.0.0.1"}}) {
        SCOPED_TRACE(c.name);
        WriteFullSettings("1");
        Start();
        form->IPEdit->SetText(" 10.3.3.3 ");
        SendMessageA(form->Handle(), WM_QUERYENDSESSION, 0, 0);
        if (!c.writable) {
            RemoveSettings();
            ASSERT_TRUE(CreateDirectoryW(IniPath().c_str(), nullptr));
        }
        SendMessageA(form->Handle(), WM_ENDSESSION, c.ends, 0);
        EXPECT_EQ(c.ends ? RunLoop() : RunLoop(300), c.ends != FALSE) << "the loop ends with the session";
        EXPECT_TRUE(boxes.boxes.empty()) << "nobody could answer a box";
        if (c.savedIp) {
            EXPECT_EQ(Saved("IP"), c.savedIp);
        }
        if (!c.ends) {
            EXPECT_FALSE(Shown());
            EXPECT_TRUE(form->Timer->Ticking());
        }
        form.reset();
        RemoveSettings();
    }
}

// The settings file gives back at most 2047 characters of a value.
TEST_F(MainFormTest, TextFieldsTakeAtMost2047Characters) {
    WriteFullSettings("0");
    Start();
    for (fw::Edit* field : {form->IPEdit, form->HostEdit, form->EditComputer, form->EditMessage}) {
        SCOPED_TRACE(field->Name());
        field->SetText(Text(2046, 'a'));
        const HWND window = field->Handle();
        SendMessageA(window, EM_SETSEL, 2046, 2046);
        SendMessageA(window, WM_CHAR, 'b', 0);
        EXPECT_EQ(field->GetText(), Text(2046, 'a') + "b");
        SendMessageA(window, WM_CHAR, 'c', 0);
        EXPECT_EQ(field->GetText().size(), 2047u) << "the 2048th is refused";
    }
}

TEST_F(MainFormTest, ExceptionInHandlerIsReportedAndProgramGoesOn) {
    WriteFullSettings("0");
    Start();
    addressProbeThrows = true;
    CheckNow();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Probe broke.");
    EXPECT_EQ(boxes.boxes[0].caption, fw::Application::Instance().Title());
    EXPECT_EQ(boxes.boxes[0].style, 0x10u);
    addressProbeThrows = false;
    CheckNow();
    EXPECT_EQ(calls.addressProbes.size(), 2u);
    EXPECT_TRUE(Shown());
}

TEST_F(MainFormTest, TabKeyFollowsTheLayoutsTabOrder) {
    WriteFullSettings("0");
    Start();
    form->HostEdit->SetFocus();
    const auto tab = [] {
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        Pump(20);
        return GetFocus();
    };
    EXPECT_EQ(tab(), form->Status->Handle());
    EXPECT_EQ(tab(), form->IPEdit->Handle());
    EXPECT_EQ(tab(), form->PageControl1->Handle());
    EXPECT_EQ(tab(), form->HostEdit->Handle());  // the help page has no field

    // Into the settings page: frames in their order, fields in theirs.
    form->PageControl1->SetActivePage(form->TabSheet2);
    form->PageControl1->SetFocus();
    EXPECT_EQ(tab(), form->EditAction->Handle());
    EXPECT_EQ(tab(), form->EditInterval->Handle());
    EXPECT_EQ(tab(), form->EditComputer->Handle());
    EXPECT_EQ(tab(), form->EditMessage->Handle());
}

TEST_F(MainFormTest, ControlsPaintInTheirColours) {
    WriteFullSettings("0");
    Start();
    struct Case {
        const char* name;
        fw::Control* control;
        UINT message;
        COLORREF background, text;
    };
    const COLORREF field = RGB(225, 255, 255), white = RGB(255, 255, 255), face = GetSysColor(COLOR_BTNFACE);
    const Case cases[] = {
        {"IPEdit", form->IPEdit, WM_CTLCOLOREDIT, field, RGB(0, 0, 0)},
        {"EditMessage", form->EditMessage, WM_CTLCOLOREDIT, field, RGB(0, 0, 0)},
        {"Status", form->Status, WM_CTLCOLORSTATIC, white, RGB(255, 0, 0)},
        {"Label5", form->Label5, WM_CTLCOLORSTATIC, white, RGB(0, 0, 0)},
        {"TProverok", form->TProverok, WM_CTLCOLORSTATIC, face, RGB(0, 0, 0)},
        {"GroupBox1", form->GroupBox1, WM_CTLCOLORSTATIC, white, RGB(0, 0, 0)},
        {"Label6", form->Label6, WM_CTLCOLORSTATIC, white, RGB(0, 0, 0)},
    };
    HDC dc = GetDC(form->Handle());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The parent answers for its child, as the system asks it to.
        const auto brush = reinterpret_cast<HBRUSH>(
            SendMessageA(GetParent(c.control->Handle()), c.message, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(c.control->Handle())));
        LOGBRUSH description{};
        ASSERT_TRUE(GetObjectA(brush, sizeof description, &description));
        EXPECT_EQ(description.lbColor, c.background);
        EXPECT_EQ(GetBkColor(dc), c.background);
        EXPECT_EQ(GetTextColor(dc), c.text);
    }
    ReleaseDC(form->Handle(), dc);
}

TEST_F(MainFormTest, StatisticsLabelsGrowWithTheirText) {
    WriteFullSettings("0");
    Start();
    const int width = form->TNeud->Width();
    form->TNeud->SetCaption("Неудачи подряд: 2147483647");
    EXPECT_GT(form->TNeud->Width(), width);
    RECT bounds;
    GetWindowRect(form->TNeud->Handle(), &bounds);
    EXPECT_EQ(bounds.right - bounds.left, form->TNeud->Width());
    EXPECT_EQ(form->TNeud->Left(), 32);
}

// ---- while a check is under way ----------------------------------------

using Clock = fw::SteadyClock;

// Waits on a thread without windows until `reached` holds.
bool Until(const std::function<bool()>& reached) {
    const auto limit = Clock::now() + std::chrono::milliseconds(testing::kStateWait);
    while (!reached()) {
        if (Clock::now() > limit) return false;
        Sleep(1);
    }
    return true;
}

// How long a sent message took to be answered; a minute when it was not.
Clock::duration Answer(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, LRESULT* result = nullptr) {
    const auto start = Clock::now();
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 10000, &answer)) return 60s;
    if (result) *result = static_cast<LRESULT>(answer);
    return Clock::now() - start;
}

// A server that takes the request and says nothing: the check is under way
// on its worker and the window goes on answering, while a tick or a press
// of Button1 starts no second check.
TEST_F(MainFormTest, DuringACheckTheWindowAnswersAndTicksAndPressesAreDropped) {
    HttpTestServer server("127.0.0.41", HttpTestServer::Mode::Silent);
    // Monitoring on (the timer's ticks count), but no tick of its own within the test.
    WriteSettings({{"IP", ""}, {"HOST", "127.0.0.41/"}, {"INTERVAL", "3600"}, {"ACTIONS", "0"}, {"STATUS", "1"}});
    StartWithWebProbe(10s);
    std::atomic<bool> userDone{false};
    Clock::duration slowest{};
    LRESULT sessionAnswer = 0;
    int probesDuringTheCheck = 0;
    FunctionThread user([&] {
        if (Until([&] { return webProbeCalls > 0; })) {
            char text[64];
            for (int i = 0; i < 10; ++i) {
                slowest = std::max({slowest, Answer(form->Handle(), WM_NULL),
                                    Answer(form->TProverok->Handle(), WM_GETTEXT, sizeof text,
                                           reinterpret_cast<LPARAM>(text))});
            }
            Answer(form->Handle(), WM_QUERYENDSESSION, 0, 0, &sessionAnswer);
            Answer(form->Button1->Handle(), BM_CLICK);
            Answer(form->Timer->WindowHandleOrNull(), WM_TIMER, 1);  // the check timer's tick
            probesDuringTheCheck = webProbeCalls;
        }
        userDone = true;
    });
    const auto start = Clock::now();
    Click(*form->Button1);
    EXPECT_LT(Clock::now() - start, 2s) << "the press returns at once";
    ASSERT_TRUE(PumpUntil([&] { return userDone.load(); }));
    const bool stillChecking = form->Checking();
    user.Join();

    EXPECT_TRUE(stillChecking) << "all of it came while the check was under way";
    EXPECT_LT(slowest, 2s) << std::chrono::duration_cast<std::chrono::milliseconds>(slowest).count() << " ms";
    EXPECT_EQ(sessionAnswer, 1);
    EXPECT_EQ(probesDuringTheCheck, 1);
    ASSERT_TRUE(PumpUntil([&] { return !form->Checking(); }));
    EXPECT_EQ(webProbeCalls, 1);
    EXPECT_EQ(form->Counters().CheckCount, 1);
    EXPECT_EQ(form->Counters().FailStreak, 1);
    EXPECT_EQ(form->TProverok->Caption(), "Проверок: 1");
}

// The icon's menu is open when a tick starts a check: the menu goes on
// working, and "Закрыть" chosen while the check is under way ends the
// program at once, saved; the check counts nothing, and an answer that
// comes later changes nothing.
TEST_F(MainFormTest, CloseInTheIconsMenuDuringACheckStartedUnderItEndsAtOnce) {
    struct Case {
        const char* name;
        HttpTestServer::Mode mode;
    };
    for (const Case& c : {Case{"answers late", HttpTestServer::Mode::Answer},
                          Case{"never answers", HttpTestServer::Mode::Silent}}) {
        SCOPED_TRACE(c.name);
        HttpTestServer server("127.0.0.43", c.mode, HttpTestServer::Reply("200 OK", "up"), 3s);
        WriteSettings({{"IP", ""}, {"HOST", "127.0.0.43/"}, {"INTERVAL", "3600"}, {"ACTIONS", "0"},
                       {"MESSAGE", "Нет связи"}, {"STATUS", "1"}});
        webProbeCalls = 0;
        StartWithWebProbe(20s);
        form->EditMessage->SetText("Сбой связи");  // saved as it stands
        Clock::time_point chosen{};
        FunctionThread user([&] {
            const HWND tray = form->TrayIcon1->MessageWindowHandle();
            PostMessageA(tray, kTrayCallbackMessage, 0, WM_RBUTTONDOWN);
            PostMessageA(tray, kTrayCallbackMessage, 0, WM_RBUTTONUP);
            HWND menu = nullptr;
            if (!Until([&] { return (menu = FindWindowA("#32768", nullptr)) && IsWindowVisible(menu); })) return;
            PostMessageA(form->Timer->WindowHandleOrNull(), WM_TIMER, 1, 0);  // a tick under the menu
            if (!Until([&] { return webProbeCalls > 0; })) return;
            chosen = Clock::now();
            PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        });
        EXPECT_TRUE(RunLoop()) << "the program ended";
        const auto ended = Clock::now();
        user.Join();

        ASSERT_NE(chosen, Clock::time_point{}) << "a check started under the open menu";
        EXPECT_LT(ended - chosen, 2s) << std::chrono::duration_cast<std::chrono::milliseconds>(ended - chosen).count()
                                      << " ms";
        EXPECT_TRUE(form->ExitRequested);
        EXPECT_EQ(Saved("MESSAGE"), "Сбой связи");
        if (c.mode == HttpTestServer::Mode::Answer) {
            // The late answer reaches a worker that nobody waits for.
            EXPECT_TRUE(PumpUntil([&] { return server.BytesSent() > 0; }));
            Pump(100);
        }
        EXPECT_FALSE(form->Checking());
        EXPECT_EQ(form->Counters().CheckCount, 0);
        EXPECT_EQ(form->TProverok->Caption(), "Проверок: 0");
        form.reset();
        RemoveSettings();
    }
}

// Headers a byte at a time, never ending: no time-out of WinINet's ends the
// request, the hard bound ends the check, and the next check sends its own
// request (a connection that this one-connection server leaves unanswered).
TEST_F(MainFormTest, HeadersTrickledForEverEndTheCheckAtTheBound) {
    HttpTestServer server("127.0.0.42", HttpTestServer::Mode::Trickle, "", 100ms);
    WriteSettings({{"IP", ""}, {"HOST", "127.0.0.42/"}, {"INTERVAL", "0"}, {"ACTIONS", "0"}, {"STATUS", "0"}});
    const auto bound = 2s;
    StartWithWebProbe(1s, bound);
    const auto start = Clock::now();
    CheckNow();
    const auto first = Clock::now() - start;
    CheckNow();

    EXPECT_GE(first, bound);
    EXPECT_LT(first, bound + 10s);
    EXPECT_EQ(webProbeCalls, 2) << "the second check tried for itself";
    EXPECT_EQ(form->Counters().CheckCount, 2);
    EXPECT_EQ(form->Counters().FailStreak, 2);
    EXPECT_EQ(form->Counters().SuccessCount, 0);
}

// Wine sends no power notices: the test sends them as Windows does, to
// every top-level window or to the form.
TEST_F(MainFormTest, PowerNoticesStopTheChecksForASleepAndGiveTheWakeItsGrace) {
    // Monitoring on, but no tick of the timer's own within the test.
    WriteSettings({{"IP", ""}, {"HOST", "127.0.0.2/"}, {"INTERVAL", "3600"}, {"ACTIONS", "2"}, {"STATUS", "1"}});
    Start();
    CheckNow();
    ASSERT_EQ(form->Counters().FailStreak, 1);
    const auto notice = [&](WPARAM event) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(HWND_BROADCAST, WM_POWERBROADCAST, event, 0, SMTO_ABORTIFHUNG, 5000, &answer);
        return SendMessageW(form->Handle(), WM_POWERBROADCAST, event, 0);
    };
    EXPECT_EQ(notice(PBT_APMQUERYSUSPEND), TRUE) << "a sleep is never refused";
    notice(PBT_APMSUSPEND);
    Click(*form->Button1);
    EXPECT_FALSE(form->Checking()) << "no check while the computer sleeps";
    EXPECT_EQ(calls.webProbes.size(), 1u);

    notice(PBT_APMRESUMEAUTOMATIC);
    notice(PBT_APMRESUMESUSPEND);
    CheckNow();
    CheckNow();
    EXPECT_EQ(form->Counters().CheckCount, 3);
    EXPECT_EQ(form->Counters().FailStreak, 1) << "failures just after the wake wait";
    EXPECT_EQ(form->TNeud->Caption(), "Неудачи подряд: 1");
    EXPECT_EQ(form->TProverok->Caption(), "Проверок: 3");

    clockShift += CheckCycle::kWakeGrace;
    CheckNow();
    EXPECT_EQ(form->Counters().MessageCount, 1) << "the outage is reported after the grace";
    EXPECT_EQ(form->Counters().FailStreak, 0);

    // A tick long overdue: the computer slept without a word.
    clockShift += std::chrono::milliseconds(form->Timer->Interval()) + CheckCycle::kOverdueTick + 1s;
    PostMessageW(form->Timer->WindowHandleOrNull(), WM_TIMER, 1, 0);
    ASSERT_TRUE(PumpUntil([&] { return form->Counters().CheckCount == 5 && !form->Checking(); }));
    CheckNow();
    EXPECT_EQ(form->Counters().FailStreak, 0) << "the overdue tick began a grace";
}

// ---- on a Windows of any language ------------------------------------------
// These run again under an English (1252) and a Chinese (936) locale.

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

// What a user reads, through the calls that give the texts as shown.
TEST_F(MainFormTest, TheWindowTheTabsAndTheIconsMenuReadInRussian) {
    WriteFullSettings("0");
    Start();
    EXPECT_EQ(WindowText(form->Handle()), L"Тарвик");
    EXPECT_EQ(WindowText(form->Status->Handle()), L"Таймер запущен.");
    EXPECT_EQ(WindowText(form->TNeud->Handle()), L"Неудачи подряд: 0");
    EXPECT_EQ(WindowText(form->Button4->Handle()), L"Проверить сообщение.");
    EXPECT_EQ(WindowText(form->EditMessage->Handle()), L"Нет связи");  // from the file
    EXPECT_EQ(WindowText(form->Label6->Handle()).substr(0, 26), L"Проверяет наличие связи \r\n");
    const HWND tabs = form->PageControl1->Handle();
    std::wstring captions;
    for (int i = 0; i < 3; ++i) {
        wchar_t caption[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption;
        item.cchTextMax = 64;
        SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        captions += caption + std::wstring(L" ");
    }
    EXPECT_EQ(captions, L"Статистика Настройки Помощь ");
    // A face with Cyrillic letters, whatever the system's own set.
    const HDC screen = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(screen, form->TNeud->GetFont().Handle());
    EXPECT_EQ(GetTextCharset(screen), RUSSIAN_CHARSET);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);

    std::wstring item;
    std::atomic<bool> done{false};
    FunctionThread user([&] {
        PostMessageA(form->TrayIcon1->MessageWindowHandle(), kTrayCallbackMessage, 0, WM_RBUTTONDOWN);
        PostMessageA(form->TrayIcon1->MessageWindowHandle(), kTrayCallbackMessage, 0, WM_RBUTTONUP);
        HWND menu = nullptr;
        if (!Until([&] { return (menu = FindWindowA("#32768", nullptr)) && IsWindowVisible(menu); })) {
            done = true;
            return;
        }
        const auto handle = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
        wchar_t text[64] = {};
        GetMenuStringW(handle, 0, text, 64, MF_BYPOSITION);
        item = text;
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        done = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }));
    user.Join();
    EXPECT_EQ(item, L"Закрыть");
}

// Typed and pasted Cyrillic reaches the settings and the file as
// Windows-1251.
TEST_F(MainFormTest, CyrillicTypedOrPastedIsSavedAsWindows1251) {
    WriteFullSettings("0");
    Start();
    form->Show();
    form->EditMessage->SetText("");
    form->EditMessage->SetFocus();
    for (wchar_t c : std::wstring(L"Связь")) PostMessageW(form->EditMessage->Handle(), WM_CHAR, c, 1);
    EXPECT_TRUE(PumpUntil([&] { return form->EditMessage->GetText() == "Связь"; }));

    ASSERT_TRUE(OpenClipboard(form->Handle()));
    EmptyClipboard();
    const wchar_t pasted[] = L"ПОСТ-1";
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof pasted);
    std::memcpy(GlobalLock(memory), pasted, sizeof pasted);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
    form->EditComputer->SetText("");
    SendMessageW(form->EditComputer->Handle(), WM_PASTE, 0, 0);
    Leave(*form->EditComputer);
    EXPECT_EQ(form->Settings().AlertText, "Связь");
    EXPECT_EQ(form->Settings().AlertComputer, "ПОСТ-1");

    PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(RunLoop());
    std::ifstream in(IniPath().c_str(), std::ios::binary);
    const Text file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_NE(file.find("\r\nCOMPUTER=ПОСТ-1\r\nMESSAGE=Связь\r\n"), Text::npos) << file;
}

// A dropped port (the listener's queue is full, so the connection request
// goes unanswered): WinINet does not keep its connect time-out under Wine,
// yet the check fails at it, well before the bound; once the server answers
// again, the next check gets through.
TEST_F(MainFormTest, ADroppedConnectFailsAtTheConnectTimeOutAndTheNextCheckGetsThrough) {
    testing::StalledListener server("127.0.0.45");
    WriteSettings({{"IP", ""}, {"HOST", "127.0.0.45/"}, {"INTERVAL", "0"}, {"ACTIONS", "0"}, {"STATUS", "0"}});
    StartWith(TForm1::PlatformServices());
    const auto start = Clock::now();
    CheckNow();
    const auto first = Clock::now() - start;
    EXPECT_GE(first, WebProbeLimits().connect);
    EXPECT_LT(first, TForm1::kWorkBound - 5s) << std::chrono::duration_cast<std::chrono::milliseconds>(first).count();
    EXPECT_EQ(form->Counters().FailStreak, 1);

    server.Answer(HttpTestServer::Reply("200 OK", "up"));
    CheckNow();
    EXPECT_EQ(form->Counters().CheckCount, 2);
    EXPECT_EQ(form->Counters().SuccessCount, 1);
    EXPECT_EQ(form->Counters().FailStreak, 0);
}

}  // namespace
}  // namespace tarvik
