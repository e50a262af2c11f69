// The real notification area of the shell, under a display.
#include <gtest/gtest.h>

#include "support/tray_test_support_win.h"

namespace tarvik {
namespace {

using testing::ProgramPictures;
using testing::Pump;
using testing::WaitUntil;

// Whether the shell has our icon: it modifies only icons it knows.
bool ShellHasIcon(const TTrayIcon& tray) {
    NOTIFYICONDATAW record = tray.NotifyRecord();
    return Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}

TEST(TrayArea, AcceptsTheProgramsIconAndItsFrames) {
    ProgramPictures pictures;
    TTrayIcon tray;
    tray.SetIcon(&pictures.still);
    ASSERT_TRUE(tray.IconShown()) << "the shell accepted the add";
    EXPECT_TRUE(ShellHasIcon(tray));

    tray.SetIcons(&pictures.frames);
    tray.SetInterval(20);
    tray.SetAnimated(true);
    EXPECT_TRUE(WaitUntil([&] { return tray.FrameIndex() == 1; }));
    tray.SetAnimated(false);
    EXPECT_TRUE(tray.IconShown());
    EXPECT_TRUE(ShellHasIcon(tray));
}

TEST(TrayArea, TaskbarCreatedBroadcastPutsTheIconBack) {
    ProgramPictures pictures;
    TTrayIcon tray;
    tray.SetIcon(&pictures.still);
    ASSERT_TRUE(ShellHasIcon(tray));

    // What a restarting shell does: it forgets the icon, then tells every
    // top-level window that its notification area is new.
    NOTIFYICONDATAW record = tray.NotifyRecord();
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &record));
    ASSERT_FALSE(ShellHasIcon(tray));
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return ShellHasIcon(tray); }));
    EXPECT_TRUE(tray.IconShown());
}

TEST(TrayArea, DestroyingTheComponentTakesTheIconAway) {
    ProgramPictures pictures;
    NOTIFYICONDATAW record{};
    {
        TTrayIcon tray;
        tray.SetIcon(&pictures.still);
        ASSERT_TRUE(tray.IconShown());
        record = tray.NotifyRecord();
        record.hIcon = nullptr;  // the icon's own handle is gone with it
    }
    EXPECT_FALSE(Shell_NotifyIconW(NIM_DELETE, &record));
    Pump();
}

}  // namespace
}  // namespace tarvik
