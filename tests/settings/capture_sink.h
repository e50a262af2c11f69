// A sink that collects every delivered value into a SavedSettings.
#pragma once

#include "settings/settings_file.h"

namespace tarvik {

inline SettingsSink CaptureInto(SavedSettings& out) {
    SettingsSink sink;
    sink.probeAddress = [&out](const Text& v) { out.probeAddress = v; };
    sink.probeUrl = [&out](const Text& v) { out.probeUrl = v; };
    sink.intervalSeconds = [&out](std::int32_t v) { out.intervalSeconds = v; };
    sink.alertThreshold = [&out](std::int32_t v) { out.alertThreshold = v; };
    sink.alertComputer = [&out](const Text& v) { out.alertComputer = v; };
    sink.alertText = [&out](const Text& v) { out.alertText = v; };
    sink.status = [&out](bool v) { out.status = v; };
    return sink;
}

inline bool operator==(const SavedSettings& a, const SavedSettings& b) {
    return a.probeAddress == b.probeAddress && a.probeUrl == b.probeUrl && a.intervalSeconds == b.intervalSeconds &&
           a.alertThreshold == b.alertThreshold && a.alertComputer == b.alertComputer &&
           a.alertText == b.alertText && a.status == b.status;
}

}  // namespace tarvik
