// Splitting a web address into the host and the object to request. Only the
// "http://" prefix is recognised; the port is always 80.
#pragma once

#include "base/text.h"

namespace tarvik {

// The text before the first "/", after dropping the first seven characters
// when "http://" occurs anywhere; the whole remaining text when that part is
// empty.
Text ExtractHost(const Text& url);

// Everything after the first occurrence of `host` in `url` and the one
// character that follows it (normally the "/"), with no leading "/".
Text ObjectName(const Text& url, const Text& host);

}  // namespace tarvik
