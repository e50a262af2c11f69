// Starts the holder (holder_win.cpp) and lets it go again when gone.
#pragma once

#include <windows.h>

#include <string>

#include "system/handles_win.h"

namespace tarvik::testing {

class Holder {
public:
    // Holds `what` ("file" or "mutex") named `name`; Held() tells whether it
    // does, within a minute (a slow disk can stall a start for seconds).
    Holder(const std::wstring& what, const std::wstring& name) {
        static int counter = 0;
        const std::wstring event =
            L"tarvik-holder-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
        ready_.Reset(CreateEventW(nullptr, TRUE, FALSE, event.c_str()));
        release_.Reset(CreateEventW(nullptr, TRUE, FALSE, (event + L"-release").c_str()));
        std::wstring command = L"\"" TARVIK_HOLDER L"\" " + what + L" \"" + name + L"\" " + event;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            return;
        CloseHandle(process.hThread);
        process_.Reset(process.hProcess);
        const HANDLE either[] = {ready_.Get(), process_.Get()};
        held_ = WaitForMultipleObjects(2, either, FALSE, 60 * 1000) == WAIT_OBJECT_0;
    }
    ~Holder() {
        SetEvent(release_.Get());
        if (process_) WaitForSingleObject(process_.Get(), 60 * 1000);
    }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

    bool Held() const { return held_; }

private:
    fw::KernelHandle ready_, release_, process_;
    bool held_ = false;
};

}  // namespace tarvik::testing
