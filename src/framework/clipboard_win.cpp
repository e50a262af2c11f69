#include "framework/clipboard_win.h"

#include "system/wide_text_win.h"

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
    const wchar_t* Data() const { return static_cast<const wchar_t*>(data_); }
    std::size_t Size() const { return data_ ? GlobalSize(memory_) : 0; }

private:
    HGLOBAL memory_;
    void* data_;
};

}  // namespace

std::optional<Text> ClipboardText(HWND owner) {
    const OpenedClipboard clipboard(owner);
    if (!clipboard) return std::nullopt;
    // The wide text, which the system makes from any other text format: the
    // 8-bit one would come in the system's code page, not in ours.
    const LockedMemory memory(GetClipboardData(CF_UNICODETEXT));
    if (!memory.Data()) return std::nullopt;
    // Another program put the data there: it need not end with a zero.
    const std::size_t units = memory.Size() / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < units && memory.Data()[length] != L'\0') ++length;
    return Narrow(memory.Data(), length);
}

}  // namespace tarvik::fw
