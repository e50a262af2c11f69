// The application: the program's title, its hidden main window (which carries
// the taskbar button and owns the forms and the application message box),
// the message loop, and the error report.
#pragma once

#include <windows.h>

#include <atomic>
#include <exception>
#include <vector>

#include "base/text.h"

namespace tarvik::fw {

class Form;

class Application {
public:
    static Application& Instance();

    // Registers the window classes and common controls; before the first form.
    void Initialize();

    // The hidden main window; created on first use.
    HWND Handle();

    // The program file's name as a title: "Tarvik" for TARVIK.EXE.
    const Text& Title();

    // The first form created; null once it is gone.
    Form* MainForm() const { return mainForm_; }
    // The form that is the active window, or null.
    Form* ActiveForm() const;

    // Whether Run shows the main form before its loop starts (true unless the
    // form's creation said otherwise).
    bool ShowMainForm() const { return showMainForm_; }
    void SetShowMainForm(bool value) { showMainForm_ = value; }

    // Shows the main form when wanted, then dispatches messages until the
    // loop has received its quit message.
    void Run();
    // Handles every pending message and returns; stops early at the quit
    // message, which sets Terminated, and then gives false.
    bool ProcessMessages();
    // Asks the loop to end (posts the quit message).
    void Terminate();
    // The loop has received its quit message; other threads may ask.
    bool Terminated() const { return terminated_.load(); }

    // The error box: the exception's message with the "." rule, the title as
    // caption, a stop icon. It is the report of every exception that escapes
    // a handler (system/error_report_win.h), installed when the application
    // is first named. Call from inside a catch block of an entry point
    // (window procedure, timer, thread) so no exception crosses the system.
    void ShowException(const std::exception& error);
    void HandleCurrentException() noexcept;

    // Forms announce themselves here; the first becomes the main form.
    void AddForm(Form& form);
    void RemoveForm(Form& form);
    // The taskbar button follows the visibility of the main form.
    void ShowTaskbarButton(bool show);

private:
    Application();
    ~Application();
    bool HandleMessage(MSG& message);  // false at the quit message

    HWND handle_ = nullptr;
    Text title_;
    Form* mainForm_ = nullptr;
    std::vector<Form*> forms_;
    bool showMainForm_ = true;
    std::atomic<bool> terminated_{false};
};

}  // namespace tarvik::fw
