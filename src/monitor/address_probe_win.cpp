#include "monitor/address_probe.h"

#include <winsock2.h>

#include <windows.h>

#include "framework/handles_win.h"
#include "framework/message_box_win.h"
#include "framework/system_library_win.h"
#include "monitor/winsock_session_win.h"

namespace tarvik {

namespace {

// The ICMP library is only checked for its entry points, never called; it
// is released at once so that repeated probes hold nothing.
void CheckIcmpLibrary() {
    const fw::LibraryHandle icmp = fw::LoadSystemLibrary("ICMP.DLL");
    if (!icmp) return;
    if (!GetProcAddress(icmp.Get(), "IcmpCreateFile") || !GetProcAddress(icmp.Get(), "IcmpCloseHandle") ||
        !GetProcAddress(icmp.Get(), "IcmpSendEcho")) {
        fw::AppMessageBox("Erro pegando endereзos ICMP", "Error", 0);
    }
}

bool NameServiceKnows(const Text& address) {
    if (address.empty()) return false;
    // 255.255.255.255 gives INADDR_NONE too and so goes to the name look-up.
    const unsigned long numeric = inet_addr(address.c_str());
    if (numeric != INADDR_NONE)
        return gethostbyaddr(reinterpret_cast<const char*>(&numeric), 4, AF_INET) != nullptr;
    return gethostbyname(address.c_str()) != nullptr;
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

    CheckIcmpLibrary();

    WinSockSession winsock(MAKEWORD(1, 1));
    if (!winsock.Started()) {
        // A start of our own failed: no look-up, even where some other part
        // of the process has WinSock running and it would answer; and no
        // cleanup, which would undo that other start.
        fw::AppMessageBox("Нет ip адреса", "WSAStartup", 0);
        return Text();
    }
    return NameServiceKnows(address) ? Text("Есть связь") : Text();
}

}  // namespace tarvik
