#include "framework/bounded_worker_win.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <utility>

#include "framework/application_win.h"
#include "framework/cancellation_win.h"
#include "framework/event_win.h"
#include "framework/message_box_win.h"
#include "framework/steady_clock_win.h"
#include "framework/thread_win.h"

namespace tarvik::fw {

// What a worker thread and its waiter share: it lives as long as either
// needs it, so a worker left behind never reaches the waiter's memory.
struct BoundedWorker::State {
    Event wake{Event::Kind::AutoReset};  // work is there, or the worker is to end
    Event done{Event::Kind::ManualReset};  // the work has ended
    Cancellation cancellation;  // of the work in hand
    std::function<void()> work;
    std::exception_ptr error;
    std::atomic<bool> retire{false};  // end once the work in hand has ended
};

// Does one piece of work after the other; frees itself when told to retire.
// It holds nothing of the caller's: the work's own copies and the state.
class BoundedWorker::WorkerThread : public Thread {
public:
    explicit WorkerThread(std::shared_ptr<State> state) : state_(std::move(state)) { SetFreeOnTerminate(true); }

protected:
    void Execute() override {
        Cancellation::SetOfThisThread(&state_->cancellation);
        for (;;) {
            state_->wake.Wait();
            if (!state_->work) {
                if (state_->retire) return;
                continue;
            }
            try {
                state_->work();
            } catch (...) {
                state_->error = std::current_exception();
            }
            // The work's copies go before the waiter hears of the end.
            state_->work = nullptr;
            const bool retire = state_->retire;
            state_->done.Set();
            // Told to retire after this look: the wake it was given ends it.
            if (retire) return;
        }
    }

private:
    std::shared_ptr<State> state_;
};

BoundedWorker::~BoundedWorker() {
    for (const std::shared_ptr<State>& state : idle_) {
        state->retire = true;
        state->wake.Set();
    }
}

BoundedWorker::Outcome BoundedWorker::Run(std::function<void()> work) {
    using std::chrono::milliseconds;
    leftBehind_.erase(std::remove_if(leftBehind_.begin(), leftBehind_.end(),
                                     [](const std::shared_ptr<State>& left) { return left->done.Wait(0); }),
                      leftBehind_.end());
    if (leftBehind_.size() >= maxLeftBehind_) return Outcome::Busy;
    std::shared_ptr<State> state;
    if (idle_.empty()) {
        state = std::make_shared<State>();
        (new WorkerThread(state))->Resume();  // from here on it belongs to itself
    } else {
        state = std::move(idle_.back());
        idle_.pop_back();
    }
    // What can be ended ends now; the worker is left to end on its own, once
    // its work has.
    const auto leaveBehind = [this, &state] {
        state->cancellation.Cancel();
        state->retire = true;
        state->wake.Set();
        leftBehind_.push_back(state);
    };
    state->cancellation.Reset();
    state->done.Reset();
    state->work = std::move(work);
    state->wake.Set();

    Application& application = Application::Instance();
    const unsigned quitsBefore = application.QuitsMet();
    const SteadyClock::time_point start = SteadyClock::now();
    const SteadyClock::duration boxTimeAtStart = TimeWithBoxOpen();
    const HANDLE waits[] = {state->done.Handle(), state->cancellation.DeadlineChanged()};
    constexpr DWORD kWaits = sizeof waits / sizeof waits[0];
    for (;;) {
        const SteadyClock::time_point now = SteadyClock::now();
        const SteadyClock::duration spent = (now - start) - (TimeWithBoxOpen() - boxTimeAtStart);
        SteadyClock::duration left = bound_ - spent;
        // A time-out of the platform's that the work keeps through us, since
        // the platform may not.
        if (const auto deadline = state->cancellation.Deadline()) left = std::min(left, *deadline - now);
        const long long leftMs = std::chrono::ceil<milliseconds>(left).count();
        if (leftMs <= 0) {
            if (state->done.Wait(0)) break;
            leaveBehind();
            return Outcome::TimedOut;
        }
        // Input that a handler's own loop has seen but left in the queue
        // wakes the wait too (MWMO_INPUTAVAILABLE). While a menu is open
        // (a tick that came in its loop), its mouse and keys stay for it and
        // must not wake this wait over and over.
        const DWORD wait = static_cast<DWORD>(std::min(leftMs, 0x7FFFFFFFLL));
        const DWORD wake = Application::MenuOpen() ? QS_ALLINPUT & ~QS_INPUT : QS_ALLINPUT;
        const DWORD woke = MsgWaitForMultipleObjectsEx(kWaits, waits, wait, wake, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0) break;
        if (woke == WAIT_OBJECT_0 + kWaits) {
            application.ProcessMessages();
            // The quit message, met here or by a loop of a handler: the
            // program is ending. The loop outside must see it too, and the
            // worker is left to itself.
            if (application.QuitsMet() != quitsBefore) {
                application.RepostQuit();
                leaveBehind();
                return Outcome::Dropped;
            }
        } else if (woke == WAIT_FAILED) {
            // Not expected; wait on the worker alone for a moment rather
            // than spin.
            state->done.Wait(10);
        }
        // Otherwise the deadline changed, or the time is up: look again.
    }
    idle_.push_back(state);
    if (std::exception_ptr error = std::exchange(state->error, nullptr)) std::rethrow_exception(error);
    return Outcome::Done;
}

}  // namespace tarvik::fw
