#include "controls/tray_shell_win.h"

#include <utility>

namespace tarvik {

namespace {
TrayShellHook& ShellHook() {
    static TrayShellHook hook;
    return hook;
}
}  // namespace

void SetTrayShellHook(TrayShellHook hook) { ShellHook() = std::move(hook); }

BOOL CallTrayShell(DWORD message, const NOTIFYICONDATAW& record) {
    if (const TrayShellHook& hook = ShellHook()) return hook(message, record);
    NOTIFYICONDATAW copy = record;
    return Shell_NotifyIconW(message, &copy);
}

void SendTrayRequests(const std::vector<TrayShellRequest>& requests) {
    for (const TrayShellRequest& request : requests) CallTrayShell(request.message, request.record);
}

}  // namespace tarvik
