#include "system/cancellation_win.h"

#include <utility>

namespace tarvik::fw {

namespace {

DWORD Slot() {
    static const DWORD slot = TlsAlloc();
    return slot;
}

}  // namespace

Cancellation* Cancellation::OfThisThread() {
    const DWORD slot = Slot();
    return slot == TLS_OUT_OF_INDEXES ? nullptr : static_cast<Cancellation*>(TlsGetValue(slot));
}

void Cancellation::SetOfThisThread(Cancellation* cancellation) {
    const DWORD slot = Slot();
    if (slot != TLS_OUT_OF_INDEXES) TlsSetValue(slot, cancellation);
}

Cancellation::Hook::Hook(Cancellation* cancellation, std::function<void()> action) : cancellation_(cancellation) {
    if (!cancellation_) return;
    Guard guard(cancellation_->lock_);
    if (!cancellation_->cancelled_) {
        cancellation_->action_ = std::move(action);
        return;
    }
    guard.Leave();
    action();
}

Cancellation::Hook::~Hook() {
    if (!cancellation_) return;
    std::function<void()> action;  // what it owns goes after the lock is given back
    Guard guard(cancellation_->lock_);
    action = std::exchange(cancellation_->action_, nullptr);
}

void Cancellation::CancelAt(TimePoint deadline) {
    {
        Guard guard(lock_);
        deadline_ = deadline;
    }
    if (onDeadlineChanged_) onDeadlineChanged_();
}

void Cancellation::ClearDeadline() {
    {
        Guard guard(lock_);
        if (!deadline_) return;
        deadline_.reset();
    }
    if (onDeadlineChanged_) onDeadlineChanged_();
}

void Cancellation::SetOnDeadlineChanged(std::function<void()> listener) { onDeadlineChanged_ = std::move(listener); }

bool Cancellation::Cancelled() const {
    Guard guard(lock_);
    return cancelled_;
}

void Cancellation::Cancel() {
    Guard guard(lock_);
    if (cancelled_) return;
    cancelled_ = true;
    deadline_.reset();
    std::function<void()> action = std::exchange(action_, nullptr);
    // Outside the lock: the action may wait on the platform, and the work's
    // own calls here must not wait on it.
    guard.Leave();
    if (action) action();
}

std::optional<Cancellation::TimePoint> Cancellation::Deadline() const {
    Guard guard(lock_);
    return deadline_;
}

void Cancellation::Reset() {
    std::function<void()> action;  // what it owns goes after the lock is given back
    Guard guard(lock_);
    action = std::exchange(action_, nullptr);
    cancelled_ = false;
    deadline_.reset();
}

}  // namespace tarvik::fw
