#include "bench_servers_win.h"

#include <wininet.h>

#include <cstdio>
#include <cstdlib>

#include "support/loopback_listener_win.h"

namespace tarvik::bench {

const std::string& Page() {
    static const std::string page = [] {
        std::string page = "<html><head><title>Tarvik bench</title></head><body>\n";
        while (page.size() < 600) page += "<p>loopback page for the check cycle benchmark</p>\n";
        return page + "</body></html>\n";
    }();
    return page;
}

SOCKET Listen(const char* address, int backlog) {
    sockaddr_in where;
    const SOCKET listener = testing::ListenOnPort80(address, backlog, where);
    if (listener == INVALID_SOCKET) {
        std::fprintf(stderr, "bench: cannot listen on %s:80 (error %d; port 80 needs root)\n", address,
                     WSAGetLastError());
        std::exit(1);
    }
    return listener;
}

void LoopbackServer::Execute() {
    const std::string page = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                             std::to_string(Page().size()) + "\r\n\r\n" + Page();
    const std::string empty = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: 0\r\n\r\n";
    bool failNext = true;
    for (;;) {
        const SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        std::string request;
        char buffer[2048];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const int got = recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) break;
            request.append(buffer, got);
        }
        const std::string line = request.substr(0, request.find("\r\n"));
        bool answer = true;
        if (line.find("flip") != std::string::npos && !steady_) {
            answer = !failNext;
            failNext = !failNext;
        }
        testing::SendAll(client, answer ? page : empty);
        shutdown(client, SD_BOTH);
        closesocket(client);
    }
}

// The WinINet calls of a web check, bare: what any program fetching the page
// this way has to call, with the same request. The body, empty on any
// failure.
std::string BareWinInetGet(const char* host, const char* object) {
    static const char kHeader[] = "Content-Type: application/x-www-form-urlencoded\r\n";
    std::string body;
    const HINTERNET session = InternetOpenA("RQNV", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session) return body;
    if (const HINTERNET connection = InternetConnectA(session, host, INTERNET_DEFAULT_HTTP_PORT, nullptr, nullptr,
                                                      INTERNET_SERVICE_HTTP, 0, 0)) {
        const char* types[] = {"text/*", nullptr};
        if (const HINTERNET request = HttpOpenRequestA(connection, "GET", object, "HTTP/1.0", "", types,
                                                       INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)) {
            if (HttpAddRequestHeadersA(request, kHeader, sizeof kHeader - 1,
                                       HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE) &&
                HttpSendRequestA(request, nullptr, 0, nullptr, 0)) {
                char buffer[1024];
                DWORD read = 0;
                while (InternetReadFile(request, buffer, sizeof buffer, &read) && read > 0) body.append(buffer, read);
            }
            InternetCloseHandle(request);
        }
        InternetCloseHandle(connection);
    }
    InternetCloseHandle(session);
    return body;
}

void SilentServer::Execute() {
    for (;;) {
        const SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        while (!stopping_) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(client, &readable);
            timeval step{0, 50 * 1000};
            char buffer[2048];
            if (select(0, &readable, nullptr, nullptr, &step) > 0 && recv(client, buffer, sizeof buffer, 0) <= 0)
                break;  // the client has gone
        }
        closesocket(client);
    }
}

}  // namespace tarvik::bench
