// Checks an IP address or host name by sending it echo requests.
#pragma once

#include "base/text.h"

namespace tarvik {

// "Есть связь" when the target answers one of up to three ICMP echo
// requests, empty otherwise. A host name is looked up first (its first IPv4
// address); blanks anywhere in the target are ignored. Where ICMP.DLL is
// missing or incomplete, whether the name service knows the target decides.
// Reports an empty target, an incomplete ICMP library and a failed WinSock
// start in message boxes. Holds nothing between calls.
Text AddressProbe(const Text& target);

}  // namespace tarvik
