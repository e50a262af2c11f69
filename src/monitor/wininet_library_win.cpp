#include "monitor/wininet_library_win.h"

#include <type_traits>

#include "system/system_library_win.h"

namespace tarvik {

namespace {

bool Load(WinInet& functions) {
    const HMODULE library = fw::LoadSystemLibrary("wininet.dll").Release();  // kept for good
    if (!library) return false;
    auto find = [library](auto& function, const char* name) {
        function = fw::FindEntry<std::remove_reference_t<decltype(function)>>(library, name);
        return function != nullptr;
    };
    return find(functions.InternetOpenA, "InternetOpenA") && find(functions.InternetConnectA, "InternetConnectA") &&
           find(functions.HttpOpenRequestA, "HttpOpenRequestA") &&
           find(functions.HttpAddRequestHeadersA, "HttpAddRequestHeadersA") &&
           find(functions.HttpSendRequestA, "HttpSendRequestA") &&
           find(functions.InternetQueryDataAvailable, "InternetQueryDataAvailable") &&
           find(functions.InternetReadFile, "InternetReadFile") &&
           find(functions.InternetSetOptionA, "InternetSetOptionA") &&
           find(functions.InternetSetStatusCallbackA, "InternetSetStatusCallbackA") &&
           find(functions.InternetCloseHandle, "InternetCloseHandle");
}

}  // namespace

const WinInet* WinInetLibrary() {
    static WinInet functions;
    static const bool loaded = Load(functions);
    return loaded ? &functions : nullptr;
}

}  // namespace tarvik
