// The application: the program's title, its hidden main window (which owns
// the forms and the application message box), and the error report.
#pragma once

#include <windows.h>

#include <exception>

#include "base/text.h"

namespace tarvik::fw {

class Application {
public:
    static Application& Instance();

    // The hidden main window; created on first use.
    HWND Handle();

    // The program file's name as a title: "Tarvik" for TARVIK.EXE.
    const Text& Title();

    // The error box: the exception's message with the "." rule, the title as
    // caption, a stop icon. Call from inside a catch block of an entry point
    // (window procedure, timer, thread) so no exception crosses the system.
    void ShowException(const std::exception& error);
    void HandleCurrentException() noexcept;

private:
    Application() = default;
    HWND handle_ = nullptr;
    Text title_;
};

}  // namespace tarvik::fw
