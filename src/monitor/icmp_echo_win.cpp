#include "monitor/icmp_echo_win.h"

#include <cstddef>

#include "framework/system_library_win.h"

namespace tarvik {

namespace {

constexpr WORD kDataSize = 32;
// As ping does: one lost packet on a lossy link does not fail the check,
// and a dead host fails it in about 3 s.
constexpr int kRequests = 3;
constexpr DWORD kTimeoutMs = 1000;

// One reply record, the data it echoes, 8 bytes for an ICMP error message
// and room for IP options. A 64-bit process's record is the larger one;
// both widths begin with the replying address and the status.
constexpr std::size_t kReplySize = sizeof(ICMP_ECHO_REPLY) + kDataSize + 8 + MAX_OPT_SIZE;

// The echo's own handle, closed through the library that made it.
class EchoHandle {
public:
    EchoHandle(HANDLE handle, BOOL(WINAPI* close)(HANDLE)) : handle_(handle), close_(close) {}
    ~EchoHandle() {
        if (Valid()) close_(handle_);
    }
    EchoHandle(const EchoHandle&) = delete;
    EchoHandle& operator=(const EchoHandle&) = delete;

    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
    BOOL(WINAPI* close_)(HANDLE);
};

}  // namespace

IcmpEcho::IcmpEcho() : library_(fw::LoadSystemLibrary("ICMP.DLL")) {
    if (!library_) return;
    create_ = fw::FindEntry<CreateFileFunction>(library_.Get(), "IcmpCreateFile");
    close_ = fw::FindEntry<CloseHandleFunction>(library_.Get(), "IcmpCloseHandle");
    send_ = fw::FindEntry<SendEchoFunction>(library_.Get(), "IcmpSendEcho");
    if (create_ && close_ && send_) {
        state_ = State::Ready;
        return;
    }
    state_ = State::Incomplete;
    create_ = nullptr;
    close_ = nullptr;
    send_ = nullptr;
    library_.Reset();
}

bool IcmpEcho::Answered(IPAddr address) const {
    if (state_ != State::Ready) return false;
    const EchoHandle echo(create_(), close_);
    if (!echo.Valid()) return false;

    char data[kDataSize];
    for (WORD i = 0; i < kDataSize; ++i) data[i] = static_cast<char>('a' + i % 23);
    for (int sent = 0; sent < kRequests; ++sent) {
        union {
            ICMP_ECHO_REPLY record;
            unsigned char bytes[kReplySize];
        } reply = {};
        if (send_(echo.Get(), address, data, kDataSize, nullptr, &reply, kReplySize, kTimeoutMs) == 0) continue;
        // A router's "unreachable" comes from the router; a broadcast may be
        // answered by anyone: only the target itself answering counts.
        if (reply.record.Status == IP_SUCCESS && reply.record.Address == address) return true;
    }
    return false;
}

}  // namespace tarvik
