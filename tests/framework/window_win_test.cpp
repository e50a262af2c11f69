#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "base/error.h"
#include "framework/application_win.h"
#include "framework/controls_win.h"
#include "framework/form_win.h"
#include "framework/layout.h"
#include "framework/layout_reader.h"
#include "framework/menu.h"
#include "framework/timer_win.h"
#include "support/window_test_support_win.h"

namespace tarvik::fw {
namespace {

using tarvik::testing::BoxRecorder;
using tarvik::testing::Pump;
using tarvik::testing::PumpUntil;
using tarvik::testing::RunLoop;

// A shown form with two edit boxes and a button.
class SmallForm : public Form {
public:
    SmallForm() {
        auto note = [this](const char* what) {
            return [this, what](Component& sender) { events.push_back(sender.Name() + " " + what); };
        };
        Handlers().Add<NotifyEvent>("Enter", note("enter"));
        Handlers().Add<NotifyEvent>("Exit", note("exit"));
        LayoutReader reader(*this, Handlers());
        reader.Read(ParseLayout(R"(
Small : TSmallForm {
    ClientWidth = 200
    ClientHeight = 100
    A : TEdit { Left = 8 Top = 8 Width = 80 Height = 21 OnEnter = Enter OnExit = Exit }
    B : TEdit { Left = 8 Top = 40 Width = 80 Height = 21 OnEnter = Enter OnExit = Exit }
    Go : TButton { Left = 100 Top = 8 Width = 80 Height = 25 }
})"),
                    "TSmallForm");
        a = dynamic_cast<Edit*>(FindComponent("A"));
        b = dynamic_cast<Edit*>(FindComponent("B"));
        go = dynamic_cast<Button*>(FindComponent("Go"));
    }
    Edit* a = nullptr;
    Edit* b = nullptr;
    Button* go = nullptr;
    std::vector<Text> events;
};

TEST(Focus, ExitOfTheOldControlThenEnterOfTheNewOne) {
    SmallForm form;
    form.Show();
    form.a->SetFocus();
    form.events.clear();
    form.b->SetFocus();
    EXPECT_EQ(form.events, (std::vector<Text>{"A exit", "B enter"}));
    EXPECT_EQ(form.ActiveControl(), form.b);

    // Focus leaving for another window and coming back is no exit.
    form.events.clear();
    HWND other = CreateWindowExA(0, "EDIT", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    SetFocus(other);
    form.b->SetFocus();
    DestroyWindow(other);
    EXPECT_TRUE(form.events.empty());
}

TEST(Form, CloseQueryAndCloseDecideTheOutcome) {
    BoxRecorder boxes;
    SmallForm form;  // the main form: its close ends the loop
    ASSERT_EQ(Application::Instance().MainForm(), &form);
    form.Show();

    bool allow = false;
    form.OnCloseQuery = [&](Component&, bool& canClose) { canClose = allow; };
    PostMessageA(form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(RunLoop(200));
    EXPECT_TRUE(IsWindowVisible(form.Handle()));

    allow = true;
    form.OnClose = [](Component&, CloseAction&) { throw Error("Disk full"); };
    PostMessageA(form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(RunLoop(200));
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Disk full.");

    form.OnClose = nullptr;
    PostMessageA(form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(RunLoop());
    EXPECT_TRUE(Application::Instance().Terminated());
    EXPECT_FALSE(IsWindowVisible(form.Handle()));
    EXPECT_FALSE(IsWindowVisible(Application::Instance().Handle()));  // the taskbar button
}

WNDPROC gButtonProc = nullptr;
LRESULT CALLBACK PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(gButtonProc, window, message, wParam, lParam);
}

TEST(Control, SubclassedWindowIsStillFoundAndNotified) {
    SmallForm form;
    int clicks = 0;
    form.go->OnClick = [&](Component&) { ++clicks; };
    HWND button = form.go->Handle();
    gButtonProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PassOn)));
    EXPECT_EQ(Control::FromHandle(button), form.go);
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    EXPECT_EQ(clicks, 1);
    SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gButtonProc));
}

TEST(Application, ProcessMessagesStopsAtTheQuitMessage) {
    PostQuitMessage(0);
    Application::Instance().ProcessMessages();
    EXPECT_TRUE(Application::Instance().Terminated());
}

TEST(Form, CancelModeReachesTheFocusedControl) {
    SmallForm form;
    form.Show();
    form.go->SetFocus();
    SendMessageA(form.go->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_EQ(GetCapture(), form.go->Handle());
    form.CancelMode();
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(Timer, TicksByPeriodAndEnabledState) {
    Component owner;
    Timer timer(&owner);
    int ticks = 0;
    timer.SetOnTimer([&](Component& sender) {
        EXPECT_EQ(&sender, &timer);
        ++ticks;
    });
    EXPECT_TRUE(timer.Ticking());  // enabled with 1000 ms as built
    timer.SetInterval(20);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));

    struct Case {
        bool enabled;
        std::uint32_t interval;
    };
    for (const Case& c : {Case{false, 20}, Case{true, 0}}) {
        timer.SetEnabled(c.enabled);
        timer.SetInterval(c.interval);
        EXPECT_FALSE(timer.Ticking());
        ticks = 0;
        Pump(150);
        EXPECT_EQ(ticks, 0);
    }
    timer.SetInterval(4294966296u);  // held as an unsigned count
    EXPECT_EQ(timer.Interval(), 4294966296u);
    EXPECT_TRUE(timer.Ticking());
}

TEST(Timer, HandlerErrorIsReportedAndTicksGoOn) {
    BoxRecorder boxes;
    Component owner;
    Timer timer(&owner);
    int ticks = 0;
    timer.SetInterval(20);
    timer.SetOnTimer([&](Component&) {
        if (++ticks == 1) throw Error("Tick failed");
    });
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; })) << "ticks go on after the error";
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Tick failed.");
    EXPECT_EQ(boxes.boxes[0].caption, Application::Instance().Title());
    EXPECT_EQ(boxes.boxes[0].style, 0x10u);
}

// Chooses the second item with the keyboard once the menu is open (a slow
// machine may tick before).
void CALLBACK ChooseSecondItem(HWND, UINT, UINT_PTR id, DWORD) {
    HWND popup = FindWindowA("#32768", nullptr);
    if (!popup || !IsWindowVisible(popup)) return;
    KillTimer(nullptr, id);
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageA(popup, WM_KEYDOWN, key, 0);
}

TEST(PopupMenu, PopupRunsTheChosenItem) {
    Component owner;
    PopupMenu menu(&owner);
    MenuItem* items[2] = {new MenuItem(&owner), new MenuItem(&owner)};
    int chosen = -1;
    for (int i = 0; i < 2; ++i) {
        items[i]->SetCaption(i ? "Второй" : "Первый");
        items[i]->SetParentComponent(&menu);
        items[i]->OnClick = [&chosen, i](Component&) { chosen = i; };
    }
    SetTimer(nullptr, 0, 100, &ChooseSecondItem);
    menu.Popup(10, 10);
    EXPECT_EQ(chosen, 1);
}

}  // namespace
}  // namespace tarvik::fw
