// Lets threads wait, with or without a time limit, until another thread says
// that the state they share has changed. Windows' own condition variables
// begin with Vista; this one works on XP too: each waiter waits on an event
// of its own, queued in order of arrival, and a notice sets the events of
// the waiters it wakes, so no notice is lost or taken by a later waiter.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>

#include "system/critical_section_win.h"
#include "system/steady_clock_win.h"

namespace tarvik::fw {

class Condition {
public:
    Condition() = default;
    Condition(const Condition&) = delete;
    Condition& operator=(const Condition&) = delete;

    // Each wait lets go of the guard's lock while it waits and has it again
    // when it returns. The caller holds that lock exactly once (a lock taken
    // twice would stay held, and the notice would never come). As with any
    // condition, a wait may also end without a notice (when Windows has no
    // event to give): wait in a loop on the shared state, or use the forms
    // with a predicate.
    void Wait(Guard& guard) { WaitFor(guard, std::chrono::milliseconds(INFINITE)); }
    // False when the time ran out before a notice came.
    bool WaitFor(Guard& guard, std::chrono::milliseconds timeout);

    // Wait until `done` holds; a notice only makes the waiter look again.
    template <class Predicate>
    void Wait(Guard& guard, Predicate done) {
        while (!done()) Wait(guard);
    }
    // False when the time ran out with `done` still false.
    template <class Predicate>
    bool WaitFor(Guard& guard, std::chrono::milliseconds timeout, Predicate done) {
        const auto until = SteadyClock::now() + std::min(timeout, kLongestWait);
        while (!done()) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - SteadyClock::now());
            if (left.count() <= 0) return false;
            WaitFor(guard, left);
        }
        return true;
    }

    void NotifyOne();
    void NotifyAll();

private:
    struct Waiter;
    // The longest wait with a limit: one millisecond short of INFINITE.
    static constexpr std::chrono::milliseconds kLongestWait{INFINITE - 1};

    CriticalSection queueLock_;
    Waiter* first_ = nullptr;
    Waiter* last_ = nullptr;
};

}  // namespace tarvik::fw
