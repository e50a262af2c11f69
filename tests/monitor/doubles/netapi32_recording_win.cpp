// Stands in for NetApi32.dll: records the arguments of each
// NetMessageBufferSend and answers with the status the test chose. The test
// keeps the library loaded and reads the record through the Test* exports.
#include <windows.h>

#include <cstring>

#include "netapi32_record_win.h"

namespace {
DWORD answer = 0;
int calls = 0;
bool serverNull = false, fromNull = false;
wchar_t messageName[256];
BYTE buffer[4096];
DWORD bufferLength = 0;
}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI NetMessageBufferSend(LPCWSTR server, LPCWSTR name, LPCWSTR from,
                                                                   LPBYTE data, DWORD length) {
    ++calls;
    serverNull = server == nullptr;
    fromNull = from == nullptr;
    messageName[0] = 0;
    if (name) lstrcpynW(messageName, name, 256);
    bufferLength = length;
    std::memset(buffer, 0xCC, sizeof buffer);
    if (data) std::memcpy(buffer, data, length < sizeof buffer ? length : sizeof buffer);
    return answer;
}

extern "C" __declspec(dllexport) void WINAPI TestSetAnswer(DWORD status) { answer = status; }

extern "C" __declspec(dllexport) void WINAPI TestGetRecord(tarvik::testing::MessageRecord* record) {
    *record = {calls, serverNull, fromNull, messageName, buffer, bufferLength};
}
