// Stands in for NetApi32.dll without NetMessageBufferSend.
#include <windows.h>

extern "C" __declspec(dllexport) DWORD WINAPI NetApiBufferFree(LPVOID) { return 0; }
