#include "framework/condition_win.h"

#include "framework/event_win.h"

namespace tarvik::fw {

struct Condition::Waiter {
    Event wake{Event::Kind::AutoReset};
    Waiter* next = nullptr;
    bool notified = false;
};

bool Condition::WaitFor(Guard& guard, std::chrono::milliseconds timeout) {
    const DWORD milliseconds = timeout.count() <= 0 ? 0
                               : timeout.count() >= static_cast<long long>(INFINITE)
                                   ? INFINITE
                                   : static_cast<DWORD>(timeout.count());
    Waiter self;
    {
        Guard queue(queueLock_);
        (last_ ? last_->next : first_) = &self;
        last_ = &self;
    }
    guard.Leave();
    self.wake.Wait(milliseconds);
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
    waiter->wake.Set();
}

void Condition::NotifyAll() {
    Guard queue(queueLock_);
    for (Waiter* waiter = first_; waiter;) {
        Waiter* next = waiter->next;
        waiter->notified = true;
        waiter->wake.Set();
        waiter = next;
    }
    first_ = last_ = nullptr;
}

}  // namespace tarvik::fw
