// Checks a web address by fetching it with an HTTP/1.0 GET on port 80.
#pragma once

#include <chrono>
#include <cstddef>

#include "base/text.h"

namespace tarvik {

// Reading stops here: a server that streams without end must not freeze the
// program or exhaust its memory.
constexpr std::size_t kWebProbeMaxBodyBytes = 1024 * 1024;

// How long a probe may wait: a server that accepts the connection and then
// stays silent, or trickles its body, must not hold the check for longer
// than this. (Headers trickled without end, or a name service that never
// answers, are left to the bound of the caller's worker.)
struct WebProbeLimits {
    // WinINet's own time-outs: connecting, sending, and each wait for data.
    // On a bounded worker, connecting and sending are also kept by the
    // waiting thread, which ends the request when one runs out: WinINet does
    // not always keep them.
    std::chrono::milliseconds connect{10000};
    std::chrono::milliseconds send{10000};
    std::chrono::milliseconds receive{10000};
    // Reading the body ends this long after the request has been sent (and
    // the response's headers have come); what was read by then is the
    // result. No wait for data runs past it either.
    std::chrono::milliseconds reading{15000};
};

// The response body (whatever the status), empty when the request fails or
// the body is empty. Each 1024-byte chunk is kept up to its first zero byte.
// On a bounded worker, a cancel closes the request's handles, which ends a
// call blocked on them.
Text WebProbe(const Text& url);
Text WebProbe(const Text& url, const WebProbeLimits& limits);

}  // namespace tarvik
