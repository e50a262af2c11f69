// Driving real windows from a test: pumping the message loop for a while,
// running the application's loop with a time limit, and collecting message
// boxes instead of showing them.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/application_win.h"
#include "framework/box_recorder_win.h"

namespace tarvik::testing {

// Handles messages for `milliseconds`, sleeping briefly between rounds.
inline void Pump(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        fw::Application::Instance().ProcessMessages();
        Sleep(1);
    } while (GetTickCount() - start < milliseconds);
}

// Runs the application's loop; true when it ended by itself within
// `milliseconds`, false when the limit stopped it.
inline bool& RunLoopTimedOut() {
    static bool timedOut;
    return timedOut;
}

// A timer procedure is stdcall on i686, which no lambda converts to.
inline void CALLBACK StopRunLoop(HWND, UINT, UINT_PTR, DWORD) {
    RunLoopTimedOut() = true;
    PostQuitMessage(0);
}

inline bool RunLoop(DWORD milliseconds) {
    RunLoopTimedOut() = false;
    const UINT_PTR limit = SetTimer(nullptr, 0, milliseconds, &StopRunLoop);
    fw::Application::Instance().Run();
    KillTimer(nullptr, limit);
    return !RunLoopTimedOut();
}

}  // namespace tarvik::testing
