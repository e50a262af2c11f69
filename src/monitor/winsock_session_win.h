// One start of the WinSock layer, undone when the object goes.
#pragma once

#include <winsock2.h>

namespace tarvik {

class WinSockSession {
public:
    explicit WinSockSession(WORD version) {
        WSADATA data;
        started_ = WSAStartup(version, &data) == 0;
    }
    ~WinSockSession() {
        if (started_) WSACleanup();
    }
    WinSockSession(const WinSockSession&) = delete;
    WinSockSession& operator=(const WinSockSession&) = delete;

    bool Started() const { return started_; }

private:
    bool started_ = false;
};

}  // namespace tarvik
