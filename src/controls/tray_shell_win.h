// The shell's side of the notification-area icon: the call behind every add,
// modify and delete request, the requests kept to be sent later, and the
// lock that the icon and its animation threads share.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <vector>

#include "system/condition_win.h"
#include "system/critical_section_win.h"

namespace tarvik {

struct TrayLock {
    fw::CriticalSection section;
    // Held for each call to the shell. Taken while holding `section`, or
    // alone, never the other way round.
    fw::CriticalSection shell;
    // Wakes the threads when they are resumed, stopped or told to end.
    fw::Condition wake;
};

// The shell call behind every add, modify and delete request. Tests replace
// it to see the requests and to refuse adds; an empty hook restores
// Shell_NotifyIconW. It runs on the owning thread and on animation threads,
// so a hook must be thread-safe; set it while no tray icon exists.
using TrayShellHook = std::function<BOOL(DWORD message, const NOTIFYICONDATAW& record)>;
void SetTrayShellHook(TrayShellHook hook);

// One request to the shell, through the hook when one is set. The caller
// holds TrayLock::shell.
BOOL CallTrayShell(DWORD message, const NOTIFYICONDATAW& record);

// A request to the shell kept to be sent later, and the sending: in order,
// with TrayLock::shell held.
struct TrayShellRequest {
    DWORD message;
    NOTIFYICONDATAW record;
};
void SendTrayRequests(const std::vector<TrayShellRequest>& requests);

}  // namespace tarvik
