// The seven settings in the settings file, read and written in one fixed
// order. Portable: the file itself sits behind ValueStore.
#pragma once

#include <cstdint>
#include <functional>

#include "base/text.h"

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

// Receives each loaded value before the next key is read, so a caller applies
// values as they arrive and keeps them when a later key fails. A member left
// unassigned is skipped.
struct SettingsSink {
    std::function<void(const Text&)> probeAddress, probeUrl;
    std::function<void(std::int32_t)> intervalSeconds, alertThreshold;
    std::function<void(const Text&)> alertComputer, alertText;
    std::function<void(bool)> status;
};

// Reads IP, HOST, INTERVAL, ACTIONS, COMPUTER, MESSAGE, STATUS in that order.
// Throws tarvik::Error at a number that does not convert; keys after it are
// not read.
void LoadSettings(ValueStore& store, const SettingsSink& sink);

struct SavedSettings {
    Text probeAddress, probeUrl;
    std::int32_t intervalSeconds = 0, alertThreshold = 0;
    Text alertComputer, alertText;
    bool status = false;
};

// Writes the seven keys in the order Load reads them, one write each; a
// refused write throws and the keys after it are not written.
void SaveSettings(ValueStore& store, const SavedSettings& values);

}  // namespace tarvik
