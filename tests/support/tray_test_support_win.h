// What the tray icon tests share: a recorder behind the shell seam, message
// pumping, and the program's pictures as icon objects.
#pragma once

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "controls/tray_icon_win.h"
#include "support/resource_files.h"
#include "support/window_test_support_win.h"
#include "system/critical_section_win.h"
#include "system/steady_clock_win.h"

namespace tarvik::testing {

struct ShellRequest {
    DWORD message;
    NOTIFYICONDATAW record;
    fw::SteadyClock::time_point at;

    std::string Name() const {
        switch (message) {
        case NIM_ADD: return "add";
        case NIM_MODIFY: return "modify";
        case NIM_DELETE: return "delete";
        default: return "?";
        }
    }
    std::wstring Tip() const { return record.szTip; }
};

// Sees every request the tray icons send (from any thread) and answers
// adds as told.
class ShellRecorder {
public:
    ShellRecorder() {
        SetTrayShellHook([this](DWORD message, const NOTIFYICONDATAW& record) {
            fw::Guard guard(lock_);
            requests_.push_back({message, record, fw::SteadyClock::now()});
            return message == NIM_ADD && refuseAdds_ ? FALSE : TRUE;
        });
    }
    ~ShellRecorder() { SetTrayShellHook(nullptr); }

    void RefuseAdds(bool refuse) {
        fw::Guard guard(lock_);
        refuseAdds_ = refuse;
    }
    std::vector<ShellRequest> Take() {
        fw::Guard guard(lock_);
        return std::exchange(requests_, {});
    }
    std::size_t Count() {
        fw::Guard guard(lock_);
        return requests_.size();
    }
    // The request names in order, such as "delete add modify".
    std::string TakeNames() {
        std::string names;
        for (const ShellRequest& request : Take()) names += (names.empty() ? "" : " ") + request.Name();
        return names;
    }

private:
    fw::CriticalSection lock_;
    std::vector<ShellRequest> requests_;
    bool refuseAdds_ = false;
};

// The messages waiting now, dispatched as they are: no form's key handling.
inline void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

inline bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds = kStateWait) {
    const auto end = fw::SteadyClock::now() + std::chrono::milliseconds(milliseconds);
    while (!condition()) {
        if (fw::SteadyClock::now() > end) return false;
        Pump();
        Sleep(2);
    }
    return true;
}

inline int ThreadsOfThisProcess() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    }
    CloseHandle(snapshot);
    return count;
}

// The program's still icon and frames as objects to give a tray icon.
struct ProgramPictures {
    ProgramPictures() {
        still.LoadFromImage(StillIconImage());
        frames.ReadIcons(StoredFrames());
    }
    fw::Icon still;
    TIconList frames;
};

}  // namespace tarvik::testing
