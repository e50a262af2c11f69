// Owner of a WinINet handle (session, connection or request).
#pragma once

#include <windows.h>
#include <wininet.h>

#include "framework/handles_win.h"

namespace tarvik {

struct InternetHandleTraits {
    using Type = HINTERNET;
    static Type Null() { return nullptr; }
    static void Close(Type h) { InternetCloseHandle(h); }
};
using InternetHandle = fw::UniqueHandle<InternetHandleTraits>;

}  // namespace tarvik
