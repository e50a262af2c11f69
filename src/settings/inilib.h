// The settings file on the platform's private-profile functions, where they
// carry its Windows-1251 bytes unchanged, and read and written by the
// program itself in the same format where they would not. Every call opens
// and closes the file, so nothing waits in a cache between calls. Its path
// is UTF-16, so that a folder in any script is named right.
#pragma once

#include <string>
#include <utility>

#include "base/text.h"
#include "settings/settings_file.h"

namespace tarvik {

// The value with "" as default: a missing file, section or key gives "", and
// so does a file that cannot be read. Values come back at most 2047
// characters long.
Text IniReadValue(const std::wstring& file, const Text& section, const Text& key);

// Throws tarvik::Error("Unable to write to <file>") when the file cannot be
// written, or is there but cannot be read whole: a file that was not read
// is never replaced (the path in Windows-1251, "?" for a character the page
// lacks). Where the program writes the file itself, each write is whole or
// not at all.
void IniWriteValue(const std::wstring& file, const Text& section, const Text& key, const Text& value);

// ValueStore over one INI file.
class IniFileStore : public ValueStore {
public:
    explicit IniFileStore(std::wstring file) : file_(std::move(file)) {}
    Text Read(const Text& section, const Text& key) override;
    void Write(const Text& section, const Text& key, const Text& value) override;

private:
    std::wstring file_;
};

// The directory of the running program file, with its trailing backslash,
// followed by "Tarvik.ini"; computed on the first call and kept for the run.
const std::wstring& IniPath();

}  // namespace tarvik
