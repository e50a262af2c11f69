#include "bench_window_win.h"

#include <string>

#include "bench_counts_win.h"
#include "bench_stats_win.h"
#include "framework/application_win.h"
#include "system/wide_text_win.h"

namespace tarvik::bench {

void Pinger::Execute() {
    while (!Terminated()) {
        if (!active_) {
            Sleep(5);
            continue;
        }
        DWORD_PTR result = 0;
        const double start = Now();
        if (SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result))
            answers_.push_back(Now() - start);
        else
            ++unanswered_;
        Sleep(5);
    }
    ended_ = true;
}

BareWindow::BareWindow(HICON still, HICON frame) {
    window_ = CreateWindowExW(0, L"STATIC", L"bare", WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 0, 219, 160, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    for (int i = 0; i < 4; ++i)
        labels_[i] = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 32, 21 + 24 * i, 150, 16, window_,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
    icons_[0] = still;
    icons_[1] = frame;
    record_.cbSize = NOTIFYICONDATAW_V1_SIZE;
    record_.hWnd = window_;
    record_.uID = 1;
    record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record_.uCallbackMessage = WM_APP + 1;
    record_.hIcon = icons_[0];
    shown_ = Shell_NotifyIconW(NIM_ADD, &record_) != FALSE;
}

BareWindow::~BareWindow() {
    Shell_NotifyIconW(NIM_DELETE, &record_);
    DestroyWindow(window_);
}

void BareWindow::Show(int round, bool failed) {
    record_.hIcon = icons_[failed];
    Shell_NotifyIconW(NIM_MODIFY, &record_);
    const std::string texts[] = {"Проверок: " + std::to_string(round), "Успешных: " + std::to_string(round / 2),
                                 "Неудачи подряд: " + std::to_string(failed ? 1 : 0),
                                 "Ушло сообщений: 0"};
    for (int i = 0; i < 4; ++i) SetWindowTextW(labels_[i], fw::Wide(texts[i]).c_str());
}

// Handles messages (the labels' repainting, the icon's window) for a while.
void Pump(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        fw::Application::Instance().ProcessMessages();
        Sleep(1);
    } while (GetTickCount() - start < milliseconds);
}

// Handles messages until the stopped animation threads have ended (a
// thread's stack counts as private memory until it has), at most for
// `limitMs`.
void Settle(int threads, DWORD limitMs) {
    const DWORD start = GetTickCount();
    do Pump(5);
    while (CountThreads() > threads && GetTickCount() - start < limitMs);
}

// Starts a check as a tick does and handles messages one by one until its
// answer has come back and been shown (the labels' own repainting comes
// after, untimed, as before). Gives the time the cycle ended.
double CheckToItsEnd(TForm1& form) {
    form.TimerTimer(*form.Timer);
    while (form.Checking()) {
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } else {
            MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
    }
    return Now();
}

}  // namespace tarvik::bench
