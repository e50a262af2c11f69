// Stands in for wtsapi32.dll: offers the sessions the test added, opens a
// server when the test lets it (recording the name) and records each
// message. The test keeps the library loaded and drives it through the
// Test* exports.
#include <windows.h>
#include <wtsapi32.h>

#include <cstring>

#include "wtsapi32_record_win.h"

namespace {
using tarvik::testing::SessionRecord;

struct Session {
    DWORD id;
    WTS_CONNECTSTATE_CLASS state;
    wchar_t user[64];
};
Session sessions[8];
int sessionCount = 0;
bool openSucceeds = true;
SessionRecord record;
HANDLE const kOpened = reinterpret_cast<HANDLE>(0x5E5);

void CopyText(wchar_t* to, int capacity, const wchar_t* from, DWORD bytes) {
    const DWORD count = bytes / sizeof(wchar_t) < static_cast<DWORD>(capacity - 1) ? bytes / sizeof(wchar_t)
                                                                                   : capacity - 1;
    if (from) std::memcpy(to, from, count * sizeof(wchar_t));
    to[from ? count : 0] = 0;
}
}  // namespace

extern "C" __declspec(dllexport) HANDLE WINAPI WTSOpenServerW(LPWSTR name) {
    ++record.opens;
    lstrcpynW(record.openedName, name ? name : L"", 256);
    if (!openSucceeds) {
        SetLastError(RPC_S_SERVER_UNAVAILABLE);
        return nullptr;
    }
    return kOpened;
}

extern "C" __declspec(dllexport) void WINAPI WTSCloseServer(HANDLE) { ++record.closes; }

extern "C" __declspec(dllexport) BOOL WINAPI WTSEnumerateSessionsW(HANDLE, DWORD, DWORD, WTS_SESSION_INFOW** info,
                                                                   DWORD* count) {
    auto* list = static_cast<WTS_SESSION_INFOW*>(LocalAlloc(LPTR, sizeof(WTS_SESSION_INFOW) * 8));
    for (int i = 0; i < sessionCount; ++i)
        list[i] = {sessions[i].id, const_cast<wchar_t*>(L"Console"), sessions[i].state};
    *info = list;
    *count = sessionCount;
    return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI WTSQuerySessionInformationW(HANDLE, DWORD id, WTS_INFO_CLASS what,
                                                                         LPWSTR* buffer, DWORD* bytes) {
    for (int i = 0; i < sessionCount; ++i) {
        if (sessions[i].id != id || what != WTSUserName) continue;
        *bytes = (lstrlenW(sessions[i].user) + 1) * sizeof(wchar_t);
        *buffer = static_cast<LPWSTR>(LocalAlloc(LPTR, *bytes));
        lstrcpyW(*buffer, sessions[i].user);
        return TRUE;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

extern "C" __declspec(dllexport) BOOL WINAPI WTSSendMessageW(HANDLE server, DWORD session, LPWSTR title,
                                                             DWORD titleBytes, LPWSTR text, DWORD textBytes,
                                                             DWORD style, DWORD timeout, DWORD* response, BOOL wait) {
    if (record.messageCount == 16) return FALSE;
    auto& m = record.messages[record.messageCount++];
    m.server = server;
    m.session = session;
    CopyText(m.title, 64, title, titleBytes);
    m.titleBytes = titleBytes;
    CopyText(m.text, 256, text, textBytes);
    m.textBytes = textBytes;
    m.style = style;
    m.timeout = timeout;
    m.wait = wait;
    *response = 32001;  // IDASYNC: nobody waited for the answer
    return TRUE;
}

extern "C" __declspec(dllexport) void WINAPI WTSFreeMemory(void* memory) { LocalFree(memory); }

extern "C" __declspec(dllexport) void WINAPI TestReset(BOOL openWorks) {
    sessionCount = 0;
    openSucceeds = openWorks;
    record = SessionRecord{};
    record.openedHandle = kOpened;
}

extern "C" __declspec(dllexport) void WINAPI TestAddSession(DWORD id, WTS_CONNECTSTATE_CLASS state,
                                                            const wchar_t* user) {
    if (sessionCount == 8) return;
    sessions[sessionCount].id = id;
    sessions[sessionCount].state = state;
    lstrcpynW(sessions[sessionCount].user, user, 64);
    ++sessionCount;
}

extern "C" __declspec(dllexport) void WINAPI TestGetRecord(SessionRecord* out) { *out = record; }
