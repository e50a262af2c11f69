// Windowed controls: a control with a window of its own, text, tab order and
// focus events; the parent of other controls, windowed or windowless.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "framework/control_base_win.h"
#include "framework/events.h"
#include "system/handles_win.h"
#include "system/window_win.h"

namespace tarvik::fw {

class Form;
class GraphicControl;
class PopupMenu;

// The form that controls sit on, as they see it: they tell it of their
// focus and of their end through this, so that a control needs nothing of
// the form. Form plays it.
class HostForm {
public:
    virtual ~HostForm() = default;
    // This host as the form it is.
    virtual Form& AsForm() = 0;
    // `control` has taken the focus: the form records it and returns the
    // control that had it; or `control` is going.
    virtual Control* FocusMovedTo(Control& control) = 0;
    virtual void ControlGone(Control& control) = 0;
};

// The reading order of a control's text.
enum class BiDiMode { bdLeftToRight, bdRightToLeft };

class Control : public ParentControl, public WindowBase {
public:
    explicit Control(Component* owner);
    ~Control() override;

    // The window, created on first use (a control needs its parent first).
    HWND Handle();
    bool HandleAllocated() const { return WindowHandleOrNull() != nullptr; }
    // The control behind a window of the framework, or null.
    static Control* FromHandle(HWND window);

    // The child controls with a window, in the order they were placed.
    const std::vector<Control*>& Controls() const { return children_; }
    // The form this control sits on (itself for a form), or null.
    Form* ParentForm();

    Text Caption() const;  // the window text, as it stands
    void SetCaption(const Text& caption);

    // Position among the siblings when tabbing: lower first.
    int TabOrder() const { return tabOrder_; }
    void SetTabOrder(int order);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);

    // Right-to-left reading; with ParentBiDiMode (the default) the parent's.
    fw::BiDiMode BiDiMode() const;
    void SetBiDiMode(fw::BiDiMode mode);
    bool ParentBiDiMode() const { return parentBiDiMode_; }
    void SetParentBiDiMode(bool value);
    bool UseRightToLeft() const { return BiDiMode() == fw::BiDiMode::bdRightToLeft; }
    // The sunken 3-D look of the control's border (where it has one); with
    // ParentCtl3D (the default) the parent's.
    bool Ctl3D() const;
    void SetCtl3D(bool value);
    bool ParentCtl3D() const { return parentCtl3D_; }
    void SetParentCtl3D(bool value);

    // The windowless children, painted after this control's own painting in
    // the order they were placed, and hit by the pointer newest first.
    const std::vector<GraphicControl*>& GraphicControls() const { return graphicChildren_; }
    Control& AsControl() override { return *this; }
    void InvalidateArea(const RECT& area, bool erase) override;
    GraphicControl* GraphicCapture() const override { return graphicCapture_; }
    bool CapturedLeftButtonDown() const override { return capturedLeftButton_; }

    // The children with a window: explicit tab orders first, lowest first,
    // the rest in the order of their creation.
    std::vector<Control*> ChildrenInTabOrder() const;

    bool Focused() const;
    // The window exists, shows and takes input (with all its parents).
    bool CanFocus() const;
    void SetFocus();

    // The menu shown when the user asks for one (a right click, the menu
    // key) unless OnContextPopup handled it; not owned, forgotten when it is
    // destroyed. Without one the control's class shows its own, if any.
    fw::PopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(fw::PopupMenu* menu);

    NotifyEvent OnEnter;
    NotifyEvent OnExit;
    // The keys, before the control acts on them.
    KeyEvent OnKeyDown;
    KeyPressEvent OnKeyPress;
    KeyEvent OnKeyUp;
    MouseWheelUpDownEvent OnMouseWheelDown;
    MouseWheelUpDownEvent OnMouseWheelUp;
    ContextPopupEvent OnContextPopup;

    bool ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) override;

protected:
    struct CreateParams {
        const char* className;  // registered by the class, superclass or own
        DWORD style;
        DWORD exStyle;
    };
    virtual CreateParams GetCreateParams() = 0;
    virtual HWND ParentWindowForChildren() { return Handle(); }
    // The owner of a window without a parent control.
    virtual HWND OwnerWindow() { return nullptr; }
    virtual void CreateHandle();
    // The window exists; put the stored state into it.
    virtual void HandleCreated();
    // Makes the window anew, for styles the system reads only at creation.
    // The text, the state SaveWindowState keeps, the focus, the children
    // with their windows and the place in the tab order stay as they were.
    void RecreateHandle();
    // The window is about to be replaced: keep what only it holds (an
    // override calls the base first, and puts it back in HandleCreated).
    virtual void SaveWindowState();

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void WindowDestroyed() override;

    // Notifications the parent window receives about this control, handed
    // back to it: return true when handled.
    virtual bool Command(WORD code);
    virtual bool Notify(NMHDR& header, LRESULT& result);
    // WM_VSCROLL or WM_HSCROLL from this control (a scroll code such as
    // SB_THUMBPOSITION).
    virtual bool Scrolled(WORD) { return false; }
    // Colours the control's own painting; null: the system's default.
    virtual HBRUSH ControlColor(HDC dc);

    // The key dispatchers, before the control's class acts: an override
    // calls the base (which raises the event) and may consume the key by
    // setting it to 0. KeyDown and KeyUp also see the keys pressed with Alt.
    virtual void KeyDown(std::uint16_t& key, ShiftState shift);
    virtual void KeyPress(char& key);
    virtual void KeyUp(std::uint16_t& key, ShiftState shift);
    // OnContextPopup, then PopupMenu: true when either took the request.
    virtual bool ContextPopup(int x, int y);
    void PeerRemoved(Component* peer) override;

    virtual void ChildAdded(Control&) {}
    virtual void ChildRemoved(Control&) {}
    virtual void CaptionChanged() {}
    // The reading order or the 3-D look changed (this control's own, or its
    // parent's that it follows); an override calls the base, which tells the
    // children that follow.
    virtual void BiDiModeChanged();
    virtual void Ctl3DChanged();
    void ApplyParent(ParentControl* previous) override;
    void ApplyBounds(const RECT& previous) override;
    void ApplyVisible() override;
    void EnabledChanged() override;
    void FontChanged() override;
    void ColorChanged() override;
    HBRUSH BackgroundBrush();
    void ApplyTabOrder();

    // Focus reached this control / left it for another control of the form.
    virtual void DoEnter();
    virtual void DoExit();

    Text caption_;  // kept while there is no window

private:
    // The form this control sits on, unless it is the form itself.
    HostForm* FormAbove();
    void AddChild(ControlBase& child) override;
    void RemoveChild(ControlBase& child) override;
    // The handlers of HandleMessage; those giving a result have handled the
    // message, the rest pass it on (with wParam as they leave it).
    std::optional<LRESULT> ReflectedNotification(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT FocusReceived(WPARAM wParam, LPARAM lParam);
    LRESULT MouseMessage(UINT message, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> KeyMessage(UINT message, WPARAM& wParam, LPARAM lParam);
    std::optional<LRESULT> CharMessage(WPARAM& wParam);
    std::optional<LRESULT> MouseWheelMessage(WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> ContextMenuMessage(WPARAM wParam, LPARAM lParam);
    void WindowPositionChanged(const WINDOWPOS& position);
    void PaintGraphicControls();
    bool GraphicMouse(UINT message, WPARAM wParam, LPARAM lParam);
    GraphicControl* GraphicControlAt(int x, int y) const;
    void EndGraphicCapture();

    std::vector<Control*> children_;
    fw::PopupMenu* popupMenu_ = nullptr;
    int tabOrder_ = -1;
    int creationIndex_ = 0;
    bool tabStop_ = false;
    fw::BiDiMode biDiMode_ = fw::BiDiMode::bdLeftToRight;
    bool parentBiDiMode_ = true;
    bool ctl3D_ = true;
    bool parentCtl3D_ = true;
    BrushHandle brush_;
    COLORREF brushColor_ = 0;
    std::vector<GraphicControl*> graphicChildren_;
    GraphicControl* graphicCapture_ = nullptr;
    bool capturedLeftButton_ = false;
};

}  // namespace tarvik::fw
