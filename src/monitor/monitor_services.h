// The calls that a check makes of the platform, each run to its end on a
// worker thread: the two probes and the alert sender (tests pass doubles).
#pragma once

#include <chrono>
#include <functional>

#include "base/text.h"

namespace tarvik {

struct MonitorServices {
    // The probe result: empty when the check failed.
    std::function<Text(const Text& target)> addressProbe;
    std::function<Text(const Text& url)> webProbe;
    // Whether the alert was delivered (nobody looks at it).
    std::function<bool(const Text& computer, const Text& message)> sendAlert;
    // Told, besides the icon, whenever the cycle switches its animation.
    std::function<void(bool animated)> setAnimated;
    // The time on a steady clock; null for the system's (tests move it on).
    std::function<std::chrono::milliseconds()> clock;
};

}  // namespace tarvik
