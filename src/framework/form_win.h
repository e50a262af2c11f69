// Forms: top-level windows built from a layout, with the close query, the
// focus events of their controls and the session-end query.
#pragma once

#include <functional>

#include "framework/application_win.h"
#include "framework/control_win.h"
#include "framework/handler_table.h"

namespace tarvik::fw {

enum class FormPosition { poDesigned, poDesktopCenter };
enum class CloseAction { caNone, caHide, caFree };
using CloseEvent = std::function<void(Component& sender, CloseAction& action)>;

class Form : public Control, public HostForm, public ApplicationForm {
public:
    // WM_POWERBROADCAST, as the form's own: the computer may go to sleep
    // (XP and Server 2003 ask; the answer is always yes), is going to sleep,
    // or has woken (automatically, for the user, or after a critical
    // suspend that nobody announced).
    enum class PowerEvent { QuerySuspend, Suspend, Resume, Other };

    Text ClassName() const override { return "TForm"; }
    explicit Form(Component* owner = nullptr);
    ~Form() override;

    int ClientWidth() const;
    void SetClientWidth(int width);
    int ClientHeight() const;
    void SetClientHeight(int height);

    // poDesktopCenter: centred on the desktop when first shown.
    FormPosition Position() const { return position_; }
    void SetPosition(FormPosition position) { position_ = position; }

    // Shows and activates the form (and the taskbar button with the main
    // form); Hide hides both. While an application message box is open the
    // form shows disabled, as the others are, until the box closes. Once a
    // close of the main form has gone through (the program is ending),
    // nothing shows it again.
    void Show() override;
    void Hide();
    void SetVisible(bool visible) override;
    // A close request: asks OnCloseQuery, then runs OnClose and hides; the
    // main form's close ends the application's message loop. An exception
    // from OnClose stops the close and leaves the window as it was.
    void Close() override;
    // OnCloseQuery's answer.
    virtual bool CloseQuery();

    // The control that has (or last had) the focus on this form.
    Control* ActiveControl() const { return activeControl_; }
    void SetActiveControl(Control* control);
    // Moves the focus to the next (or previous) control in tab order that
    // can take it, going into frames and the active page; wraps around.
    void SelectNext(bool forward);
    // Tells the focused control to leave any mode it is in (a drop-down, a
    // mouse capture): WM_CANCELMODE.
    void CancelMode();

    // A message of this thread before it is dispatched, while the form is
    // the active window: true when the form has handled it. The form moves
    // the focus on Tab and handles the other dialog keys; it never throws.
    bool PreTranslateMessage(MSG& message) noexcept override;

    // A dialog key offered by a control that handles the key itself: Enter
    // (VK_RETURN) presses the form's Default button, Escape (VK_ESCAPE) its
    // Cancel button, when it can take input. True when a button acted.
    bool DialogKey(UINT key);

    NotifyEvent OnCreate;
    NotifyEvent OnDestroy;
    CloseQueryEvent OnCloseQuery;
    CloseEvent OnClose;

    HandlerTable& Handlers() { return handlers_; }

    // The window moved to a display of another scale (WM_DPICHANGED):
    // every control is laid out again at `dpi`, and the window takes
    // `suggested` (screen coordinates) when given, else keeps its place and
    // scales its client area.
    void ApplyDpi(int dpi, const RECT* suggested);
    // A second start of the program asks for the window: shown, restored
    // when minimised, and brought in front of the other windows.
    void BringToFront();

    bool ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) override;

protected:
    // Creates the window, builds the parts from the layout resource named
    // `className`, then runs OnCreate; an exception from OnCreate is
    // reported and the form stays.
    void CreateFromLayout(const Text& className);

    // The layout has been read, OnCreate has not run yet: a derived form
    // finds its parts here.
    virtual void LayoutRead() {}

    // The answer to WM_QUERYENDSESSION; by default whether the form would
    // close.
    virtual bool QueryEndSession();
    // The session really ends: the message loop stops, nothing is closed.
    virtual void EndSession();

    virtual void PowerChanged(PowerEvent) {}
    static PowerEvent PowerEventOf(WPARAM event);

    CreateParams GetCreateParams() override;
    HWND OwnerWindow() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

public:
    Form& AsForm() override { return *this; }
    bool HasHandle(HWND window) const override { return HandleAllocated() && WindowHandleOrNull() == window; }
    bool TakeActivation() override;
    Control* FocusMovedTo(Control& control) override;
    void ControlGone(Control& control) override;

private:
    void CentreOnDesktop();
    static void CollectTabStops(const Control& parent, std::vector<Control*>& stops);
    SIZE FrameSize();

    HandlerTable handlers_;
    Control* activeControl_ = nullptr;
    FormPosition position_ = FormPosition::poDesigned;
    bool shownOnce_ = false;
    bool closedForGood_ = false;  // the main form's close went through
};

}  // namespace tarvik::fw
