// What the bench counts in its own process: kernel handles, GDI and USER
// objects, private and heap memory, threads.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tarvik::bench {

struct Sample {
    int cycle;
    DWORD handles, gdi, user;
    SIZE_T privateBytes;
    // The blocks in use in the process's heaps: what is really allocated,
    // as against private memory, which also holds the heaps' free space.
    SIZE_T heapBytes;
    int threads;
};

// Where each figure comes from. Wine 8 answers GetProcessHandleCount with 0,
// GetGuiResources with 0 (not implemented) and PrivateUsage with 0; the
// bench then counts for itself, as below, and says so.
struct Sources {
    bool handles = true, gdi = true, user = true, privateBytes = true;  // true: the system's own figure
};

// Open kernel handles: every handle value that the system accepts.
std::vector<ULONG_PTR> OpenHandles();
// The handles open now that were not open at `before`, with their kinds.
std::string NewHandles(const std::vector<ULONG_PTR>& before);
// The process's threads right now.
int CountThreads();
// Every count now, each from the system where it gives one (`sources`
// records where it does not).
Sample Measure(int cycle, Sources& sources);
const char* SourceName(bool system);

}  // namespace tarvik::bench
