// Stands in for ICMP.DLL with IcmpSendEcho missing.
#include <windows.h>

extern "C" __declspec(dllexport) HANDLE WINAPI IcmpCreateFile() { return INVALID_HANDLE_VALUE; }
extern "C" __declspec(dllexport) BOOL WINAPI IcmpCloseHandle(HANDLE) { return TRUE; }
