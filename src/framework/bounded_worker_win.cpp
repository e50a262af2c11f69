#include "framework/bounded_worker_win.h"

#include <windows.h>

#include <algorithm>
#include <exception>

#include "framework/application_win.h"
#include "framework/event_win.h"
#include "framework/message_box_win.h"
#include "framework/steady_clock_win.h"
#include "framework/thread_win.h"

namespace tarvik::fw {

// What the worker and the waiter share: it lives as long as either needs it.
struct BoundedWorker::State {
    Event done{Event::Kind::ManualReset};
    std::exception_ptr error;
};

// Frees itself when the work has ended. It holds nothing of the caller's:
// the work's own copies and the shared state.
class BoundedWorker::WorkerThread : public Thread {
public:
    WorkerThread(std::function<void()> work, std::shared_ptr<State> state)
        : work_(std::move(work)), state_(std::move(state)) {
        SetFreeOnTerminate(true);
    }

protected:
    void Execute() override {
        try {
            work_();
        } catch (...) {
            state_->error = std::current_exception();
        }
        // The work's copies go before the waiter hears of the end.
        work_ = nullptr;
        state_->done.Set();
    }

private:
    std::function<void()> work_;
    std::shared_ptr<State> state_;
};

BoundedWorker::Outcome BoundedWorker::Run(std::function<void()> work) {
    using std::chrono::milliseconds;
    leftBehind_.erase(std::remove_if(leftBehind_.begin(), leftBehind_.end(),
                                     [](const std::shared_ptr<State>& left) { return left->done.Wait(0); }),
                      leftBehind_.end());
    if (!leftBehind_.empty()) return Outcome::Busy;
    auto state = std::make_shared<State>();
    (new WorkerThread(std::move(work), state))->Resume();  // from here on it belongs to itself

    Application& application = Application::Instance();
    const unsigned quitsBefore = application.QuitsMet();
    const SteadyClock::time_point start = SteadyClock::now();
    const SteadyClock::duration boxTimeAtStart = TimeWithBoxOpen();
    const HANDLE done = state->done.Handle();
    for (;;) {
        const SteadyClock::duration spent = (SteadyClock::now() - start) - (TimeWithBoxOpen() - boxTimeAtStart);
        const long long left = std::chrono::ceil<milliseconds>(bound_ - spent).count();
        if (left <= 0) {
            if (state->done.Wait(0)) break;
            leftBehind_.push_back(state);
            return Outcome::TimedOut;
        }
        // Input that a handler's own loop has seen but left in the queue
        // wakes the wait too (MWMO_INPUTAVAILABLE).
        const DWORD woke = MsgWaitForMultipleObjectsEx(1, &done, static_cast<DWORD>(std::min(left, 0x7FFFFFFFLL)),
                                                       QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0) break;
        if (woke == WAIT_OBJECT_0 + 1) {
            application.ProcessMessages();
            // The quit message, met here or by a loop of a handler: the
            // program is ending. The loop outside must see it too, and the
            // worker is left to itself.
            if (application.QuitsMet() != quitsBefore) {
                application.RepostQuit();
                leftBehind_.push_back(state);
                return Outcome::Dropped;
            }
        } else if (woke == WAIT_FAILED) {
            // Not expected; wait on the worker alone for a moment rather
            // than spin.
            state->done.Wait(10);
        }
    }
    if (state->error) std::rethrow_exception(state->error);
    return Outcome::Done;
}

}  // namespace tarvik::fw
