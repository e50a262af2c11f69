// Mouse notices from the shell, posted to the icon's window, and the events,
// menus and double-click item they lead to.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "framework/menu.h"
#include "support/tray_test_support_win.h"
#include "system/message_box_win.h"

namespace tarvik {
namespace {

using fw::MouseButton;
using testing::ProgramPictures;
using testing::Pump;
using testing::ShellRecorder;

std::string Describe(MouseButton button) {
    switch (button) {
    case MouseButton::mbLeft: return "L";
    case MouseButton::mbRight: return "R";
    case MouseButton::mbMiddle: return "M";
    }
    return "?";
}

std::string Describe(fw::ShiftState shift) {
    std::string out;
    const std::pair<fw::ShiftFlag, const char*> flags[] = {
        {fw::ssShift, "Shift"}, {fw::ssAlt, "Alt"},       {fw::ssCtrl, "Ctrl"},     {fw::ssLeft, "Left"},
        {fw::ssRight, "Right"}, {fw::ssMiddle, "Middle"}, {fw::ssDouble, "Double"},
    };
    for (const auto& [flag, name] : flags) {
        if (shift & flag) out += std::string(out.empty() ? "" : ",") + name;
    }
    return "[" + out + "]";
}

class TrayEventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        tray.SetIcon(&pictures.still);
        tray.OnMouseDown = [this](fw::Component& sender, MouseButton button, fw::ShiftState shift, int x, int y) {
            EXPECT_EQ(&sender, &tray);
            Seen("down", button, shift, x, y);
        };
        tray.OnMouseUp = [this](fw::Component&, MouseButton button, fw::ShiftState shift, int x, int y) {
            Seen("up", button, shift, x, y);
        };
        tray.OnClick = [this](fw::Component&, MouseButton button, fw::ShiftState shift, int x, int y) {
            Seen("click", button, shift, x, y);
        };
        tray.OnMouseMove = [this](fw::Component&, fw::ShiftState shift, int, int) {
            events.push_back("move " + Describe(shift));
        };
        tray.OnDblClick = [this](fw::Component& sender) {
            EXPECT_EQ(&sender, &tray);
            events.push_back("dblclick");
        };
        BYTE keys[256] = {};
        SetKeyboardState(keys);
        SetCursorPos(120, 80);
        Pump();
    }
    void TearDown() override {
        BYTE keys[256] = {};
        SetKeyboardState(keys);
    }

    void Seen(const char* what, MouseButton button, fw::ShiftState shift, int x, int y) {
        POINT point{};
        GetCursorPos(&point);
        EXPECT_EQ(x, point.x);
        EXPECT_EQ(y, point.y);
        events.push_back(std::string(what) + " " + Describe(button) + " " + Describe(shift));
    }

    // Posts the shell's notices to the icon's window and handles them.
    std::vector<std::string> Notices(std::initializer_list<UINT> notices) {
        events.clear();
        for (UINT notice : notices) PostMessageA(tray.MessageWindowHandle(), kTrayCallbackMessage, 0, notice);
        Pump();
        return events;
    }

    ShellRecorder shell;
    ProgramPictures pictures;
    TTrayIcon tray;
    std::vector<std::string> events;
};

using Events = std::vector<std::string>;

TEST_F(TrayEventsTest, EachNoticeRaisesItsEventsInOrder) {
    struct Case {
        const char* what;
        std::initializer_list<UINT> notices;
        Events events;
    } cases[] = {
        {"left click", {WM_LBUTTONDOWN, WM_LBUTTONUP}, {"down L [Left]", "click L [Left]", "up L [Left]"}},
        {"left double-click",
         {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP},
         {"down L [Left]", "click L [Left]", "up L [Left]", "dblclick", "down L [Double]", "up L [Left]"}},
        {"right click without menu",
         {WM_RBUTTONDOWN, WM_RBUTTONUP},
         {"down R [Right]", "click R [Right]", "up R [Right]"}},
        {"right double-click", {WM_RBUTTONDBLCLK}, {"down R [Double]"}},
        {"middle click never clicks", {WM_MBUTTONDOWN, WM_MBUTTONUP}, {"down M [Middle]", "up M [Middle]"}},
        {"middle double-click", {WM_MBUTTONDBLCLK}, {"down M [Double]"}},
        {"release without press", {WM_LBUTTONUP, WM_RBUTTONUP}, {"up L [Left]", "up R [Right]"}},
        {"move", {WM_MOUSEMOVE}, {"move []"}},
        {"other values", {WM_KEYDOWN, WM_MOUSEWHEEL, 0x10201, 0}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Notices(c.notices), c.events);
    }
}

TEST_F(TrayEventsTest, ModifierKeysJoinTheShiftStateAndMovesCarryOnlyThem) {
    BYTE keys[256] = {};
    keys[VK_SHIFT] = 0x80;
    keys[VK_CONTROL] = 0x80;
    keys[VK_MENU] = 0x80;
    keys[VK_LBUTTON] = 0x80;
    SetKeyboardState(keys);
    EXPECT_EQ(Notices({WM_MOUSEMOVE, WM_LBUTTONDOWN}),
              (Events{"move [Shift,Alt,Ctrl]", "down L [Shift,Alt,Ctrl,Left]"}));
    keys[VK_MENU] = 0;
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(Notices({WM_LBUTTONUP}), (Events{"click L [Shift,Left]", "up L [Shift,Left]"}));
}

TEST_F(TrayEventsTest, DisabledIconRaisesNothing) {
    tray.SetEnabled(false);
    EXPECT_EQ(Notices({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEMOVE}), Events{});
    tray.SetEnabled(true);
    EXPECT_EQ(Notices({WM_LBUTTONUP}), Events{"up L [Left]"}) << "the press seen while disabled does not count";
}

TEST_F(TrayEventsTest, AReleaseWhosePressCameBeforeTheLastAddIsNoClick) {
    auto pressThenAddAgain = [this](UINT down, UINT up) {
        Notices({down});
        tray.SetActive(false);
        tray.SetActive(true);
        return Notices({up});
    };
    EXPECT_EQ(pressThenAddAgain(WM_LBUTTONDOWN, WM_LBUTTONUP), Events{"up L [Left]"});
    fw::PopupMenu menu(nullptr);
    tray.SetPopupMenu(&menu);
    EXPECT_EQ(pressThenAddAgain(WM_RBUTTONDOWN, WM_RBUTTONUP), Events{"up R [Right]"}) << "and no menu";
}

TEST_F(TrayEventsTest, DoubleClickRunsTheMenusDefaultItemInsteadOfOnDblClick) {
    fw::PopupMenu menu(nullptr);
    fw::MenuItem plain(nullptr), chosen(nullptr), disabled(nullptr);
    for (fw::MenuItem* item : {&plain, &disabled, &chosen}) menu.Add(*item);
    plain.OnClick = [this](fw::Component&) { events.push_back("plain item"); };
    chosen.OnClick = [this](fw::Component&) { events.push_back("default item"); };
    disabled.OnClick = [this](fw::Component&) { events.push_back("disabled item"); };
    disabled.SetDefault(true);
    disabled.SetEnabled(false);

    EXPECT_EQ(Notices({WM_LBUTTONDBLCLK}), (Events{"dblclick", "down L [Double]"})) << "no menu";
    tray.SetPopupMenu(&menu);
    EXPECT_EQ(Notices({WM_LBUTTONDBLCLK}), (Events{"dblclick", "down L [Double]"})) << "no enabled default item";
    chosen.SetDefault(true);
    EXPECT_EQ(Notices({WM_LBUTTONDBLCLK}), (Events{"default item", "down L [Double]"}));

    // While inactive the menu is left alone. The icon is then out of the
    // tray, but a late notice can still arrive.
    tray.SetActive(false);
    EXPECT_EQ(Notices({WM_LBUTTONDBLCLK}), (Events{"dblclick", "down L [Double]"}));
}

// The menu's modal loop runs this: note that the menu is open, and close it.
std::vector<std::string>* menuLog = nullptr;
// A slow machine may tick before the menu is up: look again, for as long as
// any wait for a state.
DWORD closeMenuSince = 0;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND menuWindow = FindWindowA("#32768", nullptr);
    const bool shown = menuWindow && IsWindowVisible(menuWindow);
    if (!shown && GetTickCount() - closeMenuSince < testing::kStateWait) return;
    KillTimer(nullptr, timer);
    RECT bounds{};
    if (!shown || !GetWindowRect(menuWindow, &bounds)) {
        menuLog->push_back("menu not shown");
    } else {
        menuLog->push_back("menu shown at " + std::to_string(bounds.left) + "," + std::to_string(bounds.top));
    }
    EndMenu();
}

TEST_F(TrayEventsTest, RightClickShowsTheMenuAtThePointerInsteadOfOnClick) {
    fw::PopupMenu menu(nullptr);
    fw::MenuItem close(nullptr);
    close.SetCaption("Закрыть");
    menu.Add(close);
    tray.SetPopupMenu(&menu);
    menuLog = &events;
    closeMenuSince = GetTickCount();
    SetTimer(nullptr, 0, 50, &CloseMenu);
    events.clear();
    PostMessageA(tray.MessageWindowHandle(), kTrayCallbackMessage, 0, WM_RBUTTONDOWN);
    PostMessageA(tray.MessageWindowHandle(), kTrayCallbackMessage, 0, WM_RBUTTONUP);
    Pump();
    menuLog = nullptr;
    EXPECT_EQ(events, (Events{"down R [Right]", "menu shown at 120,80", "up R [Right]"})) << "at the pointer";
    EXPECT_EQ(menu.PopupComponent(), &tray);

    menu.SetAutoPopup(false);
    EXPECT_EQ(Notices({WM_RBUTTONDOWN, WM_RBUTTONUP}), (Events{"down R [Right]", "click R [Right]", "up R [Right]"}));
}

TEST_F(TrayEventsTest, AnErrorInAHandlerIsReportedAndTheIconCarriesOn) {
    std::vector<Text> boxes;
    fw::SetMessageBoxHook([&](const fw::MessageBoxRequest& request) {
        boxes.push_back(request.text);
        return IDOK;
    });
    tray.OnMouseDown = [](fw::Component&, MouseButton, fw::ShiftState, int, int) { throw Error("Handler failed"); };
    EXPECT_EQ(Notices({WM_LBUTTONDOWN}), Events{});
    EXPECT_EQ(Notices({WM_LBUTTONUP}), Events{"up L [Left]"}) << "the failed notice did not record the press";
    fw::SetMessageBoxHook(nullptr);
    EXPECT_EQ(boxes, std::vector<Text>{"Handler failed."});
}

}  // namespace
}  // namespace tarvik
