#include "system/message_box_win.h"

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "system/critical_section_win.h"
#include "system/wide_text_win.h"

namespace tarvik::fw {

namespace {

// The state here is never destroyed: a worker thread may still show a box
// while the program ends and the static objects go.
MessageBoxHook& Hook() {
    static MessageBoxHook& hook = *new MessageBoxHook;
    return hook;
}

HWND& Owner() {
    static HWND owner = nullptr;
    return owner;
}

class DisabledThreadWindows;

// The application boxes open now, outermost first, shared by the thread of
// a box and the user-interface thread that shows windows meanwhile.
struct OpenBoxes {
    CriticalSection lock;
    std::vector<DisabledThreadWindows*> boxes;
};

OpenBoxes& Open() {
    static OpenBoxes& open = *new OpenBoxes;
    return open;
}

// The time during which at least one box has been open.
struct BoxTime {
    CriticalSection lock;
    int open = 0;
    SteadyClock::time_point since;
    SteadyClock::duration before{};  // of the earlier stretches
};

BoxTime& OpenTime() {
    static BoxTime& time = *new BoxTime;
    return time;
}

// Counts a box as open for the life of the object.
class BoxShown {
public:
    BoxShown() {
        Guard guard(OpenTime().lock);
        if (OpenTime().open++ == 0) OpenTime().since = SteadyClock::now();
    }
    ~BoxShown() {
        Guard guard(OpenTime().lock);
        if (--OpenTime().open == 0) OpenTime().before += SteadyClock::now() - OpenTime().since;
    }
    BoxShown(const BoxShown&) = delete;
    BoxShown& operator=(const BoxShown&) = delete;
};

// Disables every visible, enabled top-level window of the thread that owns
// `except` (the user-interface thread, also for a box raised on another
// thread) for the life of the object, so that the box is the only thing the
// user can reach; a window that shows meanwhile joins the outermost box's.
class DisabledThreadWindows {
public:
    explicit DisabledThreadWindows(HWND except) : except_(except) {
        const DWORD thread = GetWindowThreadProcessId(except, nullptr);
        EnumThreadWindows(thread ? thread : GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(this));
        for (HWND w : windows_) EnableWindow(w, FALSE);
        Guard guard(Open().lock);
        Open().boxes.push_back(this);
    }
    ~DisabledThreadWindows() {
        std::vector<HWND> windows;
        {
            Guard guard(Open().lock);
            auto& boxes = Open().boxes;
            boxes.erase(std::remove(boxes.begin(), boxes.end(), this), boxes.end());
            windows.swap(windows_);
        }
        // Outside the lock: enabling a window of another thread waits for it.
        for (HWND w : windows)
            if (IsWindow(w)) EnableWindow(w, TRUE);
    }
    DisabledThreadWindows(const DisabledThreadWindows&) = delete;
    DisabledThreadWindows& operator=(const DisabledThreadWindows&) = delete;

    // With the lock held.
    void Add(HWND window) { windows_.push_back(window); }

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
    BoxShown shown;
    if (Hook()) return Hook()({MessageBoxRequest::Kind::Application, text, caption, style});
    HWND owner = Owner();
    DisabledThreadWindows disabled(owner);
    return MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), style);
}

void DisableWhileAppBoxOpen(HWND window) {
    Guard guard(Open().lock);
    if (Open().boxes.empty() || !IsWindowEnabled(window)) return;
    Open().boxes.front()->Add(window);
    EnableWindow(window, FALSE);
}

int PlatformMessageBox(const Text& text, const std::optional<Text>& caption, unsigned style) {
    BoxShown shown;
    if (Hook()) return Hook()({MessageBoxRequest::Kind::Platform, text, caption, style});
    const std::wstring wideText = Wide(text);
    const std::wstring wideCaption = caption ? Wide(*caption) : std::wstring();
    return MessageBoxW(GetForegroundWindow(), wideText.c_str(), caption ? wideCaption.c_str() : nullptr, style);
}

SteadyClock::duration TimeWithBoxOpen() {
    Guard guard(OpenTime().lock);
    const BoxTime& time = OpenTime();
    return time.before + (time.open > 0 ? SteadyClock::now() - time.since : SteadyClock::duration{});
}

}  // namespace tarvik::fw
