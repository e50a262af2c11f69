#include "bench_counts_win.h"

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>

namespace tarvik::bench {

// Open kernel handles: every handle value that the system accepts. Handle
// values are handed out lowest first, so a long run of unused ones ends it.
std::vector<ULONG_PTR> OpenHandles() {
    std::vector<ULONG_PTR> open;
    for (ULONG_PTR value = 4, misses = 0; misses < 1024; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            open.push_back(value);
            misses = 0;
        } else {
            ++misses;
        }
    }
    return open;
}

DWORD CountHandlesByProbing() { return static_cast<DWORD>(OpenHandles().size()); }

// The kind of object a handle stands for ("Event", "Thread", ...).
std::string HandleType(ULONG_PTR value) {
    alignas(8) unsigned char buffer[512];
    ULONG length = 0;
    if (NtQueryObject(reinterpret_cast<HANDLE>(value), ObjectTypeInformation, buffer, sizeof buffer, &length) != 0)
        return "?";
    const auto* info = reinterpret_cast<const PUBLIC_OBJECT_TYPE_INFORMATION*>(buffer);
    std::string name;
    for (USHORT i = 0; i < info->TypeName.Length / 2; ++i) name += static_cast<char>(info->TypeName.Buffer[i]);
    return name;
}

// The handles open now that were not open at `before`, with their kinds.
std::string NewHandles(const std::vector<ULONG_PTR>& before) {
    std::string kinds;
    for (ULONG_PTR value : OpenHandles())
        if (!std::binary_search(before.begin(), before.end(), value))
            kinds += (kinds.empty() ? "" : " ") + HandleType(value);
    return kinds.empty() ? "none" : kinds;
}

// GDI objects: the entries in use in the process's GDI handle table (the
// one the PEB points to, 64-bit layout). Windows keeps one table for all
// processes and marks each entry with its owner; Wine's table is the
// process's own and leaves the owner at 0, so then every used entry counts.
DWORD CountGdiObjectsInTable() {
#ifdef _WIN64
    struct Entry {
        ULONG64 object;
        USHORT processId, count, unique;
        UCHAR type, flags;
        ULONG64 user;
    };
    static_assert(sizeof(Entry) == 24, "the table's entry layout");
    constexpr int kEntries = 0x10000;
    PROCESS_BASIC_INFORMATION process{};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &process, sizeof process,
                                  nullptr) != 0 ||
        !process.PebBaseAddress)
        return 0;
    const Entry* table = *reinterpret_cast<const Entry* const*>(reinterpret_cast<const BYTE*>(process.PebBaseAddress) +
                                                                0xF8);
    if (!table) return 0;
    const auto self = static_cast<USHORT>(GetCurrentProcessId());
    DWORD used = 0, own = 0, marked = 0;
    for (int i = 0; i < kEntries; ++i) {
        if (!table[i].type) continue;
        ++used;
        if (table[i].processId) ++marked;
        if (table[i].processId == self) ++own;
    }
    return marked ? own : used;
#else
    return 0;  // the 32-bit table's layout differs; not counted
#endif
}

BOOL CALLBACK CountChildWindow(HWND, LPARAM counter) noexcept {
    ++*reinterpret_cast<DWORD*>(counter);
    return TRUE;
}

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM counter) noexcept {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) {
        ++*reinterpret_cast<DWORD*>(counter);
        EnumChildWindows(window, &CountChildWindow, counter);
    }
    return TRUE;
}

// USER objects, in part: the process's windows (top-level, message-only and
// children). Menus, icons and cursors are not seen this way.
DWORD CountWindows() {
    DWORD count = 0;
    EnumWindows(&CountOwnWindow, reinterpret_cast<LPARAM>(&count));
    for (HWND window = nullptr; (window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr));)
        CountOwnWindow(window, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Committed private memory, region by region: what PrivateUsage means.
SIZE_T CountPrivateBytes() {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return total;
}

SIZE_T CountHeapBytes() {
    HANDLE heaps[256];
    const DWORD count = std::min<DWORD>(GetProcessHeaps(256, heaps), 256);
    SIZE_T total = 0;
    for (DWORD i = 0; i < count; ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return total;
}

// The process's threads right now.
int CountThreads() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    CloseHandle(snapshot);
    return count;
}

Sample Measure(int cycle, Sources& sources) {
    Sample sample{cycle, 0, 0, 0, 0, 0, CountThreads()};
    const HANDLE self = GetCurrentProcess();
    if (!GetProcessHandleCount(self, &sample.handles) || sample.handles == 0) {
        sources.handles = false;
        sample.handles = CountHandlesByProbing();
    }
    sample.gdi = GetGuiResources(self, GR_GDIOBJECTS);
    if (sample.gdi == 0) {
        sources.gdi = false;
        sample.gdi = CountGdiObjectsInTable();
    }
    sample.user = GetGuiResources(self, GR_USEROBJECTS);
    if (sample.user == 0) {
        sources.user = false;
        sample.user = CountWindows();
    }
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        sample.privateBytes = memory.PrivateUsage;
    if (sample.privateBytes == 0) {
        sources.privateBytes = false;
        sample.privateBytes = CountPrivateBytes();
    }
    sample.heapBytes = CountHeapBytes();
    return sample;
}

const char* SourceName(bool system) { return system ? "system" : "own count"; }

}  // namespace tarvik::bench
