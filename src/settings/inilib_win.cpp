#include "settings/inilib.h"

#include <windows.h>

#include <vector>

#include "base/error.h"

namespace tarvik {

namespace {

// The private-profile functions keep files in a cache; closing our use of a
// file asks the platform to write it out, so each call reaches the disk.
class ProfileFile {
public:
    explicit ProfileFile(const Text& file) : file_(file) {}
    ~ProfileFile() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, file_.c_str()); }
    ProfileFile(const ProfileFile&) = delete;
    ProfileFile& operator=(const ProfileFile&) = delete;

    Text Read(const Text& section, const Text& key) const {
        char buffer[2048];
        const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer,
                                                      sizeof buffer, file_.c_str());
        return Text(buffer, length);
    }

    bool Write(const Text& section, const Text& key, const Text& value) const {
        return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file_.c_str()) != FALSE;
    }

private:
    const Text& file_;
};

// The program file's full path; grows the buffer rather than cut a long path.
Text ModuleFileName() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) return Text(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

Text IniReadValue(const Text& file, const Text& section, const Text& key) {
    return ProfileFile(file).Read(section, key);
}

void IniWriteValue(const Text& file, const Text& section, const Text& key, const Text& value) {
    bool written = false;
    {
        ProfileFile profile(file);
        written = profile.Write(section, key, value);
    }
    if (!written) throw Error("Unable to write to " + file);
}

Text IniFileStore::Read(const Text& section, const Text& key) { return IniReadValue(file_, section, key); }

void IniFileStore::Write(const Text& section, const Text& key, const Text& value) {
    IniWriteValue(file_, section, key, value);
}

const Text& IniPath() {
    static const Text path = [] {
        const Text program = ModuleFileName();
        return program.substr(0, program.rfind('\\') + 1) + "Tarvik.ini";
    }();
    return path;
}

}  // namespace tarvik
