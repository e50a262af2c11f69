// Work that may block for long (a name look-up, an HTTP request, an alert
// to another computer), run on a worker thread while the calling thread, the
// user-interface thread, keeps handling its messages: the windows repaint
// and answer, menus open, and a close goes through. The caller still sees
// one call that returns when the work is done, so what it does afterwards
// follows in the same order as before; but it must be ready for handlers to
// run while it waits.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace tarvik::fw {

class BoundedWorker {
public:
    enum class Outcome {
        Done,      // the work ran to its end
        TimedOut,  // the bound, or a deadline the work set, passed first: the
                   // work was cancelled and its worker left to end on its own
        Busy,      // as many workers as the cap are left behind and still run:
                   // nothing started
        Dropped,   // the message loop was told to quit meanwhile
    };

    // Workers left behind that may still run at once. Work that nothing can
    // cancel (a name look-up, a remote call) may run on for long; a few such
    // workers mean the network has not answered for as many bounds.
    static constexpr std::size_t kMaxLeftBehind = 3;

    template <class Result>
    struct Answer {
        Outcome outcome;
        Result value;  // only when Done; a value-initialised one otherwise
    };

    // `bound`: how long one call may wait, leaving out the time during which
    // a message box of the program is open (a box waits for its user, and
    // one left open for long must not turn into a failure).
    explicit BoundedWorker(std::chrono::milliseconds bound, std::size_t maxLeftBehind = kMaxLeftBehind)
        : bound_(bound), maxLeftBehind_(maxLeftBehind) {}
    // Idle worker threads end; any left behind end when their work does.
    ~BoundedWorker();
    BoundedWorker(const BoundedWorker&) = delete;
    BoundedWorker& operator=(const BoundedWorker&) = delete;

    std::chrono::milliseconds Bound() const { return bound_; }
    void SetBound(std::chrono::milliseconds bound) { bound_ = bound; }

    // Runs `work` on a worker thread and handles this thread's messages
    // until the work has ended, the bound or a deadline of the work's has
    // passed, or the quit message came (it is posted again for the loop
    // outside). A handler run meanwhile may call Run again (its wait nests in
    // this one). The work finds its Cancellation through
    // Cancellation::OfThisThread(): past the bound, and when the program
    // ends, it is cancelled, and its worker is left behind. A worker left
    // behind ends on its own and nobody looks at what it did, so `work` must
    // own copies of all it uses; the next Run starts its own worker, unless
    // `maxLeftBehind` of them still run, so that they never pile up. An
    // exception thrown by `work` is thrown again here.
    Outcome Run(std::function<void()> work);

    // Run for a call with a result.
    template <class Call>
    auto Ask(Call call) -> Answer<decltype(call())> {
        using Result = decltype(call());
        // Shared with the worker, which may outlive this call.
        auto slot = std::make_shared<Result>();
        const Outcome outcome = Run([call = std::move(call), slot] { *slot = call(); });
        Answer<Result> answer{outcome, Result()};
        if (outcome == Outcome::Done) answer.value = std::move(*slot);
        return answer;
    }

private:
    struct State;
    class WorkerThread;

    std::chrono::milliseconds bound_;
    std::size_t maxLeftBehind_;
    // A worker that has done its work waits for the next (starting a
    // thread costs more than the rest of a check beyond its probe).
    std::vector<std::shared_ptr<State>> idle_;
    std::vector<std::shared_ptr<State>> leftBehind_;  // not waited for to their work's end
};

}  // namespace tarvik::fw
