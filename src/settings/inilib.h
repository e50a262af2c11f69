// The settings file on the platform's private-profile functions. Every call
// opens and closes the file and has the platform flush it, so nothing waits
// in a cache between calls.
#pragma once

#include <utility>

#include "base/text.h"
#include "settings/settings_file.h"

namespace tarvik {

// The value with "" as default: a missing file, section or key gives "".
// Values come back at most 2047 characters long.
Text IniReadValue(const Text& file, const Text& section, const Text& key);

// Throws tarvik::Error("Unable to write to <file>") when the platform refuses.
void IniWriteValue(const Text& file, const Text& section, const Text& key, const Text& value);

// ValueStore over one INI file.
class IniFileStore : public ValueStore {
public:
    explicit IniFileStore(Text file) : file_(std::move(file)) {}
    Text Read(const Text& section, const Text& key) override;
    void Write(const Text& section, const Text& key, const Text& value) override;

private:
    Text file_;
};

// The directory of the running program file, with its trailing backslash,
// followed by "Tarvik.ini"; computed on the first call and kept for the run.
const Text& IniPath();

}  // namespace tarvik
