// How the thread that waits for a piece of work ends it early: the work
// says what ends the platform call it is blocked in (closing the handles
// that call waits on) and, for a time-out of the platform's that may not be
// kept, when the waiting side is to do so. The work runs on a worker
// thread (see BoundedWorker); the waiting side is the thread that started it.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "system/critical_section_win.h"
#include "system/steady_clock_win.h"

namespace tarvik::fw {

class Cancellation {
public:
    using TimePoint = SteadyClock::time_point;

    Cancellation() = default;
    Cancellation(const Cancellation&) = delete;
    Cancellation& operator=(const Cancellation&) = delete;

    // The cancellation of the work this thread does for a bounded worker;
    // null on every other thread, where nothing ends work early.
    static Cancellation* OfThisThread();
    static void SetOfThisThread(Cancellation* cancellation);

    // The work's side. While a hook lives, a cancel runs its action once, on
    // the cancelling thread; a hook made after the cancel runs it at once.
    // The action must own what it touches: the work may have moved on by the
    // time it runs. A null cancellation hooks nothing.
    class Hook {
    public:
        Hook(Cancellation* cancellation, std::function<void()> action);
        ~Hook();
        Hook(const Hook&) = delete;
        Hook& operator=(const Hook&) = delete;

    private:
        Cancellation* cancellation_;
    };

    // Asks the waiting side to cancel the work at `deadline`, unless the
    // work clears it first.
    void CancelAt(TimePoint deadline);
    void ClearDeadline();
    bool Cancelled() const;

    // The waiting side.
    void Cancel();
    std::optional<TimePoint> Deadline() const;
    // Called whenever the deadline changes, on the thread that changed it,
    // for the waiting side to look at it again.
    void SetOnDeadlineChanged(std::function<void()> listener);
    // Ready for the next piece of work: nothing hooked, no deadline, not
    // cancelled.
    void Reset();

private:
    mutable CriticalSection lock_;
    std::function<void()> action_;
    bool cancelled_ = false;
    std::optional<TimePoint> deadline_;
    std::function<void()> onDeadlineChanged_;  // set before any work runs
};

}  // namespace tarvik::fw
