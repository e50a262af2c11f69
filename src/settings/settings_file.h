// The seven settings in the settings file, read and written in one fixed
// order. Portable: the file itself sits behind ValueStore.
#pragma once

#include <functional>

#include "base/text.h"
#include "monitor/monitor_settings.h"

namespace tarvik {

// Where the seven keys live: the INI file in the program, a fake in tests.
class ValueStore {
public:
    virtual ~ValueStore() = default;
    // A missing file, section or key reads as "".
    virtual Text Read(const Text& section, const Text& key) = 0;
    // Throws tarvik::Error when the value cannot be stored.
    virtual void Write(const Text& section, const Text& key, const Text& value) = 0;
};

// The values in the order of the file: IP, HOST, INTERVAL, ACTIONS, COMPUTER,
// MESSAGE, STATUS.
enum class SettingKey { ProbeAddress, ProbeUrl, IntervalSeconds, AlertThreshold, AlertComputer, AlertText, Status };

// Called after each value is stored, before the next key is read, so a
// caller applies values as they arrive and keeps them when a later key fails.
using SettingLoaded = std::function<void(SettingKey)>;

// Reads the seven keys in order into `settings` and `status`. Throws
// tarvik::Error at a number that does not convert; keys after it are not
// read and their values are left as they were.
void LoadSettings(ValueStore& store, MonitorSettings& settings, bool& status, const SettingLoaded& loaded);

// Writes the seven keys in the order Load reads them, one write each; a
// refused write throws and the keys after it are not written.
void SaveSettings(ValueStore& store, const MonitorSettings& settings, bool status);

}  // namespace tarvik
