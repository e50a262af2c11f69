// A clock that only ever goes forward, for time limits and intervals. The
// C++ library's steady_clock is the wall clock in the compiler's win32
// thread model, so a change of the system time would stretch or cut every
// limit measured with it. This one counts on the performance counter (every
// Windows has it) and never gives a time earlier than one it gave before,
// even where the counter of one processor lags another's.
#pragma once

#include <chrono>

namespace tarvik::fw {

struct SteadyClock {
    using duration = std::chrono::nanoseconds;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::time_point<SteadyClock>;
    static constexpr bool is_steady = true;

    static time_point now() noexcept;
};

}  // namespace tarvik::fw
