// Checks an IP address or host name by asking the name service for it.
#pragma once

#include "base/text.h"

namespace tarvik {

// "Есть связь" when the name service knows the target, empty otherwise.
// Blanks anywhere in the target are ignored. Reports an empty target, an
// incomplete ICMP library and a failed WinSock start in message boxes.
Text AddressProbe(const Text& target);

}  // namespace tarvik
