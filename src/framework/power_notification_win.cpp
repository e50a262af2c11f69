#include "framework/power_notification_win.h"

#include "system/system_library_win.h"

namespace tarvik::fw {

namespace {
using Register = HANDLE(WINAPI*)(HANDLE recipient, DWORD flags);
using Unregister = BOOL(WINAPI*)(HANDLE notification);
// USER32 is always there; the functions only from Windows 8 on.
HMODULE User32() { return GetModuleHandleW(L"user32.dll"); }
}  // namespace

SuspendResumeNotification::SuspendResumeNotification(HWND window) {
    if (const auto registerFor = FindEntry<Register>(User32(), "RegisterSuspendResumeNotification"))
        handle_ = registerFor(window, DEVICE_NOTIFY_WINDOW_HANDLE);
}

SuspendResumeNotification::~SuspendResumeNotification() {
    if (!handle_) return;
    if (const auto unregister = FindEntry<Unregister>(User32(), "UnregisterSuspendResumeNotification"))
        unregister(handle_);
}

}  // namespace tarvik::fw
