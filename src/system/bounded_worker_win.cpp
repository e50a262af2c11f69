#include "system/bounded_worker_win.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <utility>

#include "system/cancellation_win.h"
#include "system/event_win.h"
#include "system/message_box_win.h"
#include "system/thread_win.h"

namespace tarvik::fw {

namespace {
const char kWorkerClass[] = "TarvikWorker";
constexpr UINT kWorkEnded = WM_APP + 1;       // wParam: the call's number
constexpr UINT kNothingStarted = WM_APP + 2;  // wParam: the call's number
constexpr UINT kDeadlineChanged = WM_APP + 3;
constexpr UINT_PTR kWatchTimer = 1;
}  // namespace

// What a worker thread and the starting side share: it lives as long as
// either needs it, so a worker left behind never reaches freed memory.
struct BoundedWorker::State {
    Event wake{Event::Kind::AutoReset};  // work is there, or the worker is to end
    Event done{Event::Kind::ManualReset};  // the work has ended
    Cancellation cancellation;  // of the work in hand
    std::function<void()> work;
    std::exception_ptr error;
    std::atomic<bool> retire{false};  // end once the work in hand has ended
    // Where the end of the work is told, and which call it was; written
    // before each wake.
    HWND notify = nullptr;
    unsigned call = 0;
};

// Does one piece of work after the other; frees itself when told to retire.
// It holds nothing of the starting side's: the work's own copies and the
// state.
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
            // The work's copies go before the starting side hears of the end.
            state_->work = nullptr;
            const bool retire = state_->retire;
            const HWND notify = state_->notify;
            const unsigned call = state_->call;
            state_->done.Set();
            // A window gone, or a call no longer waited for: nobody listens.
            PostMessageW(notify, kWorkEnded, call, 0);
            // Told to retire after this look: the wake it was given ends it.
            if (retire) return;
        }
    }

private:
    std::shared_ptr<State> state_;
};

BoundedWorker::BoundedWorker(std::chrono::milliseconds bound, std::size_t maxLeftBehind)
    : bound_(bound), maxLeftBehind_(maxLeftBehind) {
    RegisterOwnClass(kWorkerClass, 0, nullptr);
    CreateWindowHandle(0, kWorkerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr);
}

BoundedWorker::~BoundedWorker() {
    Abandon();
    for (const std::shared_ptr<State>& state : idle_) {
        state->retire = true;
        state->wake.Set();
    }
    DestroyWindowHandle();
}

bool BoundedWorker::Start(std::function<void()> work, Finished finished) {
    if (call_) return false;
    leftBehind_.erase(std::remove_if(leftBehind_.begin(), leftBehind_.end(),
                                     [](const std::shared_ptr<State>& left) { return left->done.Wait(0); }),
                      leftBehind_.end());
    const HWND window = WindowHandleOrNull();
    const unsigned id = ++lastCall_;
    if (leftBehind_.size() >= maxLeftBehind_) {
        // Its end still comes later, as every call's does.
        call_ = Call{id, nullptr, std::move(finished), SteadyClock::now(), TimeWithBoxOpen()};
        PostMessageW(window, kNothingStarted, id, 0);
        return true;
    }
    std::shared_ptr<State> state;
    if (idle_.empty()) {
        state = std::make_shared<State>();
        state->cancellation.SetOnDeadlineChanged([window] { PostMessageW(window, kDeadlineChanged, 0, 0); });
        (new WorkerThread(state))->Resume();  // from here on it belongs to itself
    } else {
        state = std::move(idle_.back());
        idle_.pop_back();
    }
    state->cancellation.Reset();
    state->done.Reset();
    state->work = std::move(work);
    state->notify = window;
    state->call = id;
    call_ = Call{id, state, std::move(finished), SteadyClock::now(), TimeWithBoxOpen()};
    state->wake.Set();
    Watch();
    return true;
}

void BoundedWorker::Abandon() {
    if (!call_) return;
    KillTimer(WindowHandleOrNull(), kWatchTimer);
    const std::shared_ptr<State> state = std::move(call_->state);
    call_.reset();
    if (state) LeaveBehind(state);
}

// What can be ended ends now; the worker is left to end on its own, once
// its work has.
void BoundedWorker::LeaveBehind(const std::shared_ptr<State>& state) {
    state->retire = true;
    state->cancellation.Cancel();
    state->wake.Set();
    leftBehind_.push_back(state);
}

void BoundedWorker::Watch() {
    if (!call_ || !call_->state) return;
    const SteadyClock::time_point now = SteadyClock::now();
    const SteadyClock::duration spent = (now - call_->start) - (TimeWithBoxOpen() - call_->boxTimeAtStart);
    SteadyClock::duration left = bound_ - spent;
    // A time-out of the platform's that the work keeps through us, since
    // the platform may not.
    if (const auto deadline = call_->state->cancellation.Deadline()) left = std::min(left, *deadline - now);
    const long long leftMs = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    if (leftMs > 0) {
        // Looked at again when it fires: time with a box open does not count.
        SetTimer(WindowHandleOrNull(), kWatchTimer, static_cast<UINT>(std::min(leftMs, 0x7FFFFFFFLL)), nullptr);
        return;
    }
    // Its end may be on its way.
    if (call_->state->done.Wait(0)) {
        Finish(Outcome::Done);
        return;
    }
    LeaveBehind(call_->state);
    Finish(Outcome::TimedOut);
}

void BoundedWorker::Finish(Outcome outcome) {
    KillTimer(WindowHandleOrNull(), kWatchTimer);
    // Taken out first: `finished` may start the next call.
    Call call = std::move(*call_);
    call_.reset();
    std::exception_ptr error;
    if (outcome == Outcome::Done) {
        error = std::exchange(call.state->error, nullptr);
        idle_.push_back(call.state);
    }
    if (call.finished) call.finished(outcome, error);
}

LRESULT BoundedWorker::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kWorkEnded:
        if (call_ && call_->state && call_->id == wParam) Finish(Outcome::Done);
        return 0;
    case kNothingStarted:
        if (call_ && !call_->state && call_->id == wParam) Finish(Outcome::Busy);
        return 0;
    case kDeadlineChanged:
        Watch();
        return 0;
    case WM_TIMER:
        if (wParam == kWatchTimer) {
            KillTimer(WindowHandleOrNull(), kWatchTimer);
            Watch();
            return 0;
        }
        break;
    default:
        break;
    }
    return WindowBase::HandleMessage(message, wParam, lParam);
}

}  // namespace tarvik::fw
