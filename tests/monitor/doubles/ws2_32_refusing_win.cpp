// Stands in for WS2_32.DLL with a WinSock that will not start. The name
// service would still answer, so a probe that looked up anyway would report
// the target as reachable. The test reads the counts through TestGetCounts.
#include <windows.h>

namespace {
int startups = 0, cleanups = 0, lookups = 0;

// A host entry that says "found" to whoever asks.
char name[] = "anyhost";
char* noAliases[] = {nullptr};
char address[4] = {127, 0, 0, 1};
char* addresses[] = {address, nullptr};
struct HostEntry {
    char* h_name;
    char** h_aliases;
    short h_addrtype;
    short h_length;
    char** h_addr_list;
} entry = {name, noAliases, 2, 4, addresses};
}  // namespace

extern "C" __declspec(dllexport) int WINAPI WSAStartup(WORD, void*) {
    ++startups;
    return 10091;  // WSASYSNOTREADY
}
extern "C" __declspec(dllexport) int WINAPI WSACleanup() {
    ++cleanups;
    return 0;
}
extern "C" __declspec(dllexport) unsigned long WINAPI inet_addr(const char*) { return 0x0100007F; }
extern "C" __declspec(dllexport) void* WINAPI gethostbyaddr(const char*, int, int) {
    ++lookups;
    return &entry;
}
extern "C" __declspec(dllexport) void* WINAPI gethostbyname(const char*) {
    ++lookups;
    return &entry;
}

extern "C" __declspec(dllexport) void WINAPI TestGetCounts(int* counts) {
    counts[0] = startups;
    counts[1] = cleanups;
    counts[2] = lookups;
}
