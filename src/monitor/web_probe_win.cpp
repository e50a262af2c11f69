#include "monitor/web_probe.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <optional>

#include "monitor/internet_handle_win.h"
#include "monitor/web_address.h"
#include "system/cancellation_win.h"
#include "system/critical_section_win.h"
#include "system/steady_clock_win.h"

namespace tarvik {

namespace {

constexpr char kAgent[] = "RQNV";
constexpr char kContentType[] = "Content-Type: application/x-www-form-urlencoded\r\n";
static_assert(sizeof kContentType - 1 == 49, "the header line is sent with its CR LF");
constexpr DWORD kAddOrReplace = HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE;  // 0xA0000000
constexpr std::size_t kChunkBytes = 1024;
// Always from the server, and nothing into the user's cache: a reload still
// stores what it fetches, and under a failing server every empty answer
// would leave a file there (the request on the wire is the same).
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;

using Clock = fw::SteadyClock;

// The probe's handles, closed by the probe on its way out, or sooner by the
// thread that waits for the probe, to end a call blocked on them (Windows
// ends it; Wine lets it run on to its own end). Shared with that thread's
// cancel action, which may run after the probe has moved on.
class RequestHandles {
public:
    // Keeps a handle just opened: null when opening failed, or when the
    // request was cancelled meanwhile (the handle is closed at once then).
    HINTERNET Keep(HINTERNET handle) {
        if (!handle) return nullptr;
        InternetHandle owned(handle);
        fw::Guard guard(lock_);
        if (closed_) return nullptr;
        handles_[count_++] = std::move(owned);
        return handle;
    }
    // The last opened first; once closed, nothing is to be done with them.
    void CloseAll() {
        fw::Guard guard(lock_);
        closed_ = true;
        while (count_ > 0) handles_[--count_].Reset();
    }
    bool Closed() const {
        fw::Guard guard(lock_);
        return closed_;
    }

private:
    mutable fw::CriticalSection lock_;
    InternetHandle handles_[3];  // session, connection, request
    int count_ = 0;
    bool closed_ = false;
};

// Connecting and sending the request have time-outs of WinINet's, but
// WinINet may not keep them (a dropped connect held the request for minutes
// under Wine, whatever was set): the thread that waits for the probe keeps
// them too, cancelling the request when one runs out.
struct PhaseLimits {
    fw::Cancellation& cancellation;
    std::chrono::milliseconds connect, send;
};

void CALLBACK OnRequestStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID, DWORD) noexcept {
    try {
        // Closing a handle reports here too, maybe on another thread: only
        // the four steps of the request's own call look at the context.
        switch (status) {
        case INTERNET_STATUS_CONNECTING_TO_SERVER:
        case INTERNET_STATUS_SENDING_REQUEST: {
            const auto& limits = *reinterpret_cast<const PhaseLimits*>(context);
            const bool connecting = status == INTERNET_STATUS_CONNECTING_TO_SERVER;
            limits.cancellation.CancelAt(Clock::now() + (connecting ? limits.connect : limits.send));
            break;
        }
        case INTERNET_STATUS_CONNECTED_TO_SERVER:
        case INTERNET_STATUS_REQUEST_SENT:
            reinterpret_cast<const PhaseLimits*>(context)->cancellation.ClearDeadline();
            break;
        default: break;
        }
    } catch (...) {
    }
}

void SetTimeout(const WinInet& net, HINTERNET handle, DWORD option, std::chrono::milliseconds value) {
    DWORD milliseconds = static_cast<DWORD>(std::max<std::chrono::milliseconds::rep>(value.count(), 1));
    net.InternetSetOptionA(handle, option, &milliseconds, sizeof milliseconds);
}

// Fills the buffer as one read of the whole size would, but without
// waiting for bytes that have not arrived: a single read waits until the
// buffer is full, so a server that sends a byte now and then would hold it
// for as long as it likes. Gives the bytes read; `ended` when the body ended,
// a read failed or the time is up.
std::size_t FillChunk(const WinInet& net, const RequestHandles& handles, HINTERNET request, char* buffer,
                      std::size_t size, Clock::time_point deadline, std::chrono::milliseconds receive, bool& ended) {
    std::size_t filled = 0;
    while (filled < size && !handles.Closed()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) break;
        // No wait for data may carry the probe past its bound.
        SetTimeout(net, request, INTERNET_OPTION_RECEIVE_TIMEOUT, std::min(receive, left));
        DWORD available = 0;
        if (!net.InternetQueryDataAvailable(request, &available, 0, 0) || available == 0) break;
        DWORD read = 0;
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(available, size - filled));
        if (!net.InternetReadFile(request, buffer + filled, wanted, &read) || read == 0) break;
        filled += std::min<std::size_t>(read, wanted);
    }
    ended = filled < size;
    return filled;
}

// Reads 1024-byte chunks. A failing read keeps what came before it; so does
// running out of time.
Text ReadBody(const WinInet& net, const RequestHandles& handles, HINTERNET request, Clock::time_point deadline,
              std::chrono::milliseconds receive) {
    Text body;
    char buffer[kChunkBytes];
    std::size_t total = 0;
    bool ended = false;
    while (!ended && total < kWebProbeMaxBodyBytes) {
        std::memset(buffer, 0, sizeof buffer);
        const std::size_t read = FillChunk(net, handles, request, buffer, sizeof buffer, deadline, receive, ended);
        total += read;
        // A zero byte ends the chunk's text.
        body.append(buffer, strnlen(buffer, read));
    }
    return body;
}

}  // namespace

Text WebProbe(const Text& url) { return WebProbe(url, WebProbeLimits()); }

Text WebProbe(const Text& url, const WebProbeLimits& limits) {
    const Text host = ExtractHost(url);
    const Text object = ObjectName(url, host);
    const WinInet* library = WinInetLibrary();
    if (!library) return Text();
    const WinInet& net = *library;

    // On a bounded worker, the waiting thread can end the request and keep
    // its time-outs; elsewhere WinINet's own are all there is.
    fw::Cancellation* cancellation = fw::Cancellation::OfThisThread();
    std::optional<PhaseLimits> phases;
    if (cancellation) phases.emplace(PhaseLimits{*cancellation, limits.connect, limits.send});
    const auto handles = std::make_shared<RequestHandles>();
    const fw::Cancellation::Hook hook(cancellation, [handles] { handles->CloseAll(); });

    const HINTERNET session =
        handles->Keep(net.InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return Text();
    const HINTERNET connection = handles->Keep(net.InternetConnectA(
        session, host.c_str(), INTERNET_DEFAULT_HTTP_PORT, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return Text();
    const char* acceptTypes[] = {"text/*", nullptr};
    // WinINet reports the request's steps only for a context that is not 0.
    const auto context = phases ? reinterpret_cast<DWORD_PTR>(&*phases) : 0;
    const HINTERNET request = handles->Keep(
        net.HttpOpenRequestA(connection, "GET", object.c_str(), "HTTP/1.0", "", acceptTypes, kRequestFlags, context));
    if (!request) return Text();
    if (phases) net.InternetSetStatusCallbackA(request, &OnRequestStatus);
    // Without time-outs a silent server holds the request for minutes. Set
    // on the request itself: Wine does not pass a session's on to it.
    SetTimeout(net, request, INTERNET_OPTION_CONNECT_TIMEOUT, limits.connect);
    SetTimeout(net, request, INTERNET_OPTION_SEND_TIMEOUT, limits.send);
    SetTimeout(net, request, INTERNET_OPTION_RECEIVE_TIMEOUT, limits.receive);
    if (!net.HttpAddRequestHeadersA(request, kContentType, sizeof kContentType - 1, kAddOrReplace)) return Text();
    if (handles->Closed() || !net.HttpSendRequestA(request, nullptr, 0, nullptr, 0)) return Text();
    // The reading bound counts from here: a slow look-up or connection
    // before it has waits of its own, and must not eat into the body's time.
    const Clock::time_point deadline = Clock::now() + limits.reading;
    return ReadBody(net, *handles, request, deadline, limits.receive);
}

}  // namespace tarvik
