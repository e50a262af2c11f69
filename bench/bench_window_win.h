// What the bench drives and watches on the window's thread: the real main
// window's checks, a bare window of its own, and a thread that keeps
// sending the window a message.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <vector>

#include "system/thread_win.h"
#include "ui/main_form_win.h"

namespace tarvik::bench {

// Sends WM_NULL to a window again and again while told to, and keeps how
// long each took to be answered: the longest is the longest time the
// window's thread went without answering.
class Pinger : public fw::Thread {
public:
    explicit Pinger(HWND window) : window_(window) {
        answers_.reserve(100000);
        Resume();
    }
    ~Pinger() override {
        Terminate();
        WaitFor();
    }
    Pinger(const Pinger&) = delete;
    Pinger& operator=(const Pinger&) = delete;

    void SetActive(bool active) { active_ = active; }
    // After Terminate: the thread has sent its last message.
    bool Ended() const { return ended_; }
    // Once it has ended.
    const std::vector<double>& Answers() const { return answers_; }
    int Unanswered() const { return unanswered_; }

protected:
    void Execute() override;

private:
    HWND window_;
    std::atomic<bool> active_{false};
    std::atomic<bool> ended_{false};
    std::vector<double> answers_;
    int unanswered_ = 0;
};

// A window with four labels and an icon in the notification area of its
// own: what the bare loop writes to.
class BareWindow {
public:
    BareWindow(HICON still, HICON frame);
    ~BareWindow();
    BareWindow(const BareWindow&) = delete;
    BareWindow& operator=(const BareWindow&) = delete;

    // What a cycle shows: the icon (one modify) and the four counts.
    void Show(int round, bool failed);

private:
    HWND window_ = nullptr;
    HWND labels_[4] = {};
    HICON icons_[2] = {};
    NOTIFYICONDATAW record_{};
    bool shown_ = false;
};

// Handles messages (the labels' repainting, the icon's window) for a while.
void Pump(DWORD milliseconds);
// Handles messages until the stopped animation threads have ended (a
// thread's stack counts as private memory until it has), at most for
// `limitMs`.
void Settle(int threads, DWORD limitMs);
// Starts a check as a tick does and handles messages one by one until its
// answer has come back and been shown (the labels' own repainting comes
// after, untimed, as before). Gives the time the cycle ended.
double CheckToItsEnd(TForm1& form);

}  // namespace tarvik::bench
