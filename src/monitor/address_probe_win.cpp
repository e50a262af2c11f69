#include "monitor/address_probe.h"

#include <winsock2.h>

#include <windows.h>

#include <cstring>

#include "monitor/icmp_echo_win.h"
#include "monitor/winsock_session_win.h"
#include "system/message_box_win.h"

namespace tarvik {

namespace {

// Where no echo can be sent, whether the name service knows the target (a
// dotted address by its reverse record) is all there is to go by.
bool NameServiceKnows(const Text& address) {
    if (address.empty()) return false;
    const unsigned long numeric = inet_addr(address.c_str());
    if (numeric != INADDR_NONE)
        return gethostbyaddr(reinterpret_cast<const char*>(&numeric), 4, AF_INET) != nullptr;
    return gethostbyname(address.c_str()) != nullptr;
}

// The IPv4 address to send the echo to: a dotted address as it stands (no
// look-up), anything else by the name service, whose first address counts.
bool ResolveAddress(const Text& address, IPAddr& resolved) {
    if (address.empty()) return false;
    // 255.255.255.255 gives INADDR_NONE too and so goes to the name look-up.
    const unsigned long numeric = inet_addr(address.c_str());
    if (numeric != INADDR_NONE) {
        resolved = numeric;
        return true;
    }
    const hostent* entry = gethostbyname(address.c_str());
    if (!entry || entry->h_addrtype != AF_INET || entry->h_length != 4 || !entry->h_addr_list ||
        !entry->h_addr_list[0])
        return false;
    std::memcpy(&resolved, entry->h_addr_list[0], 4);
    return true;
}

}  // namespace

Text AddressProbe(const Text& target) {
    if (target.empty()) {
        fw::AppMessageBox("Digite um HostName ou um End. IP", "Error", 0);
        return Text();
    }
    Text address;
    for (char c : target)
        if (c != ' ') address += c;

    const IcmpEcho icmp;
    if (icmp.GetState() == IcmpEcho::State::Incomplete) fw::AppMessageBox("Erro pegando endereзos ICMP", "Error", 0);

    WinSockSession winsock(MAKEWORD(1, 1));
    if (!winsock.Started()) {
        // A start of our own failed: no look-up, even where some other part
        // of the process has WinSock running and it would answer; and no
        // cleanup, which would undo that other start.
        fw::AppMessageBox("Нет ip адреса", "WSAStartup", 0);
        return Text();
    }
    bool reachable = false;
    if (icmp.GetState() != IcmpEcho::State::Ready) {
        reachable = NameServiceKnows(address);
    } else {
        IPAddr resolved = 0;
        reachable = ResolveAddress(address, resolved) && icmp.Answered(resolved);
    }
    return reachable ? Text("Есть связь") : Text();
}

}  // namespace tarvik
