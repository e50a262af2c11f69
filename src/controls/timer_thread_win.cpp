#include "controls/timer_thread_win.h"

#include <chrono>
#include <exception>
#include <utility>
#include <vector>

#include "controls/tray_shell_win.h"
#include "framework/application_win.h"
#include "system/error_report_win.h"

namespace tarvik {

namespace {
// How often a closing thread looks again whether the application has ended.
constexpr std::chrono::milliseconds kClosingPoll{50};
}  // namespace

TTimerThread::TTimerThread(std::shared_ptr<TrayLock> lock, AnimatedIcon* owner, bool paused)
    : lock_(std::move(lock)), owner_(owner), paused_(paused) {
    SetFreeOnTerminate(true);
    Resume();
}

TTimerThread::~TTimerThread() {
    try {
        fw::Guard guard(lock_->section);
        // Only a loop left by an error ends with OwnerIcon still set; Stop
        // clears it.
        if (owner_) owner_->AnimationThreadEnded(*this);
    } catch (...) {
        fw::ReportCurrentException();
    }
}

void TTimerThread::Proceed() {
    paused_ = false;
    lock_->wake.NotifyAll();
}

void TTimerThread::Stop() {
    owner_ = nullptr;
    paused_ = false;
    // Wake the thread before setting the flag: a thread that has not begun
    // its loop yet sees the flag, skips the loop and deletes this object at
    // once, so nothing of it may be touched after Terminate. A woken thread
    // still waits for the lock the caller holds and then sees the flag.
    lock_->wake.NotifyAll();
    Terminate();
}

bool TTimerThread::Closing() const {
    return Terminated() || owner_ == nullptr || fw::Application::Instance().Terminated();
}

void TTimerThread::Execute() {
    // Keep the lock alive on our own: the icon may be gone before we end.
    const std::shared_ptr<TrayLock> lock = lock_;
    fw::Guard guard(lock->section);
    while (!Terminated()) {
        if (Closing()) {
            lock->wake.WaitFor(guard, kClosingPoll, [this] { return Terminated(); });
            continue;
        }
        if (paused_) {
            lock->wake.Wait(guard, [this] { return !paused_ || Closing(); });
            continue;
        }
        lock->wake.WaitFor(guard, std::chrono::milliseconds(owner_->Interval()), [this] { return Closing(); });
        if (Closing() || paused_ || !owner_->Animated()) continue;

        std::exception_ptr error;
        std::vector<TrayShellRequest> requests;
        try {
            requests = owner_->AdvanceFrame();
        } catch (...) {
            error = std::current_exception();
        }
        {
            // The shell lock first, then the icon's goes: the owning thread
            // changes the icon meanwhile, and its own requests wait for
            // these. Let it in between frames, even with an Interval of 0,
            // and never show the error box while holding a lock.
            fw::Guard shell(lock->shell);
            guard.Leave();
            try {
                SendTrayRequests(requests);
            } catch (...) {
                if (!error) error = std::current_exception();
            }
        }
        if (error) {
            try {
                std::rethrow_exception(error);
            } catch (...) {
                fw::ReportCurrentException();
            }
        } else {
            SwitchToThread();
        }
        guard.Enter();
    }
}

}  // namespace tarvik
