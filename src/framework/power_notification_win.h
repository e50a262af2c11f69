// Asks Windows 8 and later to tell a window of sleeps and wakes as
// WM_POWERBROADCAST also where the broadcast to top-level windows may come
// late or not at all (a laptop with Modern Standby). Where the system lacks
// the function (XP to 7), the broadcast is all there is, and nothing is
// asked.
#pragma once

#include <windows.h>

namespace tarvik::fw {

class SuspendResumeNotification {
public:
    explicit SuspendResumeNotification(HWND window);
    ~SuspendResumeNotification();
    SuspendResumeNotification(const SuspendResumeNotification&) = delete;
    SuspendResumeNotification& operator=(const SuspendResumeNotification&) = delete;

    bool Registered() const { return handle_ != nullptr; }

private:
    HANDLE handle_ = nullptr;
};

}  // namespace tarvik::fw
