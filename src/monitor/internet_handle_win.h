// Owner of a WinINet handle (session, connection or request).
#pragma once

#include "monitor/wininet_library_win.h"
#include "system/handles_win.h"

namespace tarvik {

struct InternetHandleTraits {
    using Type = HINTERNET;
    static Type Null() { return nullptr; }
    // A handle exists only where the library was loaded.
    static void Close(Type h) { WinInetLibrary()->InternetCloseHandle(h); }
};
using InternetHandle = fw::UniqueHandle<InternetHandleTraits>;

}  // namespace tarvik
