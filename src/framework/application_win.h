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

// A form as the application sees it: the main form takes the activation and
// the close that come through the taskbar button, the active form sees the
// keys first. Form plays it, so that the application needs nothing of it.
class ApplicationForm {
public:
    virtual ~ApplicationForm() = default;
    // This form as the form it is.
    virtual Form& AsForm() = 0;
    // Whether the form's window exists and is `window`.
    virtual bool HasHandle(HWND window) const = 0;
    // Activates the form's window when it shows and takes input: false when
    // it does not.
    virtual bool TakeActivation() = 0;
    virtual void Show() = 0;
    virtual void Close() = 0;
    // A message of this thread before it is dispatched: true when handled.
    virtual bool PreTranslateMessage(MSG& message) noexcept = 0;
};

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
    Form* MainForm() const;
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
    void AddForm(ApplicationForm& form);
    void RemoveForm(ApplicationForm& form);
    // The taskbar button follows the visibility of the main form.
    void ShowTaskbarButton(bool show);

private:
    class Window;  // the hidden main window
    Application();
    ~Application();
    bool HandleMessage(MSG& message);  // false at the quit message
    ApplicationForm* ActiveApplicationForm() const;

    HWND handle_ = nullptr;
    Text title_;
    ApplicationForm* mainForm_ = nullptr;
    std::vector<ApplicationForm*> forms_;
    bool showMainForm_ = true;
    std::atomic<bool> terminated_{false};
};

}  // namespace tarvik::fw
