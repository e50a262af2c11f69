#include "system/steady_clock_win.h"

#include <windows.h>

#include <atomic>

namespace tarvik::fw {

namespace {

long long CounterFrequency() {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart > 0 ? frequency.QuadPart : 1;
}

// Counts since the counter started, in nanoseconds, without overflowing in
// the multiplication for centuries of uptime.
long long CounterNanoseconds() {
    static const long long frequency = CounterFrequency();
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    const long long whole = counter.QuadPart / frequency;
    const long long part = counter.QuadPart % frequency;
    return whole * 1000000000LL + part * 1000000000LL / frequency;
}

}  // namespace

SteadyClock::time_point SteadyClock::now() noexcept {
    static std::atomic<long long> latest{0};
    long long seen = latest.load();
    const long long counted = CounterNanoseconds();
    // Keep the later of this reading and the latest one given out.
    while (counted > seen && !latest.compare_exchange_weak(seen, counted)) {
    }
    return time_point(duration(counted > seen ? counted : seen));
}

}  // namespace tarvik::fw
