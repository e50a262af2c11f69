// The listening socket of the loopback servers that the tests and the
// benchmark run inside their programs, on port 80 of an address of their own
// in 127.0.0.0/8. Needs no test framework.
#pragma once

#include <winsock2.h>

#include <string>

namespace tarvik::testing {

// A socket listening on `address`:80 with a queue of `backlog` (WinSock is
// started on first use), its address in `where`; INVALID_SOCKET when it
// cannot listen, with WSAGetLastError telling why (port 80 needs root).
SOCKET ListenOnPort80(const char* address, int backlog, sockaddr_in& where);

// Sends all of `bytes`; false once the peer has gone.
bool SendAll(SOCKET socket, const std::string& bytes);

}  // namespace tarvik::testing
