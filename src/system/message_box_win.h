// The two message boxes of the program, with a seam for tests.
//
// The application message box is owned by a window the application names
// (its hidden main window) and disables every visible window of that
// window's thread while it is open, and those that show meanwhile. The platform box is owned by whatever
// window is in the foreground. This file knows nothing of the application.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "base/text.h"
#include "system/steady_clock_win.h"

namespace tarvik::fw {

struct MessageBoxRequest {
    enum class Kind { Application, Platform };
    Kind kind;
    Text text;
    std::optional<Text> caption;  // none: the platform's default caption
    unsigned style;
};

// A test installs a hook to see each box and answer it instead of a person;
// an empty hook restores the real boxes. The hook runs on the caller's thread.
using MessageBoxHook = std::function<int(const MessageBoxRequest&)>;
void SetMessageBoxHook(MessageBoxHook hook);

// The owner of the application box; the application sets it when it creates
// its hidden main window. Without one the box has no owner.
void SetAppMessageBoxOwner(HWND owner);

// Application message box: returns the button pressed.
int AppMessageBox(const Text& text, const Text& caption, unsigned style);

// While an application box is open (on any thread): disables `window`, a
// window of the program that is about to show, and enables it again with
// the others when the outermost box closes. Does nothing otherwise.
void DisableWhileAppBoxOpen(HWND window);

// Platform message box owned by the foreground window.
int PlatformMessageBox(const Text& text, const std::optional<Text>& caption, unsigned style);

// How long, in all, at least one box of either kind has been open (on any
// thread, a test's hook answering included), up to now. A box waits for
// the user, so time limits of work that raises one leave this time out.
SteadyClock::duration TimeWithBoxOpen();

}  // namespace tarvik::fw
