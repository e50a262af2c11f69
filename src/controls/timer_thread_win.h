// TTimerThread: the animation thread of a TTrayIcon. It sleeps for the
// icon's Interval and then advances the icon's frame itself, so the icon
// keeps changing while the owning thread is busy (a check can take seconds).
//
// The icon and its threads share one lock (TrayLock). Everything the thread
// touches - its OwnerIcon, its pause flag and the icon's state - is read and
// written under it, and the frame advance runs under it; the icon stops a run
// by clearing OwnerIcon under the lock, so no advance can follow the stop or
// reach a destroyed icon. Pausing is a flag the thread waits on rather than
// SuspendThread: a thread suspended while holding the lock would block the
// owning thread for good.
//
// The thread tells the shell of a new frame after it has let go of the lock,
// so that a slow shell never holds the owning thread through it (every
// check switches the animation). Every call to the shell is made holding
// TrayLock::shell, and the thread takes that one before it lets go of the
// other: the shell sees the requests in the order of the changes.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "controls/tray_shell_win.h"
#include "system/condition_win.h"
#include "system/critical_section_win.h"
#include "system/thread_win.h"

namespace tarvik {

class TTimerThread;

// What the thread needs of the icon it ticks for (its OwnerIcon), all of it
// called with the lock's section held.
class AnimatedIcon {
public:
    virtual std::uint16_t Interval() const = 0;
    virtual bool Animated() const = 0;
    // One frame advance; the shell requests it made, still to be sent.
    virtual std::vector<TrayShellRequest> AdvanceFrame() = 0;
    // The thread ended without being stopped.
    virtual void AnimationThreadEnded(TTimerThread& thread) = 0;

protected:
    ~AnimatedIcon() = default;
};

class TTimerThread : public fw::Thread {
public:
    // Starts at once (paused when `paused`); frees itself once it has been
    // stopped and its loop has ended. The caller holds lock->section.
    TTimerThread(std::shared_ptr<TrayLock> lock, AnimatedIcon* owner, bool paused);
    // However the loop ended, an icon that still knows the thread forgets it
    // here: nothing may keep a pointer to the freed object.
    ~TTimerThread() override;

    // The rest is called with lock->section held.
    bool Paused() const { return paused_; }
    void Pause() { paused_ = true; }
    void Proceed();
    // Forgets OwnerIcon, lets the thread go on and tells it to end. The
    // caller must not touch the object afterwards: it deletes itself.
    void Stop();

protected:
    void Execute() override;

private:
    bool Closing() const;

    std::shared_ptr<TrayLock> lock_;
    AnimatedIcon* owner_;
    bool paused_;
};

}  // namespace tarvik
