#include "system/condition_win.h"

#include "system/handles_win.h"

namespace tarvik::fw {

struct Condition::Waiter {
    KernelHandle wake{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    Waiter* next = nullptr;
    bool notified = false;
};

bool Condition::WaitFor(Guard& guard, std::chrono::milliseconds timeout) {
    const DWORD milliseconds = timeout.count() <= 0 ? 0
                               : timeout.count() >= static_cast<long long>(INFINITE)
                                   ? INFINITE
                                   : static_cast<DWORD>(timeout.count());
    Waiter self;
    if (!self.wake) {
        // Windows has no event to give: end the wait early, as a condition
        // may, rather than fail the waiter; it looks at its state again.
        guard.Leave();
        Sleep(1);
        guard.Enter();
        return true;
    }
    {
        Guard queue(queueLock_);
        (last_ ? last_->next : first_) = &self;
        last_ = &self;
    }
    guard.Leave();
    WaitForSingleObject(self.wake.Get(), milliseconds);
    bool notified;
    {
        // A notice that came after the time ran out still counts; one that
        // did not come must not find this waiter any more once it is gone.
        // Taking the queue's lock also waits for a notifier still at work on
        // this waiter's event.
        Guard queue(queueLock_);
        notified = self.notified;
        if (!notified) {
            Waiter** link = &first_;
            Waiter* previous = nullptr;
            while (*link != &self) {
                previous = *link;
                link = &(*link)->next;
            }
            *link = self.next;
            if (last_ == &self) last_ = previous;
        }
    }
    guard.Enter();
    return notified;
}

void Condition::NotifyOne() {
    Guard queue(queueLock_);
    Waiter* waiter = first_;
    if (!waiter) return;
    first_ = waiter->next;
    if (!first_) last_ = nullptr;
    waiter->notified = true;
    SetEvent(waiter->wake.Get());
}

void Condition::NotifyAll() {
    Guard queue(queueLock_);
    for (Waiter* waiter = first_; waiter;) {
        Waiter* next = waiter->next;
        waiter->notified = true;
        SetEvent(waiter->wake.Get());
        waiter = next;
    }
    first_ = last_ = nullptr;
}

}  // namespace tarvik::fw
