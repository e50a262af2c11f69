// The WinINet functions of the web probe, from the system folder's
// WININET.DLL, never from beside the program: it is not one of the
// libraries Windows protects on every version. Loaded at the first probe
// and kept, as an imported library would be: its sessions, caches and
// threads are not built to come and go with each check.
#pragma once

#include <windows.h>
#include <wininet.h>

namespace tarvik {

struct WinInet {
    decltype(&::InternetOpenA) InternetOpenA = nullptr;
    decltype(&::InternetConnectA) InternetConnectA = nullptr;
    decltype(&::HttpOpenRequestA) HttpOpenRequestA = nullptr;
    decltype(&::HttpAddRequestHeadersA) HttpAddRequestHeadersA = nullptr;
    decltype(&::HttpSendRequestA) HttpSendRequestA = nullptr;
    decltype(&::InternetQueryDataAvailable) InternetQueryDataAvailable = nullptr;
    decltype(&::InternetReadFile) InternetReadFile = nullptr;
    decltype(&::InternetSetOptionA) InternetSetOptionA = nullptr;
    decltype(&::InternetSetStatusCallbackA) InternetSetStatusCallbackA = nullptr;
    decltype(&::InternetCloseHandle) InternetCloseHandle = nullptr;
};

// Null when the library or one of the functions is missing; every probe
// then fails, as it does when a WinINet call fails.
const WinInet* WinInetLibrary();

}  // namespace tarvik
