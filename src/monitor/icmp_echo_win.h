// The echo request of ICMP.DLL, Windows' own library, loaded for one probe.
#pragma once

#include <windows.h>

#include <ipexport.h>

#include "framework/handles_win.h"

namespace tarvik {

class IcmpEcho {
public:
    enum class State { Missing, Incomplete, Ready };

    // Loads the library from the system folder. One that lacks any of its
    // three entry points is released again at once.
    IcmpEcho();
    IcmpEcho(const IcmpEcho&) = delete;
    IcmpEcho& operator=(const IcmpEcho&) = delete;

    State GetState() const { return state_; }

    // Sends up to three echo requests to `address` (IPv4, network byte
    // order), each waiting 1 s for its reply, and stops at the first reply
    // that comes back from that very address with success: true then. No
    // reply, an error report such as "destination unreachable", an answer
    // from elsewhere or a failing call count for nothing; false after the
    // third. Only when Ready; the echo's handle is closed before it returns.
    bool Answered(IPAddr address) const;

private:
    using CreateFileFunction = HANDLE(WINAPI*)();
    using CloseHandleFunction = BOOL(WINAPI*)(HANDLE);
    using SendEchoFunction = DWORD(WINAPI*)(HANDLE, IPAddr, void* data, WORD dataSize, PIP_OPTION_INFORMATION,
                                            void* reply, DWORD replySize, DWORD timeoutMs);

    fw::LibraryHandle library_;
    State state_ = State::Missing;
    CreateFileFunction create_ = nullptr;
    CloseHandleFunction close_ = nullptr;
    SendEchoFunction send_ = nullptr;
};

}  // namespace tarvik
