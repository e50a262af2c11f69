// Work that may block for long (a name look-up, an HTTP request, an alert
// to another computer), run on a worker thread while the user-interface
// thread goes on with its messages: the windows repaint and answer, menus
// work, and a close goes through at once. The call is started and returns;
// its end is handed back on the starting thread, through its message loop,
// so nothing ever waits for the worker and no loop runs inside a handler.
#pragma once

#include <chrono>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "system/steady_clock_win.h"
#include "system/window_win.h"

namespace tarvik::fw {

class BoundedWorker : private WindowBase {
public:
    enum class Outcome {
        Done,      // the work ran to its end
        TimedOut,  // the bound, or a deadline the work set, passed first: the
                   // work was cancelled and its worker left to end on its own
        Busy,      // as many workers as the cap are left behind and still run:
                   // nothing started
    };

    // Workers left behind that may still run at once. Work that nothing can
    // cancel (a name look-up, a remote call) may run on for long; a few such
    // workers mean the network has not answered for as many bounds.
    static constexpr std::size_t kMaxLeftBehind = 3;

    template <class Result>
    struct Answer {
        Outcome outcome;
        Result value;  // only when Done; a value-initialised one otherwise
        std::exception_ptr error;  // what the work threw (Done only)
    };

    // Called on the starting thread when the call has ended.
    using Finished = std::function<void(Outcome, std::exception_ptr)>;

    // `bound`: how long one call may take, leaving out the time during which
    // a message box of the program is open (a box waits for its user, and
    // one left open for long must not turn into a failure).
    explicit BoundedWorker(std::chrono::milliseconds bound, std::size_t maxLeftBehind = kMaxLeftBehind);
    // A call under way is cancelled and never finishes; idle worker threads
    // end, and any left behind end when their work does.
    ~BoundedWorker() override;

    std::chrono::milliseconds Bound() const { return bound_; }
    void SetBound(std::chrono::milliseconds bound) { bound_ = bound; }

    // A call has been started and has not finished yet.
    bool UnderWay() const { return call_.has_value(); }

    // Starts `work` on a worker thread and returns at once; false, starting
    // nothing, while a call is under way. `finished` runs later on this
    // thread, from its message loop: when the work has ended, when the bound
    // or a deadline of the work's has passed, or (Busy) when `maxLeftBehind`
    // workers left behind still run. The work finds its Cancellation through
    // Cancellation::OfThisThread(): past the bound, and at Abandon, it is
    // cancelled, and its worker is left behind. A worker left behind ends on
    // its own and nobody looks at what it did, so `work` must own copies of
    // all it uses.
    bool Start(std::function<void()> work, Finished finished);

    // Start for a call with a result; `then` receives the Answer.
    template <class Call, class Then>
    bool Ask(Call call, Then then) {
        using Result = decltype(call());
        // Shared with the worker, which may outlive this object.
        auto slot = std::make_shared<Result>();
        return Start([call = std::move(call), slot] { *slot = call(); },
                     [slot, then = std::move(then)](Outcome outcome, std::exception_ptr error) {
                         Answer<Result> answer{outcome, Result(), error};
                         if (outcome == Outcome::Done && !error) answer.value = std::move(*slot);
                         then(std::move(answer));
                     });
    }

    // The call under way is cancelled and its `finished` never runs.
    void Abandon();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct State;
    class WorkerThread;
    struct Call {
        unsigned id;
        std::shared_ptr<State> state;  // null when nothing was started (Busy)
        Finished finished;
        SteadyClock::time_point start;
        SteadyClock::duration boxTimeAtStart;
    };

    // Sets the timer for what is left of the call's time, or ends it when
    // nothing is.
    void Watch();
    void LeaveBehind(const std::shared_ptr<State>& state);
    void Finish(Outcome outcome);

    std::chrono::milliseconds bound_;
    std::size_t maxLeftBehind_;
    unsigned lastCall_ = 0;
    std::optional<Call> call_;
    // A worker that has done its work waits for the next (starting a
    // thread costs more than the rest of a check beyond its probe).
    std::vector<std::shared_ptr<State>> idle_;
    std::vector<std::shared_ptr<State>> leftBehind_;  // not waited for to their work's end
};

}  // namespace tarvik::fw
