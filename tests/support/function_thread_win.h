// A thread that runs one function, for tests: it starts at once, and Join
// (or the destructor) waits for the function to return, so whatever the
// function captured outlives it.
#pragma once

#include <functional>
#include <utility>

#include "system/thread_win.h"

namespace tarvik::testing {

class FunctionThread : public fw::Thread {
public:
    explicit FunctionThread(std::function<void()> body) : body_(std::move(body)) { Resume(); }
    ~FunctionThread() override { Join(); }

    void Join() { WaitFor(); }

protected:
    void Execute() override { body_(); }

private:
    std::function<void()> body_;
};

}  // namespace tarvik::testing
