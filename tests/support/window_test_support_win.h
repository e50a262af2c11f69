// Driving real windows from a test: pumping the message loop for a while,
// running the application's loop with a time limit, and collecting message
// boxes instead of showing them.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "framework/application_win.h"
#include "support/box_recorder_win.h"

namespace tarvik::testing {

// Handles messages for `milliseconds`, sleeping briefly between rounds. Only
// for "nothing more happens" checks: a state a test needs is waited for with
// PumpUntil, since a busy machine can hold a timer or an activation back for
// seconds.
inline void Pump(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        fw::Application::Instance().ProcessMessages();
        Sleep(1);
    } while (GetTickCount() - start < milliseconds);
}

// The limit of every wait for a state: it is reached only when the state
// never comes, so it may be long; a stalled disk has held Wine for seconds.
constexpr DWORD kStateWait = 30000;

// Handles messages until `reached` holds; false when `limit` ran out first.
inline bool PumpUntil(const std::function<bool()>& reached, DWORD limit = kStateWait) {
    const DWORD start = GetTickCount();
    for (;;) {
        fw::Application::Instance().ProcessMessages();
        if (reached()) return true;
        if (GetTickCount() - start >= limit) return false;
        Sleep(1);
    }
}

// Runs the application's loop; true when it ended by itself within
// `milliseconds`, false when the limit stopped it. A short limit checks that
// the loop goes on; one that must end takes the generous default.
inline bool& RunLoopTimedOut() {
    static bool timedOut;
    return timedOut;
}

// A timer procedure is stdcall on i686, which no lambda converts to.
inline void CALLBACK StopRunLoop(HWND, UINT, UINT_PTR, DWORD) {
    RunLoopTimedOut() = true;
    PostQuitMessage(0);
}

inline bool RunLoop(DWORD milliseconds = kStateWait) {
    RunLoopTimedOut() = false;
    const UINT_PTR limit = SetTimer(nullptr, 0, milliseconds, &StopRunLoop);
    fw::Application::Instance().Run();
    KillTimer(nullptr, limit);
    return !RunLoopTimedOut();
}

}  // namespace tarvik::testing
