// Stands in for ICMP.DLL: records each echo request and answers it as the
// test chose (from the chosen request on, after the chosen delay), by
// default with no reply at all. Nothing is sent anywhere. Requests may come
// from several threads at once, each with a handle of its own. The test
// keeps the library loaded and talks to it through the Test* exports.
#include "icmp_recording_win.h"

#include <cstring>

using tarvik::testing::IcmpAnswer;
using tarvik::testing::IcmpRecord;

namespace {

constexpr int kMaxHandles = 16;
constexpr UINT_PTR kFirstEcho = 0x1C40;

struct Shared {
    Shared() { InitializeCriticalSection(&lock); }
    CRITICAL_SECTION lock;
    HANDLE released = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    IcmpAnswer answer = {FALSE, IP_REQ_TIMED_OUT, 0, 0, 0, tarvik::testing::kSilenceAtOnce};
    IcmpRecord record = {};
    bool open[kMaxHandles] = {};
};

Shared& shared() {
    static Shared* const instance = new Shared;  // requests may still run as the library goes
    return *instance;
}

class Locked {
public:
    Locked() { EnterCriticalSection(&shared().lock); }
    ~Locked() { LeaveCriticalSection(&shared().lock); }
};

int Index(HANDLE handle) {
    const UINT_PTR value = reinterpret_cast<UINT_PTR>(handle);
    if (value < kFirstEcho || (value - kFirstEcho) % 4 != 0) return -1;
    const UINT_PTR index = (value - kFirstEcho) / 4;
    return index < kMaxHandles && shared().open[index] ? static_cast<int>(index) : -1;
}

void EndSilently(int silence, DWORD timeoutMs) {
    if (silence == tarvik::testing::kSilenceAtTimeout) Sleep(timeoutMs);
    if (silence == tarvik::testing::kSilenceUntilRelease) WaitForSingleObject(shared().released, INFINITE);
    SetLastError(IP_REQ_TIMED_OUT);
}

}  // namespace

extern "C" __declspec(dllexport) HANDLE WINAPI IcmpCreateFile() {
    const Locked locked;
    Shared& s = shared();
    const int index = s.record.creates++;
    if (s.answer.createFails || index >= kMaxHandles) return INVALID_HANDLE_VALUE;
    s.open[index] = true;
    return reinterpret_cast<HANDLE>(kFirstEcho + 4 * index);
}

extern "C" __declspec(dllexport) BOOL WINAPI IcmpCloseHandle(HANDLE handle) {
    const Locked locked;
    const int index = Index(handle);
    if (index < 0) return FALSE;
    shared().open[index] = false;
    ++shared().record.closes;
    return TRUE;
}

extern "C" __declspec(dllexport) DWORD WINAPI IcmpSendEcho(HANDLE handle, IPAddr address, LPVOID data, WORD dataSize,
                                                          PIP_OPTION_INFORMATION, LPVOID reply, DWORD replySize,
                                                          DWORD timeoutMs) {
    IcmpAnswer answer;
    int sent = 0;
    {
        const Locked locked;
        if (Index(handle) < 0) return 0;
        IcmpRecord& record = shared().record;
        sent = ++record.sends;
        record.asked = address;
        record.dataSize = dataSize;
        record.replySize = replySize;
        record.timeoutMs = timeoutMs;
        answer = shared().answer;
    }
    DWORD result = 0;
    if (answer.status == IP_REQ_TIMED_OUT || sent < answer.answerFrom || answer.replyAfterMs > timeoutMs) {
        EndSilently(answer.silence, timeoutMs);
    } else if (replySize < sizeof(ICMP_ECHO_REPLY) + dataSize) {  // the test reports it
        SetLastError(IP_BUF_TOO_SMALL);
    } else {
        Sleep(answer.replyAfterMs);
        auto* echo = static_cast<ICMP_ECHO_REPLY*>(reply);
        std::memset(echo, 0, sizeof *echo);
        echo->Address = answer.from;
        echo->Status = answer.status;
        echo->DataSize = dataSize;
        echo->Data = echo + 1;
        if (data) std::memcpy(echo + 1, data, dataSize);
        result = 1;
    }
    const Locked locked;
    ++shared().record.ended;
    return result;
}

extern "C" __declspec(dllexport) void WINAPI TestSetAnswer(const IcmpAnswer* chosen) {
    const Locked locked;
    Shared& s = shared();
    s.answer = *chosen;
    s.record = IcmpRecord{};
    for (bool& open : s.open) open = false;
    ResetEvent(s.released);
}

extern "C" __declspec(dllexport) void WINAPI TestGetRecord(IcmpRecord* out) {
    const Locked locked;
    *out = shared().record;
}

extern "C" __declspec(dllexport) void WINAPI TestRelease() { SetEvent(shared().released); }
