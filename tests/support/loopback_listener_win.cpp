#include "support/loopback_listener_win.h"

namespace tarvik::testing {

namespace {
struct WinSockStarted {
    WinSockStarted() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
};
}  // namespace

SOCKET ListenOnPort80(const char* address, int backlog, sockaddr_in& where) {
    static WinSockStarted winsock;
    const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    where = sockaddr_in{};
    where.sin_family = AF_INET;
    where.sin_port = htons(80);
    where.sin_addr.s_addr = inet_addr(address);
    BOOL reuse = TRUE;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    if (bind(listener, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0 || listen(listener, backlog) != 0) {
        const int error = WSAGetLastError();
        closesocket(listener);
        WSASetLastError(error);
        return INVALID_SOCKET;
    }
    return listener;
}

bool SendAll(SOCKET socket, const std::string& bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const int put = send(socket, bytes.data() + at, static_cast<int>(bytes.size() - at), 0);
        if (put <= 0) return false;
        at += put;
    }
    return true;
}

}  // namespace tarvik::testing
