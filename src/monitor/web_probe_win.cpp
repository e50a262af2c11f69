#include "monitor/web_probe.h"

#include <windows.h>
#include <wininet.h>

#include <cstring>

#include "monitor/internet_handle_win.h"
#include "monitor/web_address.h"

namespace tarvik {

namespace {

constexpr char kAgent[] = "RQNV";
constexpr char kContentType[] = "Content-Type: application/x-www-form-urlencoded\r\n";
static_assert(sizeof kContentType - 1 == 49, "the header line is sent with its CR LF");
constexpr DWORD kAddOrReplace = HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE;  // 0xA0000000
constexpr std::size_t kChunkBytes = 1024;

// A failing read keeps what came before it.
Text ReadBody(HINTERNET request) {
    Text body;
    char buffer[kChunkBytes];
    std::size_t total = 0;
    while (total < kWebProbeMaxBodyBytes) {
        std::memset(buffer, 0, sizeof buffer);
        DWORD read = 0;
        if (!InternetReadFile(request, buffer, sizeof buffer, &read) || read == 0) break;
        if (read > sizeof buffer) read = sizeof buffer;
        total += read;
        // A zero byte ends the chunk's text.
        body.append(buffer, strnlen(buffer, read));
    }
    return body;
}

}  // namespace

Text WebProbe(const Text& url) {
    const Text host = ExtractHost(url);
    const Text object = ObjectName(url, host);

    // Declared in the order of opening, so they close in reverse.
    InternetHandle session(InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return Text();
    InternetHandle connection(InternetConnectA(session.Get(), host.c_str(), INTERNET_DEFAULT_HTTP_PORT, nullptr,
                                               nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return Text();
    const char* acceptTypes[] = {"text/*", nullptr};
    InternetHandle request(HttpOpenRequestA(connection.Get(), "GET", object.c_str(), "HTTP/1.0", "", acceptTypes,
                                            INTERNET_FLAG_RELOAD, 0));
    if (!request) return Text();
    if (!HttpAddRequestHeadersA(request.Get(), kContentType, sizeof kContentType - 1, kAddOrReplace)) return Text();
    if (!HttpSendRequestA(request.Get(), nullptr, 0, nullptr, 0)) return Text();
    return ReadBody(request.Get());
}

}  // namespace tarvik
