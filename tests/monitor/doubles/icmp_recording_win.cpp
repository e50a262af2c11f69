// Stands in for ICMP.DLL: records each echo request and answers it as the
// test chose (from the chosen request on), by default with no reply at all
// (the time-out). Nothing is sent anywhere. The test keeps the library
// loaded and talks to it through the Test* exports.
#include "icmp_recording_win.h"

#include <cstring>

using tarvik::testing::IcmpAnswer;
using tarvik::testing::IcmpRecord;

namespace {

HANDLE const kEcho = reinterpret_cast<HANDLE>(0x1C40);

IcmpAnswer answer = {FALSE, IP_REQ_TIMED_OUT, 0, 0};
IcmpRecord record;

}  // namespace

extern "C" __declspec(dllexport) HANDLE WINAPI IcmpCreateFile() {
    ++record.creates;
    return answer.createFails ? INVALID_HANDLE_VALUE : kEcho;
}

extern "C" __declspec(dllexport) BOOL WINAPI IcmpCloseHandle(HANDLE handle) {
    if (handle == kEcho) ++record.closes;
    return handle == kEcho;
}

extern "C" __declspec(dllexport) DWORD WINAPI IcmpSendEcho(HANDLE handle, IPAddr address, LPVOID data, WORD dataSize,
                                                          PIP_OPTION_INFORMATION, LPVOID reply, DWORD replySize,
                                                          DWORD timeoutMs) {
    if (handle != kEcho) return 0;
    ++record.sends;
    record.asked = address;
    record.dataSize = dataSize;
    record.replySize = replySize;
    record.timeoutMs = timeoutMs;
    if (answer.status == IP_REQ_TIMED_OUT || record.sends < answer.answerFrom) {
        SetLastError(IP_REQ_TIMED_OUT);
        return 0;
    }
    auto* echo = static_cast<ICMP_ECHO_REPLY*>(reply);
    if (replySize < sizeof *echo + dataSize) {  // the test reports it
        SetLastError(IP_BUF_TOO_SMALL);
        return 0;
    }
    std::memset(echo, 0, sizeof *echo);
    echo->Address = answer.from;
    echo->Status = answer.status;
    echo->DataSize = dataSize;
    echo->Data = echo + 1;
    if (data) std::memcpy(echo + 1, data, dataSize);
    return 1;
}

extern "C" __declspec(dllexport) void WINAPI TestSetAnswer(const IcmpAnswer* chosen) {
    answer = *chosen;
    record = IcmpRecord{};
}

extern "C" __declspec(dllexport) void WINAPI TestGetRecord(IcmpRecord* out) { *out = record; }
