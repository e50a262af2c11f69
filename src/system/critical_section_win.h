// A lock for data that threads share, on a Windows critical section (every
// Windows has them): a thread may take it again while it holds it, and each
// Enter needs its Leave. Guard holds it for a scope.
#pragma once

#include <windows.h>

namespace tarvik::fw {

class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&section_); }
    ~CriticalSection() { DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter() { EnterCriticalSection(&section_); }
    void Leave() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

// Takes the lock at once and gives it back on the way out. Leave and Enter
// open a stretch without it inside the scope (never show a box or call out
// while holding a lock that another thread waits for).
class Guard {
public:
    explicit Guard(CriticalSection& section) : section_(section) { section_.Enter(); }
    ~Guard() {
        if (held_) section_.Leave();
    }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

    void Leave() {
        section_.Leave();
        held_ = false;
    }
    void Enter() {
        section_.Enter();
        held_ = true;
    }

private:
    CriticalSection& section_;
    bool held_ = true;
};

}  // namespace tarvik::fw
