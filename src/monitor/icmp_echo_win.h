// The echo request of ICMP.DLL, Windows' own library, loaded for one probe.
#pragma once

#include <windows.h>

#include <ipexport.h>

#include <memory>

namespace tarvik {

struct IcmpLibrary;  // the loaded library and its three entry points

class IcmpEcho {
public:
    enum class State { Missing, Incomplete, Ready };

    // As ping: three requests, each waiting 4 s for its reply, so that a
    // slow link (a satellite, a mobile modem, a loaded VPN) still answers.
    static constexpr int kRequests = 3;
    static constexpr DWORD kTimeoutMs = 4000;
    // The next request goes 1 s after the one before it, or at once when
    // every request so far has come back without a reply.
    static constexpr DWORD kSpacingMs = 1000;
    // How long past the last request's time-out the probe waits for it, in
    // case the platform does not keep the time-out.
    static constexpr DWORD kGraceMs = 500;

    // Loads the library from the system folder. One that lacks any of its
    // three entry points is released again at once.
    IcmpEcho();
    IcmpEcho(const IcmpEcho&) = delete;
    IcmpEcho& operator=(const IcmpEcho&) = delete;

    State GetState() const { return state_; }

    // Sends up to three echo requests to `address` (IPv4, network byte
    // order), paced as above, and is true at the first reply that comes back
    // from that very address with success. No reply, an error report such as
    // "destination unreachable", an answer from elsewhere or a failing call
    // count for nothing; false when all three have, so a dead host fails in
    // about 6 s, and never later than the last request's time-out and the
    // grace. Only when Ready.
    //
    // Each request runs on a thread of its own with its own echo handle and
    // buffers and a reference to the library, and ends on its own: those
    // still waiting when the answer is known are not waited for. On a
    // bounded worker's thread a cancel ends this wait at once, false.
    bool Answered(IPAddr address) const;

private:
    std::shared_ptr<const IcmpLibrary> library_;  // shared with the requests under way
    State state_ = State::Missing;
};

}  // namespace tarvik
