// The real boxes, read and dismissed by a hook on this thread, as a user would
// see them: who owns them and what is disabled while they are open.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <utility>

#include "framework/application_win.h"
#include "framework/form_win.h"
#include "support/function_thread_win.h"
#include "system/message_box_win.h"

namespace tarvik::fw {
namespace {

struct SeenBox {
    HWND box = nullptr;
    std::wstring caption, text;  // as a user reads them, on a system of any code page
    HWND owner = nullptr;
    bool topmost = false;
    bool otherWindowEnabled = true;
};

SeenBox seen;
HWND otherWindow = nullptr;
HHOOK hook = nullptr;
std::function<void()> whileOpen;  // runs in the box's loop before it is read

// Reads the box once its modal loop runs, when it is fully set up.
void CALLBACK ReadAndDismiss(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (whileOpen) std::exchange(whileOpen, nullptr)();
    const HWND box = seen.box;
    wchar_t buffer[256] = {};
    GetWindowTextW(box, buffer, 256);
    seen.caption = buffer;
    GetDlgItemTextW(box, 0xFFFF, buffer, 256);
    seen.text = buffer;
    seen.owner = GetWindow(box, GW_OWNER);
    seen.topmost = (GetWindowLongPtrA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    seen.otherWindowEnabled = IsWindowEnabled(otherWindow) != FALSE;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

LRESULT CALLBACK WatchBoxes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && !seen.box) {
        const HWND window = reinterpret_cast<HWND>(wParam);
        char className[16] = {};
        GetClassNameA(window, className, sizeof className);
        if (std::string(className) == "#32770") {
            seen.box = window;
            SetTimer(nullptr, 0, 10, &ReadAndDismiss);
        }
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

class RealBoxes : public ::testing::Test {
protected:
    void SetUp() override {
        Application::Instance().Handle();  // the application names the box's owner
        seen = {};
        otherWindow = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(otherWindow, nullptr);
        hook = SetWindowsHookExA(WH_CBT, &WatchBoxes, nullptr, GetCurrentThreadId());
        ASSERT_NE(hook, nullptr);
    }
    void TearDown() override {
        UnhookWindowsHookEx(hook);
        DestroyWindow(otherWindow);
    }
};

TEST_F(RealBoxes, ApplicationBoxIsOwnedByTheApplicationAndDisablesTheProgram) {
    EXPECT_EQ(AppMessageBox("Нет ip адреса", "WSAStartup", 0), IDOK);
    EXPECT_EQ(seen.text, L"Нет ip адреса");
    EXPECT_EQ(seen.caption, L"WSAStartup");
    EXPECT_EQ(seen.owner, Application::Instance().Handle());
    EXPECT_FALSE(seen.otherWindowEnabled);
    EXPECT_TRUE(IsWindowEnabled(otherWindow));  // and enabled again afterwards
}

// The animation thread reports its errors in this box too; the program's
// windows belong to the user-interface thread all the same.
TEST_F(RealBoxes, ApplicationBoxFromAnotherThreadDisablesTheProgramsWindows) {
    Application::Instance().Handle();
    std::atomic<bool> done{false};
    int answer = 0;
    tarvik::testing::FunctionThread worker([&] {
        const HHOOK own = SetWindowsHookExA(WH_CBT, &WatchBoxes, nullptr, GetCurrentThreadId());
        answer = AppMessageBox("Thread error", "Tarvik", MB_OK | MB_ICONSTOP);
        UnhookWindowsHookEx(own);
        done = true;
    });
    // Disabling a window of this thread waits until this thread handles it.
    while (!done) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(1);
    }
    worker.Join();
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(seen.text, L"Thread error");
    EXPECT_FALSE(seen.otherWindowEnabled);
    EXPECT_TRUE(IsWindowEnabled(otherWindow));
}

// A window brought up while the box is open (through the notification-area
// icon, say) is kept from the user like the others.
TEST_F(RealBoxes, AFormShownWhileTheBoxIsOpenIsDisabledUntilItCloses) {
    Form form;
    bool enabledWhileOpen = true;
    whileOpen = [&] {
        form.Show();
        enabledWhileOpen = IsWindowEnabled(form.Handle()) != FALSE;
    };
    AppMessageBox("Ошибка", "Tarvik", MB_OK | MB_ICONSTOP);
    EXPECT_FALSE(enabledWhileOpen);
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
    EXPECT_TRUE(IsWindowEnabled(form.Handle()));
}

TEST_F(RealBoxes, PlatformBoxIsSystemModalWithDefaultCaption) {
    SetForegroundWindow(otherWindow);
    const HWND foreground = GetForegroundWindow();
    ASSERT_NE(foreground, nullptr);
    EXPECT_EQ(PlatformMessageBox("NetApi32.dll не загружена.", std::nullopt, MB_SYSTEMMODAL | MB_ICONERROR), IDOK);
    EXPECT_EQ(seen.text, L"NetApi32.dll не загружена.");
    EXPECT_FALSE(seen.caption.empty());
    EXPECT_TRUE(seen.topmost);
    EXPECT_EQ(seen.owner, foreground);  // the window in front owns it
}

}  // namespace
}  // namespace tarvik::fw
