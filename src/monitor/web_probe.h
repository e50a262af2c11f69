// Checks a web address by fetching it with an HTTP/1.0 GET on port 80.
#pragma once

#include <cstddef>

#include "base/text.h"

namespace tarvik {

// Reading stops here: a server that streams without end must not freeze the
// program or exhaust its memory.
constexpr std::size_t kWebProbeMaxBodyBytes = 1024 * 1024;

// The response body (whatever the status), empty when the request fails or
// the body is empty. Each 1024-byte chunk is kept up to its first zero byte.
Text WebProbe(const Text& url);

}  // namespace tarvik
