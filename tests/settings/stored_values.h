// The seven values of the settings file as one value the tests compare.
#pragma once

#include "settings/settings_file.h"

namespace tarvik {

struct StoredValues {
    MonitorSettings settings;
    bool status = false;
};

inline StoredValues Stored(const Text& address, const Text& url, std::int32_t interval, std::int32_t threshold,
                           const Text& computer, const Text& message, bool status) {
    return {{address, url, interval, threshold, computer, message}, status};
}

inline void Save(ValueStore& store, const StoredValues& values) { SaveSettings(store, values.settings, values.status); }

inline bool operator==(const StoredValues& a, const StoredValues& b) {
    const MonitorSettings &x = a.settings, &y = b.settings;
    return x.ProbeAddress == y.ProbeAddress && x.ProbeUrl == y.ProbeUrl && x.IntervalSeconds == y.IntervalSeconds &&
           x.AlertThreshold == y.AlertThreshold && x.AlertComputer == y.AlertComputer &&
           x.AlertText == y.AlertText && a.status == b.status;
}

}  // namespace tarvik
