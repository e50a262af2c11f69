// The monitor's working copy of the six settings: what the check cycle uses,
// what the settings file loads and saves (with the status flag beside it),
// and what the main window's fields show.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace tarvik {

struct MonitorSettings {
    Text ProbeAddress;
    Text ProbeUrl;
    std::int32_t IntervalSeconds = 0;
    std::int32_t AlertThreshold = 0;
    Text AlertComputer;
    Text AlertText;
};

}  // namespace tarvik
