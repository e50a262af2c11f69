#include "framework/message_box_win.h"

#include <windows.h>

#include <utility>
#include <vector>

namespace tarvik::fw {

namespace {

MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}

HWND& Owner() {
    static HWND owner = nullptr;
    return owner;
}

// Disables every visible, enabled top-level window of the thread that owns
// `except` (the user-interface thread, also for a box raised on another
// thread) for the life of the object, so that the box is the only thing the
// user can reach.
class DisabledThreadWindows {
public:
    explicit DisabledThreadWindows(HWND except) : except_(except) {
        const DWORD thread = GetWindowThreadProcessId(except, nullptr);
        EnumThreadWindows(thread ? thread : GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(this));
        for (HWND w : windows_) EnableWindow(w, FALSE);
    }
    ~DisabledThreadWindows() {
        for (HWND w : windows_)
            if (IsWindow(w)) EnableWindow(w, TRUE);
    }
    DisabledThreadWindows(const DisabledThreadWindows&) = delete;
    DisabledThreadWindows& operator=(const DisabledThreadWindows&) = delete;

private:
    static BOOL CALLBACK Collect(HWND w, LPARAM self) noexcept {
        auto* me = reinterpret_cast<DisabledThreadWindows*>(self);
        try {
            if (w != me->except_ && IsWindowVisible(w) && IsWindowEnabled(w)) me->windows_.push_back(w);
            return TRUE;
        } catch (...) {
            return FALSE;  // out of memory: the windows found so far
        }
    }
    HWND except_;
    std::vector<HWND> windows_;
};

}  // namespace

void SetMessageBoxHook(MessageBoxHook hook) { Hook() = std::move(hook); }

void SetAppMessageBoxOwner(HWND owner) { Owner() = owner; }

int AppMessageBox(const Text& text, const Text& caption, unsigned style) {
    if (Hook()) return Hook()({MessageBoxRequest::Kind::Application, text, caption, style});
    HWND owner = Owner();
    DisabledThreadWindows disabled(owner);
    return MessageBoxA(owner, text.c_str(), caption.c_str(), style);
}

int PlatformMessageBox(const Text& text, const std::optional<Text>& caption, unsigned style) {
    if (Hook()) return Hook()({MessageBoxRequest::Kind::Platform, text, caption, style});
    return MessageBoxA(GetForegroundWindow(), text.c_str(), caption ? caption->c_str() : nullptr, style);
}

}  // namespace tarvik::fw
