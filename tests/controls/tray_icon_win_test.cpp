// The requests a tray icon sends to the shell, seen through the shell seam.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "framework/layout.h"
#include "framework/layout_reader.h"
#include "framework/menu.h"
#include "support/tray_test_support_win.h"

namespace tarvik {
namespace {

using testing::ProgramPictures;
using testing::ShellRecorder;
using testing::ShellRequest;

#ifndef _WIN64
static_assert(NOTIFYICONDATAW_V1_SIZE == 152, "the first-version wide record of the 32-bit program");
#endif

std::string Hex(const Bytes& bytes) {
    std::string out;
    char pair[4];
    for (std::uint8_t byte : bytes) {
        std::snprintf(pair, sizeof pair, "%02X ", byte);
        out += pair;
    }
    return out;
}

class TrayRequestsTest : public ::testing::Test {
protected:
    ShellRecorder shell;
    ProgramPictures pictures;
};

TEST_F(TrayRequestsTest, ReadingTheLayoutAddsTheStillIconThenFinishingAddsItAgain) {
    RegisterTrayIconClass();
    const std::string layout = "Form1 : TTestForm {\n"
                               "    TrayIcon1 : TTrayIcon {\n"
                               "        Icon.Data = <" + Hex(testing::StillIconImage()) + ">\n"
                               "        Icons.Icons = <" + Hex(testing::StoredFrames()) + ">\n"
                               "        PopupMenu = PopupMenu1\n"
                               "        OnMouseUp = TrayIcon1MouseUp\n"
                               "    }\n"
                               "    PopupMenu1 : TPopupMenu {\n"
                               "        N1 : TMenuItem { Caption = \"Закрыть\" }\n"
                               "    }\n"
                               "}\n";
    fw::Component root;
    fw::HandlerTable handlers;
    int mouseUps = 0;
    handlers.Add("TrayIcon1MouseUp", fw::MouseEvent([&](fw::Component&, fw::MouseButton, fw::ShiftState, int, int) {
        ++mouseUps;
    }));
    fw::LayoutReader(root, handlers).Read(fw::ParseLayout(layout), "TTestForm");

    auto* tray = dynamic_cast<TTrayIcon*>(root.FindComponent("TrayIcon1"));
    ASSERT_NE(tray, nullptr);
    const std::vector<ShellRequest> requests = shell.Take();
    std::string names;
    for (const ShellRequest& request : requests) names += request.Name() + " ";
    // still icon read: add (and the empty-hint modify); frames read: one
    // modify; finishing: delete and add again.
    EXPECT_EQ(names, "delete add modify modify delete add modify ");
    for (const ShellRequest& request : requests) {
        if (request.message == NIM_DELETE) continue;
        EXPECT_EQ(request.record.cbSize, NOTIFYICONDATAW_V1_SIZE);
        EXPECT_EQ(request.record.hWnd, tray->MessageWindowHandle());
        EXPECT_EQ(request.record.uID, 0u);
        EXPECT_EQ(request.record.uFlags, UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP));
        EXPECT_EQ(request.record.uCallbackMessage, 0xB054u);
        EXPECT_EQ(request.record.hIcon, tray->Icon().Handle());
        EXPECT_EQ(request.Tip(), L"");
    }
    EXPECT_TRUE(tray->IconShown());
    EXPECT_EQ(tray->Icons().WriteIcons(), testing::StoredFrames());
    EXPECT_EQ(tray->Icon().SaveToImage(), testing::StillIconImage());
    EXPECT_EQ(tray->PopupMenu(), root.FindComponent("PopupMenu1"));
    ASSERT_TRUE(tray->OnMouseUp);
    tray->OnMouseUp(*tray, fw::MouseButton::mbLeft, 0, 0, 0);
    EXPECT_EQ(mouseUps, 1);
}

TEST_F(TrayRequestsTest, ConstructionSendsNothingAndAnIconWithoutImageStaysOut) {
    TTrayIcon tray;
    EXPECT_EQ(shell.Count(), 0u);
    EXPECT_EQ(tray.FrameIndex(), -1);
    EXPECT_TRUE(tray.Active());
    EXPECT_EQ(tray.Interval(), 150);

    tray.SetHint("a");
    EXPECT_EQ(shell.TakeNames(), "delete") << "tried to add, but there is no picture";
    EXPECT_FALSE(tray.IconShown());

    tray.SetIcon(&pictures.still);
    EXPECT_EQ(shell.TakeNames(), "delete add");
    EXPECT_TRUE(tray.IconShown());
    tray.SetIcon(nullptr);
    EXPECT_EQ(shell.TakeNames(), "delete") << "no picture left: the icon is taken out";
    EXPECT_FALSE(tray.IconShown());
}

TEST_F(TrayRequestsTest, ARefusedAddIsTriedAgainAtTheNextChange) {
    TTrayIcon tray;
    shell.RefuseAdds(true);
    tray.SetIcon(&pictures.still);
    EXPECT_EQ(shell.TakeNames(), "delete add") << "no modify after a refused add";
    EXPECT_FALSE(tray.IconShown());
    tray.SetHint("x");
    EXPECT_EQ(shell.TakeNames(), "delete add");
    shell.RefuseAdds(false);
    tray.SetHint("");
    EXPECT_EQ(shell.TakeNames(), "delete add modify");
    EXPECT_TRUE(tray.IconShown());
    tray.SetHint("");
    EXPECT_EQ(shell.TakeNames(), "") << "the same hint changes nothing";
    tray.SetHint("y");
    EXPECT_EQ(shell.TakeNames(), "modify");
}

// At log-on the shell often refuses the first add, and while every check
// succeeds nothing changes: only the icon's own timer can bring it.
TEST_F(TrayRequestsTest, ARefusedAddIsTriedAgainByTheTimerUntilTakenOrInactive) {
    using testing::WaitUntil;
    TTrayIcon tray;
    EXPECT_EQ(tray.AddRetryInterval(), 3000u);
    tray.SetAddRetryInterval(30);
    shell.RefuseAdds(true);
    tray.SetIcon(&pictures.still);
    ASSERT_TRUE(WaitUntil([&] { return shell.Count() >= 6; })) << "two more tries";
    shell.RefuseAdds(false);
    ASSERT_TRUE(WaitUntil([&] { return tray.IconShown(); }));
    testing::Pump();
    Sleep(150);
    testing::Pump();
    const std::string names = shell.TakeNames();
    // Each try takes away whatever a timed-out add may have left: never a
    // second icon.
    std::size_t tries = 0;
    for (std::size_t at = names.find("add"); at != std::string::npos; at = names.find("add", at + 1)) ++tries;
    EXPECT_GE(tries, 3u);
    std::string expected;
    for (std::size_t i = 1; i < tries; ++i) expected += "delete add ";
    EXPECT_EQ(names, expected + "delete add modify") << "and nothing after the add was taken";

    shell.RefuseAdds(true);
    tray.SetHint("refused again");
    tray.SetActive(false);
    shell.Take();
    Sleep(150);
    testing::Pump();
    EXPECT_EQ(shell.TakeNames(), "") << "an inactive icon is not tried again";
}

TEST_F(TrayRequestsTest, ActiveRemovesAndAddsTheIcon) {
    TTrayIcon tray;
    tray.SetIcon(&pictures.still);
    shell.Take();
    tray.SetActive(false);
    EXPECT_EQ(shell.TakeNames(), "delete");
    EXPECT_FALSE(tray.IconShown());
    tray.SetHint("while inactive");
    EXPECT_EQ(shell.TakeNames(), "") << "an inactive icon is not added";
    tray.SetActive(false);
    EXPECT_EQ(shell.TakeNames(), "");
    tray.SetActive(true);
    EXPECT_EQ(shell.TakeNames(), "delete add");
    EXPECT_TRUE(tray.IconShown());
}

TEST_F(TrayRequestsTest, TooltipIsTheShortHintCutTo63Bytes) {
    struct Case {
        Text hint;
        std::wstring tip;
    } cases[] = {
        {"", L""},
        {"Тарвик", L"Тарвик"},
        {"short|long hint", L"short"},
        {"|only long", L""},
        {Text(63, 'a'), std::wstring(63, L'a')},
        {Text(100, 'b'), std::wstring(63, L'b')},
        {Text(70, 'c') + "|d", std::wstring(63, L'c')},
        {Text(70, 'ж'), std::wstring(63, L'ж')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hint);
        TTrayIcon tray;
        tray.SetHint(c.hint);
        shell.Take();
        tray.SetIcon(&pictures.still);
        const std::vector<ShellRequest> requests = shell.Take();
        ASSERT_GE(requests.size(), 2u);
        EXPECT_EQ(requests[1].Name(), "add");
        EXPECT_EQ(requests[1].Tip(), c.tip);
        // An empty tooltip gets one modify right after the add.
        EXPECT_EQ(requests.size(), c.tip.empty() ? 3u : 2u);
    }
}

TEST_F(TrayRequestsTest, FinishLoadingAddsTheIconAgainUnlessInactive) {
    TTrayIcon tray;
    tray.SetIcon(&pictures.still);
    shell.Take();
    tray.FinishLoading();
    EXPECT_EQ(shell.TakeNames(), "delete add modify");
    tray.SetActive(false);
    shell.Take();
    tray.FinishLoading();
    EXPECT_EQ(shell.TakeNames(), "");
}

// When the shell restarts it forgets every icon and tells all top-level
// windows; without an answer the hidden program could never be reached again.
TEST_F(TrayRequestsTest, TaskbarCreatedBringsTheIconBack) {
    TTrayIcon tray;
    tray.SetIcon(&pictures.still);
    shell.Take();
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    SendMessageA(tray.MessageWindowHandle(), taskbarCreated, 0, 0);
    EXPECT_EQ(shell.TakeNames(), "delete add modify");
    EXPECT_TRUE(tray.IconShown());

    tray.SetActive(false);
    shell.Take();
    SendMessageA(tray.MessageWindowHandle(), taskbarCreated, 0, 0);
    EXPECT_EQ(shell.TakeNames(), "") << "an inactive icon stays away";

    // The window is a top-level one, so that the broadcast reaches it.
    EXPECT_EQ(GetAncestor(tray.MessageWindowHandle(), GA_PARENT), GetDesktopWindow());
    EXPECT_FALSE(IsWindowVisible(tray.MessageWindowHandle()));
}

TEST_F(TrayRequestsTest, DestroyingRemovesTheIconAndItsWindow) {
    auto tray = std::make_unique<TTrayIcon>();
    tray->SetIcon(&pictures.still);
    const HWND window = tray->MessageWindowHandle();
    shell.Take();
    tray.reset();
    EXPECT_EQ(shell.TakeNames(), "delete");
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(TrayRequestsTest, ADestroyedPopupMenuIsForgotten) {
    TTrayIcon tray;
    auto menu = std::make_unique<fw::PopupMenu>(nullptr);
    tray.SetPopupMenu(menu.get());
    EXPECT_EQ(tray.PopupMenu(), menu.get());
    menu.reset();
    EXPECT_EQ(tray.PopupMenu(), nullptr);
}

}  // namespace
}  // namespace tarvik
