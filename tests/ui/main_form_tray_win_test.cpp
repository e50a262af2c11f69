// The icon on the main window: built from the window's layout, animated by
// the checks, bringing the hidden window back, and ending the program from
// its menu.
#include <gtest/gtest.h>

#include <memory>

#include "framework/application_win.h"
#include "support/window_test_support_win.h"
#include "settings/inilib.h"
#include "support/tray_test_support_win.h"
#include "ui/main_form_win.h"

namespace tarvik {
namespace {

using testing::ShellRecorder;

class TrayWiringTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteFileW(IniPath().c_str());
        // Monitoring on: the window starts hidden, in the notification area only.
        const std::pair<const char*, const char*> keys[] = {
            {"IP", ""},          {"HOST", "127.0.0.9/"}, {"INTERVAL", "3600"}, {"ACTIONS", "1000"},
            {"COMPUTER", "Desk"}, {"MESSAGE", "Нет связи"}, {"STATUS", "1"},
        };
        for (const auto& [key, value] : keys) IniWriteValue(IniPath(), "SETUP", key, value);

        MonitorServices services;
        services.webProbe = [this](const Text&) { return reachable ? Text("reply") : Text(); };
        services.addressProbe = services.webProbe;
        services.sendAlert = [](const Text&, const Text&) { return true; };
        form = std::make_unique<TForm1>(services);
        PostQuitMessage(0);
        fw::Application::Instance().Run();
    }
    void TearDown() override {
        form.reset();
        DeleteFileW(IniPath().c_str());
    }

    void Check(bool reach) {
        reachable = reach;
        SendMessageA(form->Button1->Handle(), BM_CLICK, 0, 0);
        ASSERT_TRUE(tarvik::testing::PumpUntil([&] { return !form->Checking(); }));
    }
    void Notice(UINT mouseMessage) {
        PostMessageA(form->TrayIcon1->MessageWindowHandle(), kTrayCallbackMessage, 0, mouseMessage);
    }
    bool Shown() const { return IsWindowVisible(form->Handle()) != FALSE; }

    ShellRecorder shell;
    std::unique_ptr<TForm1> form;
    bool reachable = false;
};

TEST_F(TrayWiringTest, TheLayoutPutsTheStillIconInTheTrayAtStart) {
    TTrayIcon& tray = *form->TrayIcon1;
    EXPECT_FALSE(Shown());
    EXPECT_TRUE(tray.IconShown());
    EXPECT_EQ(tray.Icon().SaveToImage(), tarvik::testing::StillIconImage());
    EXPECT_EQ(tray.Icons().WriteIcons(), tarvik::testing::StoredFrames());
    EXPECT_EQ(tray.PopupMenu(), form->PopupMenu1);
    EXPECT_EQ(tray.Hint(), "");
    EXPECT_EQ(tray.Interval(), 150);
    EXPECT_FALSE(tray.Animated());
    const auto requests = shell.Take();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().record.hIcon, tray.Icon().Handle());
}

TEST_F(TrayWiringTest, AFailingCheckStartsTheAnimationAndASuccessStopsIt) {
    Check(false);
    EXPECT_TRUE(form->TrayIcon1->Animated());
    Check(false);
    EXPECT_TRUE(form->TrayIcon1->Animated());
    Check(true);
    EXPECT_FALSE(form->TrayIcon1->Animated());
    const auto requests = shell.Take();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().record.hIcon, form->TrayIcon1->Icon().Handle()) << "the still icon again";
}

TEST_F(TrayWiringTest, AReleaseOverTheIconShowsTheHiddenWindow) {
    for (UINT release : {WM_LBUTTONUP, WM_MBUTTONUP}) {
        form->Hide();
        ASSERT_FALSE(Shown());
        Notice(release);
        tarvik::testing::Pump();
        EXPECT_TRUE(Shown());
    }
}

TEST_F(TrayWiringTest, AReleaseLeavesAWindowMinimisedThroughItsTaskbarButtonAsItIs) {
    form->Show();
    const HWND application = fw::Application::Instance().Handle();
    ShowWindow(application, SW_MINIMIZE);
    // Windows hides the windows a minimised window owns; Wine leaves them.
    if (Shown()) ShowOwnedPopups(application, FALSE);
    tarvik::testing::Pump();
    ASSERT_TRUE(IsIconic(application));
    ASSERT_FALSE(Shown());
    Notice(WM_LBUTTONUP);
    tarvik::testing::Pump();
    EXPECT_TRUE(IsIconic(application));
    EXPECT_FALSE(Shown()) << "not shown beside a minimised taskbar button";
}

// What a second start of the program asks for: unlike the icon's release,
// the window comes back from its minimised taskbar button too.
TEST_F(TrayWiringTest, ASecondStartRestoresAMinimisedWindow) {
    form->Show();
    const HWND application = fw::Application::Instance().Handle();
    ShowWindow(application, SW_MINIMIZE);
    if (Shown()) ShowOwnedPopups(application, FALSE);  // as Windows does
    tarvik::testing::Pump();
    ASSERT_TRUE(IsIconic(application));
    form->BringToFront();
    tarvik::testing::Pump();
    EXPECT_FALSE(IsIconic(application));
    EXPECT_TRUE(Shown());
    EXPECT_EQ(GetForegroundWindow(), form->Handle());
}

// Runs inside the menu's loop: picks the first item ("Закрыть") once the
// menu is up (a slow machine may tick before).
void CALLBACK ChooseFirstItem(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND menu = FindWindowA("#32768", nullptr);
    if (!menu || !IsWindowVisible(menu)) return;
    KillTimer(nullptr, timer);
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
}

TEST_F(TrayWiringTest, CloseInTheIconsMenuSavesAndEndsTheProgram) {
    form->IPEdit->SetText("  127.0.0.5  ");
    SetTimer(nullptr, 0, 50, &ChooseFirstItem);
    Notice(WM_RBUTTONDOWN);
    Notice(WM_RBUTTONUP);
    EXPECT_TRUE(tarvik::testing::RunLoop()) << "the message loop ended";
    EXPECT_TRUE(form->ExitRequested);
    // The release after the menu came when the close had gone through.
    EXPECT_FALSE(Shown());
    EXPECT_FALSE(IsWindowVisible(fw::Application::Instance().Handle())) << "no taskbar button";
    EXPECT_EQ(IniReadValue(IniPath(), "SETUP", "IP"), "127.0.0.5");

    shell.Take();
    form.reset();
    EXPECT_EQ(shell.TakeNames(), "delete") << "the icon goes with the program";
}

}  // namespace
}  // namespace tarvik
