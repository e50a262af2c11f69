#include "monitor/web_address.h"

namespace tarvik {

Text ExtractHost(const Text& url) {
    Text rest = url;
    if (rest.find("http://") != Text::npos) rest.erase(0, 7);
    const std::size_t slash = rest.find('/');
    if (slash == Text::npos || slash == 0) return rest;
    return rest.substr(0, slash);
}

Text ObjectName(const Text& url, const Text& host) {
    const std::size_t at = url.find(host);
    // Not found cannot happen for a host taken from the same address; cut
    // only the host's length then, as a 1-based position of 0 would.
    const std::size_t cut = at == Text::npos ? host.size() : at + host.size() + 1;
    return cut >= url.size() ? Text() : url.substr(cut);
}

}  // namespace tarvik
