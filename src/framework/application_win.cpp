#include "framework/application_win.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/common_controls_win.h"
#include "system/error_report_win.h"
#include "system/message_box_win.h"
#include "system/program_file_win.h"
#include "system/window_win.h"

namespace tarvik::fw {

namespace {
const char kApplicationClass[] = "TarvikApplication";
}  // namespace

// The hidden window that stands for the whole program: it carries the
// taskbar button and owns the forms and the application message box.
class Application::Window : public WindowBase {
public:
    explicit Window(const Text& title) {
        RegisterOwnClass(kApplicationClass, 0, nullptr);
        // Zero-sized: showing it shows only its taskbar button.
        CreateWindowHandle(0, kApplicationClass, title.c_str(),
                           WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0,
                           nullptr, nullptr);
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        ApplicationForm* mainForm = Application::Instance().mainForm_;
        switch (message) {
        case WM_ACTIVATE:
            // A click on the taskbar button activates this window: pass the
            // activation on to the main form.
            if (LOWORD(wParam) != WA_INACTIVE && mainForm && mainForm->TakeActivation()) return 0;
            break;
        case WM_CLOSE:
            if (mainForm) mainForm->Close();
            return 0;
        default:
            break;
        }
        return WindowBase::HandleMessage(message, wParam, lParam);
    }
};

// Installed when the application is first named, which every form does as
// it is made; until then the default report shows the same box.
Application::Application() {
    SetErrorReport([this](const std::exception& error) { ShowException(error); });
}

// A worker thread may still report while the program ends: it gets the
// default box then, which looks the same, rather than a destroyed object.
Application::~Application() { SetErrorReport(nullptr); }

Application& Application::Instance() {
    static Application application;
    return application;
}

void Application::Initialize() {
    InitCommonControlClasses(ICC_TAB_CLASSES | ICC_STANDARD_CLASSES);
    Handle();
}

HWND Application::Handle() {
    static Window* window = nullptr;  // lives as long as the program
    if (!window) {
        window = new Window(Title());
        SetAppMessageBoxOwner(window->WindowHandleOrNull());
    }
    handle_ = window->WindowHandleOrNull();
    return handle_;
}

const Text& Application::Title() {
    if (title_.empty()) title_ = ProgramFileTitle();
    return title_;
}

Form* Application::MainForm() const { return mainForm_ ? &mainForm_->AsForm() : nullptr; }

Form* Application::ActiveForm() const {
    ApplicationForm* form = ActiveApplicationForm();
    return form ? &form->AsForm() : nullptr;
}

ApplicationForm* Application::ActiveApplicationForm() const {
    HWND active = GetActiveWindow();
    for (ApplicationForm* form : forms_)
        if (form->HasHandle(active)) return form;
    return nullptr;
}

void Application::Run() {
    terminated_ = false;
    if (mainForm_ && showMainForm_) mainForm_->Show();
    while (!terminated_) {
        MSG message;
        // Wide, as the windows are: a typed character reaches them whole.
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) break;
        if (!got) {
            terminated_ = true;
            break;
        }
        HandleMessage(message);
    }
}

bool Application::ProcessMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        if (!HandleMessage(message)) return false;
    return true;
}

void Application::Terminate() { PostQuitMessage(0); }

bool Application::HandleMessage(MSG& message) {
    if (message.message == WM_QUIT) {
        terminated_ = true;
        return false;
    }
    // The active form sees its keys before they are dispatched.
    if (ApplicationForm* form = ActiveApplicationForm(); form && form->PreTranslateMessage(message)) return true;
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

void Application::ShowException(const std::exception& error) { ShowErrorBox(error, Title()); }

void Application::HandleCurrentException() noexcept { ReportCurrentException(); }

void Application::AddForm(ApplicationForm& form) {
    forms_.push_back(&form);
    if (mainForm_) return;
    mainForm_ = &form;
    showMainForm_ = true;
}

void Application::RemoveForm(ApplicationForm& form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), &form), forms_.end());
    if (mainForm_ == &form) mainForm_ = nullptr;
}

void Application::ShowTaskbarButton(bool show) {
    ShowWindow(Handle(), show ? SW_SHOWNA : SW_HIDE);
}

}  // namespace tarvik::fw
