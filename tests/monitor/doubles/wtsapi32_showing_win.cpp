// Stands in for wtsapi32.dll where Wine's own sends no session message, so
// that scripts/screenshot.sh can show the alert as a user sees it: this
// computer has one active session, and a message sent to it opens as an
// ordinary message box with the same title, text and style, on a thread of
// its own (the real service does not make the sender wait either). No other
// computer can be reached.
#include <windows.h>
#include <wtsapi32.h>

namespace {

// The one session is the one the program runs in, which gets the alerts
// to this computer.
DWORD ThisSession() {
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    return session;
}

struct Box {
    wchar_t* title;
    wchar_t* text;
    DWORD style;
};

// A zero-terminated copy of a text given with its length in bytes.
wchar_t* Copy(const wchar_t* from, DWORD bytes) {
    const DWORD count = from ? bytes / sizeof(wchar_t) : 0;
    auto* to = static_cast<wchar_t*>(LocalAlloc(LPTR, (count + 1) * sizeof(wchar_t)));
    if (to && count) CopyMemory(to, from, count * sizeof(wchar_t));
    return to;
}

DWORD WINAPI ShowBox(void* parameter) {
    auto* box = static_cast<Box*>(parameter);
    MessageBoxW(nullptr, box->text, box->title, box->style | MB_SETFOREGROUND);
    LocalFree(box->title);
    LocalFree(box->text);
    LocalFree(box);
    return 0;
}

}  // namespace

extern "C" __declspec(dllexport) HANDLE WINAPI WTSOpenServerW(LPWSTR) {
    SetLastError(RPC_S_SERVER_UNAVAILABLE);
    return nullptr;
}

extern "C" __declspec(dllexport) void WINAPI WTSCloseServer(HANDLE) {}

extern "C" __declspec(dllexport) BOOL WINAPI WTSEnumerateSessionsW(HANDLE, DWORD, DWORD, WTS_SESSION_INFOW** info,
                                                                   DWORD* count) {
    auto* list = static_cast<WTS_SESSION_INFOW*>(LocalAlloc(LPTR, sizeof(WTS_SESSION_INFOW)));
    if (!list) return FALSE;
    list[0] = {ThisSession(), const_cast<wchar_t*>(L"Console"), WTSActive};
    *info = list;
    *count = 1;
    return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI WTSQuerySessionInformationW(HANDLE, DWORD, WTS_INFO_CLASS, LPWSTR*,
                                                                         DWORD*) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

extern "C" __declspec(dllexport) BOOL WINAPI WTSSendMessageW(HANDLE, DWORD session, LPWSTR title, DWORD titleBytes,
                                                             LPWSTR text, DWORD textBytes, DWORD style, DWORD,
                                                             DWORD* response, BOOL) {
    if (session != ThisSession()) return FALSE;
    // The sender frees the library as soon as this returns; the box's thread
    // runs code of this library, so it stays loaded for good.
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCWSTR>(&ShowBox), &self);
    auto* box = static_cast<Box*>(LocalAlloc(LPTR, sizeof(Box)));
    if (!box) return FALSE;
    *box = {Copy(title, titleBytes), Copy(text, textBytes), style};
    HANDLE thread = box->title && box->text ? CreateThread(nullptr, 0, ShowBox, box, 0, nullptr) : nullptr;
    if (!thread) {
        LocalFree(box->title);
        LocalFree(box->text);
        LocalFree(box);
        return FALSE;
    }
    CloseHandle(thread);
    if (response) *response = 32001;  // IDASYNC: nobody waits for the answer
    return TRUE;
}

extern "C" __declspec(dllexport) void WINAPI WTSFreeMemory(void* memory) { LocalFree(memory); }
