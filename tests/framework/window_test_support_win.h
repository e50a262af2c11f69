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
inline bool RunLoop(DWORD milliseconds) {
    static bool timedOut;
    timedOut = false;
    const UINT_PTR limit = SetTimer(nullptr, 0, milliseconds, [](HWND, UINT, UINT_PTR, DWORD) {
        timedOut = true;
        PostQuitMessage(0);
    });
    fw::Application::Instance().Run();
    KillTimer(nullptr, limit);
    return !timedOut;
}

}  // namespace tarvik::testing
