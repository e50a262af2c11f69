#include "framework/clipboard_win.h"

#include <cstring>

namespace tarvik::fw {

namespace {

// OpenClipboard ... CloseClipboard.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return open_; }

private:
    bool open_;
};

// GlobalLock ... GlobalUnlock.
class LockedMemory {
public:
    explicit LockedMemory(HGLOBAL memory) : memory_(memory), data_(memory ? GlobalLock(memory) : nullptr) {}
    ~LockedMemory() {
        if (data_) GlobalUnlock(memory_);
    }
    LockedMemory(const LockedMemory&) = delete;
    LockedMemory& operator=(const LockedMemory&) = delete;
    const char* Data() const { return static_cast<const char*>(data_); }
    std::size_t Size() const { return data_ ? GlobalSize(memory_) : 0; }

private:
    HGLOBAL memory_;
    void* data_;
};

}  // namespace

std::optional<Text> ClipboardText(HWND owner) {
    const OpenedClipboard clipboard(owner);
    if (!clipboard) return std::nullopt;
    const LockedMemory memory(GetClipboardData(CF_TEXT));
    if (!memory.Data()) return std::nullopt;
    // Another program put the data there: it need not end with a zero.
    const void* end = std::memchr(memory.Data(), '\0', memory.Size());
    const std::size_t length = end ? static_cast<std::size_t>(static_cast<const char*>(end) - memory.Data())
                                   : memory.Size();
    return Text(memory.Data(), length);
}

}  // namespace tarvik::fw
