// The bench's loopback servers, on addresses of their own in 127.0.0.0/8
// apart from the tests' ones, and the bare WinINet calls of a web check.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <string>

#include "system/thread_win.h"

namespace tarvik::bench {

// The page's server, and one that takes requests and never answers.
constexpr char kServerAddress[] = "127.0.0.77";
constexpr char kSilentAddress[] = "127.0.0.78";

// The page: about what a small status page weighs.
const std::string& Page();

// A socket listening on port 80 of `address`; the bench cannot go on
// without it.
SOCKET Listen(const char* address, int backlog);

// Serves one connection after the other on port 80: /ok gets the page, /flip
// an empty body (a failed check) and the page by turns, empty first, or
// always the page once told to stop failing.
class LoopbackServer : public fw::Thread {
public:
    explicit LoopbackServer(const char* address) : listener_(Listen(address, 16)) { Resume(); }
    ~LoopbackServer() override {
        closesocket(listener_);
        WaitFor();
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    void StopFailing() { steady_ = true; }
    void FailByTurns() { steady_ = false; }

protected:
    void Execute() override;

    SOCKET listener_ = INVALID_SOCKET;
    std::atomic<bool> steady_{false};
};

// The WinINet calls of a web check, bare: what any program fetching the page
// this way has to call, with the same request. The body, empty on any
// failure.
std::string BareWinInetGet(const char* host, const char* object);

// Takes each connection and its request, then says nothing until the client
// goes (WinINet gives up after its 10 s wait).
class SilentServer : public fw::Thread {
public:
    explicit SilentServer(const char* address) : listener_(Listen(address, 4)) { Resume(); }
    ~SilentServer() override {
        stopping_ = true;
        closesocket(listener_);
        WaitFor();
    }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

protected:
    void Execute() override;

private:
    SOCKET listener_ = INVALID_SOCKET;
    std::atomic<bool> stopping_{false};
};

}  // namespace tarvik::bench
