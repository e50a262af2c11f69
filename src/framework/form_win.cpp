#include "framework/form_win.h"

#include <algorithm>
#include <utility>

#include "base/error.h"
#include "framework/controls_win.h"
#include "framework/dpi_win.h"
#include "framework/layout.h"
#include "framework/layout_reader.h"
#include "framework/layout_resource.h"
#include "system/error_report_win.h"
#include "system/message_box_win.h"

namespace tarvik::fw {

namespace {
const char kFormClass[] = "TarvikForm";
}

Form::Form(Component* owner) : Control(owner) {
    visible_ = false;  // a form shows when asked to
    Application::Instance().AddForm(*this);
}

Form::~Form() {
    BeginDestroy();
    Hide();  // with the taskbar button, for the main form
    try {
        Raise(OnDestroy, *this);
    } catch (...) {
        ReportCurrentException();
    }
    DestroyComponents();
    activeControl_ = nullptr;
    Application::Instance().RemoveForm(*this);
    DestroyWindowHandle();
}

int Form::ClientWidth() const {
    RECT area{};
    if (HandleAllocated()) GetClientRect(WindowHandleOrNull(), &area);
    return area.right;
}

void Form::SetClientWidth(int width) {
    const SIZE frame = FrameSize();
    SetBounds(Left(), Top(), width + frame.cx, Height());
}

int Form::ClientHeight() const {
    RECT area{};
    if (HandleAllocated()) GetClientRect(WindowHandleOrNull(), &area);
    return area.bottom;
}

void Form::SetClientHeight(int height) {
    const SIZE frame = FrameSize();
    SetBounds(Left(), Top(), Width(), height + frame.cy);
}

SIZE Form::FrameSize() {
    // From the styles, not the window: a window smaller than its frame has
    // no client area to measure.
    HWND window = Handle();
    RECT bounds{0, 0, 0, 0};
    AdjustWindowRectForDpi(bounds, static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)),
                           static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE)), PixelsPerInch());
    return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

void Form::SetVisible(bool visible) {
    if (visible) Show();
    else Hide();
}

bool Form::TakeActivation() {
    if (!Visible() || !IsWindowEnabled(Handle())) return false;
    SetActiveWindow(Handle());
    return true;
}

void Form::Show() {
    if (closedForGood_) return;
    HWND window = Handle();
    DisableWhileAppBoxOpen(window);
    if (position_ == FormPosition::poDesktopCenter && !shownOnce_) CentreOnDesktop();
    shownOnce_ = true;
    visible_ = true;
    if (Application::Instance().MainForm() == this) Application::Instance().ShowTaskbarButton(true);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
}

void Form::Hide() {
    visible_ = false;
    if (!HandleAllocated()) return;
    ShowWindow(WindowHandleOrNull(), SW_HIDE);
    if (Application::Instance().MainForm() == this) Application::Instance().ShowTaskbarButton(false);
}

void Form::Close() {
    if (!CloseQuery()) return;
    CloseAction action = Application::Instance().MainForm() == this ? CloseAction::caFree : CloseAction::caHide;
    Raise(OnClose, *this, action);
    if (action == CloseAction::caNone) return;
    Hide();
    if (Application::Instance().MainForm() == this) {
        closedForGood_ = true;
        Application::Instance().Terminate();
    }
}

bool Form::CloseQuery() {
    bool canClose = true;
    Raise(OnCloseQuery, *this, canClose);
    return canClose;
}

void Form::SetActiveControl(Control* control) {
    if (control && control->ParentForm() != this) throw Error("The control is not on this form");
    if (control && control->CanFocus() && IsWindowVisible(Handle()))
        control->SetFocus();
    else
        activeControl_ = control;
}

void Form::SelectNext(bool forward) {
    std::vector<Control*> stops;
    CollectTabStops(*this, stops);
    if (stops.empty()) return;
    const auto current = std::find(stops.begin(), stops.end(), activeControl_);
    const auto count = static_cast<std::ptrdiff_t>(stops.size());
    std::ptrdiff_t next = forward ? 0 : count - 1;
    if (current != stops.end()) next = ((current - stops.begin()) + (forward ? 1 : count - 1)) % count;
    stops[static_cast<std::size_t>(next)]->SetFocus();
}

void Form::CollectTabStops(const Control& parent, std::vector<Control*>& stops) {
    for (Control* child : parent.ChildrenInTabOrder()) {
        if (!child->CanFocus()) continue;
        if (child->TabStop()) stops.push_back(child);
        CollectTabStops(*child, stops);
    }
}

bool Form::PreTranslateMessage(MSG& message) noexcept {
    if (!HandleAllocated() || (message.hwnd != Handle() && !IsChild(Handle(), message.hwnd))) return false;
    const auto down = [](int key) { return (GetKeyState(key) & 0x8000) != 0; };
    // Tab follows the form's own tab order, through frames and into the
    // active page (the system's dialog navigation would pass the page
    // control by).
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB && !down(VK_CONTROL) && !down(VK_MENU)) {
        try {
            SelectNext(!down(VK_SHIFT));
        } catch (...) {
            ReportCurrentException();
        }
        return true;
    }
    // Arrow keys, Enter and Escape as in a dialog.
    return IsDialogMessageW(Handle(), &message) != FALSE;
}

bool Form::DialogKey(UINT key) {
    if (key != VK_RETURN && key != VK_ESCAPE) return false;
    for (Component* component : Components()) {
        auto* button = dynamic_cast<Button*>(component);
        if (!button || !(key == VK_RETURN ? button->Default() : button->Cancel()) || !button->CanFocus()) continue;
        button->Press();
        return true;
    }
    return false;
}

void Form::CancelMode() {
    if (activeControl_ && activeControl_->HandleAllocated())
        SendMessageA(activeControl_->Handle(), WM_CANCELMODE, 0, 0);
}

bool Form::ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) {
    if (name == "ClientWidth") SetClientWidth(reader.Scaled(value));
    else if (name == "ClientHeight") SetClientHeight(reader.Scaled(value));
    else if (name == "Position") {
        const Text& item = LayoutReader::Identifier(value);
        if (item == "poDesigned") SetPosition(FormPosition::poDesigned);
        else if (item == "poDesktopCenter") SetPosition(FormPosition::poDesktopCenter);
        else throw Error("unknown position " + item);
    } else if (name == "OnCreate") OnCreate = reader.Handler<NotifyEvent>(value);
    else if (name == "OnDestroy") OnDestroy = reader.Handler<NotifyEvent>(value);
    else if (name == "OnCloseQuery") OnCloseQuery = reader.Handler<CloseQueryEvent>(value);
    else if (name == "OnClose") OnClose = reader.Handler<CloseEvent>(value);
    else return Control::ReadProperty(name, value, reader);
    return true;
}

void Form::CreateFromLayout(const Text& className) {
    // Laid out for the display the window is on.
    GetFont().SetPixelsPerInch(WindowDpi(Handle()));
    LayoutReader reader(*this, handlers_, PixelsPerInch());
    reader.Read(ParseLayout(LoadLayoutResource(className)), className);
    LayoutRead();
    try {
        Raise(OnCreate, *this);
    } catch (...) {
        ReportCurrentException();
    }
}

bool Form::QueryEndSession() { return CloseQuery(); }

void Form::EndSession() {
    if (Application::Instance().MainForm() != this) return;
    closedForGood_ = true;
    Application::Instance().Terminate();
}

Form::PowerEvent Form::PowerEventOf(WPARAM event) {
    switch (event) {
    case PBT_APMQUERYSUSPEND: return PowerEvent::QuerySuspend;
    case PBT_APMSUSPEND: return PowerEvent::Suspend;
    case PBT_APMRESUMEAUTOMATIC:
    case PBT_APMRESUMESUSPEND:
    case PBT_APMRESUMECRITICAL: return PowerEvent::Resume;
    default: return PowerEvent::Other;
    }
}

Control::CreateParams Form::GetCreateParams() {
    RegisterOwnClass(kFormClass, CS_DBLCLKS, nullptr);
    // A fixed dialog frame; the application window carries the taskbar button.
    return {kFormClass, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN,
            WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT};
}

HWND Form::OwnerWindow() { return Application::Instance().Handle(); }

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_QUERYENDSESSION:
        return QueryEndSession() ? 1 : 0;
    case WM_ENDSESSION:
        if (wParam) EndSession();
        return 0;
    case WM_POWERBROADCAST:
        PowerChanged(PowerEventOf(wParam));
        // Never refuse a sleep.
        return TRUE;
    case kDpiChangedMessage:
        ApplyDpi(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_ERASEBKGND: {
        RECT area;
        GetClientRect(Handle(), &area);
        FillRect(reinterpret_cast<HDC>(wParam), &area, BackgroundBrush());
        return 1;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            // Give the focus back to the control that had it, or to the first
            // one in tab order.
            if (activeControl_ && activeControl_->CanFocus())
                activeControl_->SetFocus();
            else
                SelectNext(true);
            return 0;
        }
        break;
    default:
        break;
    }
    return Control::HandleMessage(message, wParam, lParam);
}

Control* Form::FocusMovedTo(Control& control) { return std::exchange(activeControl_, &control); }

void Form::ControlGone(Control& control) {
    if (activeControl_ == &control) activeControl_ = nullptr;
}

void Form::CentreOnDesktop() {
    RECT desktop;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &desktop, 0);
    SetBounds(desktop.left + (desktop.right - desktop.left - Width()) / 2,
              desktop.top + (desktop.bottom - desktop.top - Height()) / 2, Width(), Height());
}

}  // namespace tarvik::fw
