// Work that may block for long (a name look-up, an HTTP request, an alert
// to another computer), run on a worker thread while the calling thread, the
// user-interface thread, keeps handling its messages: the windows repaint
// and answer, menus open, and a close goes through. The caller still sees
// one call that returns when the work is done, so what it does afterwards
// follows in the same order as before; but it must be ready for handlers to
// run while it waits.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace tarvik::fw {

class BoundedWorker {
public:
    enum class Outcome {
        Done,      // the work ran to its end
        TimedOut,  // the bound passed first; the worker is left behind
        Busy,      // a worker left behind earlier still runs: nothing started
        Dropped,   // the message loop was told to quit meanwhile
    };

    template <class Result>
    struct Answer {
        Outcome outcome;
        Result value;  // only when Done; a value-initialised one otherwise
    };

    // `bound`: how long one call may wait, leaving out the time during which
    // a message box of the program is open (a box waits for its user, and
    // one left open for long must not turn into a failure).
    explicit BoundedWorker(std::chrono::milliseconds bound) : bound_(bound) {}
    // Idle worker threads end; any left behind end when their work does.
    ~BoundedWorker();
    BoundedWorker(const BoundedWorker&) = delete;
    BoundedWorker& operator=(const BoundedWorker&) = delete;

    std::chrono::milliseconds Bound() const { return bound_; }
    void SetBound(std::chrono::milliseconds bound) { bound_ = bound; }

    // Runs `work` on a worker thread and handles this thread's messages
    // until the work has ended, the bound has passed, or the quit message
    // came (it is posted again for the loop outside). A handler run
    // meanwhile may call Run again (its wait nests in this one); but while a
    // worker left behind still runs, nothing starts, so such workers never
    // pile up. A worker left behind ends on its own and nobody looks at what
    // it did, so `work` must own copies of all it uses. An exception thrown
    // by `work` is thrown again here.
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
    // A worker that has done its work waits for the next (starting a
    // thread costs more than the rest of a check beyond its probe).
    std::vector<std::shared_ptr<State>> idle_;
    std::vector<std::shared_ptr<State>> leftBehind_;  // not waited for to their work's end
};

}  // namespace tarvik::fw
