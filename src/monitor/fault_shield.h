// Running a platform call that may raise a structured exception which nobody
// handles (Wine's unimplemented functions do exactly that), without letting it
// end the program.
#pragma once

#include <functional>

namespace tarvik {

// Runs `call` on a thread of its own and waits for it to finish. Returns true
// when it ran to its end, false when an unhandled structured exception ended
// it. That thread is then abandoned where it stood and none of its frames'
// destructors run, so `call` should hand only plain data to the platform.
// A C++ exception thrown by `call` is rethrown here.
bool RunShieldedFromFaults(const std::function<void()>& call);

}  // namespace tarvik
