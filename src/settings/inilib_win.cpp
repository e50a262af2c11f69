#include "settings/inilib.h"

#include <windows.h>

#include <optional>

#include "base/error.h"
#include "settings/ini_text.h"
#include "system/handles_win.h"
#include "system/program_file_win.h"
#include "system/wide_text_win.h"

namespace tarvik {

namespace {

constexpr std::size_t kValueLimit = 2047;  // what the platform's functions give back

// The private-profile functions read the file's bytes through the system's
// code page and write them back through it. Where that page has one byte a
// character (1250 to 1258) every byte comes back as it was, Windows-1251
// Cyrillic too; where it has more (936, 932, 949, UTF-8's 65001) a byte that
// starts no valid character is lost, so a Cyrillic value that the Load read
// would go back damaged with the Save. There the program reads and writes the
// file itself, in the same format.
bool PlatformKeepsTheBytes() {
    static const bool keeps = [] {
        CPINFO info{};
        return GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
    }();
    return keeps;
}

// The file's bytes as the private-profile functions see them, and back: the
// one place where texts go through the system's code page, since that is
// how those functions read and write the file.
std::wstring AsTheFunctionsSeeThem(const Text& bytes) {
    if (bytes.empty()) return std::wstring();
    std::wstring wide(bytes.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                             &wide[0], static_cast<int>(wide.size()))));
    return wide;
}

Text AsTheFileHoldsThem(const wchar_t* text, std::size_t length) {
    if (length == 0) return Text();
    Text bytes(length, '\0');
    bytes.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), &bytes[0],
                                                              static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

// Closing our use of a file asks the platform to write out its cache, so
// each call reaches the disk.
class ProfileFile {
public:
    explicit ProfileFile(const std::wstring& file) : file_(file) {}
    ~ProfileFile() { WritePrivateProfileStringW(nullptr, nullptr, nullptr, file_.c_str()); }
    ProfileFile(const ProfileFile&) = delete;
    ProfileFile& operator=(const ProfileFile&) = delete;

    Text Read(const Text& section, const Text& key) const {
        wchar_t buffer[kValueLimit + 1];
        const DWORD length = GetPrivateProfileStringW(AsTheFunctionsSeeThem(section).c_str(),
                                                      AsTheFunctionsSeeThem(key).c_str(), L"", buffer,
                                                      kValueLimit + 1, file_.c_str());
        return AsTheFileHoldsThem(buffer, length);
    }

    bool Write(const Text& section, const Text& key, const Text& value) const {
        return WritePrivateProfileStringW(AsTheFunctionsSeeThem(section).c_str(), AsTheFunctionsSeeThem(key).c_str(),
                                          AsTheFunctionsSeeThem(value).c_str(), file_.c_str()) != FALSE;
    }

private:
    const std::wstring& file_;
};

// The whole file: "" when it is missing, nothing when it is there but
// cannot be read whole (held open by another program, no right to read).
std::optional<Text> FileBytes(const std::wstring& file) {
    const fw::FileHandle handle(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Text();
        return std::nullopt;
    }
    Text bytes;
    char chunk[4096];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(handle.Get(), chunk, sizeof chunk, &got, nullptr)) return std::nullopt;
        if (got == 0) return bytes;
        bytes.append(chunk, got);
    }
}

// Whole or not at all: the new text goes into a file beside the old one
// (same folder, so the same disk), reaches the disk, and then takes the old
// one's place in one step. A power cut leaves the old file or the new one.
bool ReplaceFileBytes(const std::wstring& file, const Text& bytes) {
    const std::wstring fresh = file + L".new";
    {
        const fw::FileHandle handle(
            CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle) return false;
        DWORD written = 0;
        const bool whole = WriteFile(handle.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                           written == bytes.size() && FlushFileBuffers(handle.Get());
        if (!whole) {
            DeleteFileW(fresh.c_str());
            return false;
        }
    }
    if (MoveFileExW(fresh.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileW(fresh.c_str());
    return false;
}

}  // namespace

// A file with a byte-order mark the platform's functions take as Unicode,
// and they hand its characters over through the system's code page: on any
// page but 1251 its Cyrillic would be lost, so the program reads it itself.
bool PlatformCarries(const std::wstring& file) {
    if (!PlatformKeepsTheBytes()) return false;
    if (GetACP() == 1251) return true;
    const std::optional<Text> bytes = FileBytes(file);
    return !bytes || !IniTextHasByteOrderMark(*bytes);
}

Text IniReadValue(const std::wstring& file, const Text& section, const Text& key) {
    if (PlatformCarries(file)) return ProfileFile(file).Read(section, key);
    // Reading never fails: a file that cannot be read reads as empty.
    return IniTextValue(FileBytes(file).value_or(Text()), section, key, kValueLimit);
}

void IniWriteValue(const std::wstring& file, const Text& section, const Text& key, const Text& value) {
    bool written = false;
    if (PlatformCarries(file)) {
        ProfileFile profile(file);
        written = profile.Write(section, key, value);
    } else {
        // A file that was not read is never replaced; one that already
        // holds the value is left as it is, as the platform leaves it.
        if (const std::optional<Text> bytes = FileBytes(file)) {
            const Text updated = IniTextWithValue(*bytes, section, key, value);
            written = updated == *bytes || ReplaceFileBytes(file, updated);
        }
    }
    if (!written) throw Error("Unable to write to " + fw::Narrow(file));
}

Text IniFileStore::Read(const Text& section, const Text& key) { return IniReadValue(file_, section, key); }

void IniFileStore::Write(const Text& section, const Text& key, const Text& value) {
    IniWriteValue(file_, section, key, value);
}

const std::wstring& IniPath() {
    static const std::wstring path = [] {
        const std::wstring program = fw::ProgramFilePath();
        return program.substr(0, program.rfind(L'\\') + 1) + L"Tarvik.ini";
    }();
    return path;
}

}  // namespace tarvik
