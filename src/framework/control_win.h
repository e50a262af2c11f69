// Windowed controls: a component with a window, a position in its parent,
// text, colour, font, tab order and focus events.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/component.h"
#include "framework/events.h"
#include "framework/font_win.h"
#include "framework/handles_win.h"
#include "framework/window_win.h"

namespace tarvik::fw {

class Form;
class GraphicControl;

class Control : public Component, public WindowBase {
public:
    explicit Control(Component* owner);
    ~Control() override;

    // The window, created on first use (a control needs its parent first).
    HWND Handle();
    bool HandleAllocated() const { return WindowHandleOrNull() != nullptr; }
    // The control behind a window of the framework, or null.
    static Control* FromHandle(HWND window);

    Control* Parent() const { return parent_; }
    void SetParent(Control* parent);
    // The child controls in the order they were placed.
    const std::vector<Control*>& Controls() const { return children_; }
    // The form this control sits on (itself for a form), or null.
    Form* ParentForm();

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetBounds(int left, int top, int width, int height);

    Text Caption() const;  // the window text, as it stands
    void SetCaption(const Text& caption);

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // Background colour; with ParentColor the parent's.
    COLORREF Color() const;
    void SetColor(COLORREF color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);

    // With ParentFont the control follows its parent's font; writing any
    // attribute of Font ends that.
    Font& GetFont() { return font_; }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);

    // Position among the siblings when tabbing: lower first.
    int TabOrder() const { return tabOrder_; }
    void SetTabOrder(int order);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);

    // The windowless children, painted after this control's own painting in
    // the order they were placed, and hit by the pointer newest first.
    const std::vector<GraphicControl*>& GraphicControls() const { return graphicChildren_; }
    void InsertGraphicControl(GraphicControl& child);
    void RemoveGraphicControl(GraphicControl& child);
    // Marks part of the client area for painting; `erase`: with the background.
    void InvalidateArea(const RECT& area, bool erase);
    // The windowless child that took a press and holds the pointer capture
    // through this window, or null; and whether the left button is down.
    GraphicControl* GraphicCapture() const { return graphicCapture_; }
    bool CapturedLeftButtonDown() const { return capturedLeftButton_; }

    // The children with a window: explicit tab orders first, lowest first,
    // the rest in the order of their creation.
    std::vector<Control*> ChildrenInTabOrder() const;

    bool Focused() const;
    // The window exists, shows and takes input (with all its parents).
    bool CanFocus() const;
    void SetFocus();

    NotifyEvent OnClick;
    NotifyEvent OnEnter;
    NotifyEvent OnExit;

    void SetParentComponent(Component* parent) override;
    bool ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) override;
    Persistent* SubObject(const Text& name) override;

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

    virtual void Click();
    virtual void ChildAdded(Control&) {}
    virtual void ChildRemoved(Control&) {}
    virtual void BoundsChanged() {}
    virtual void EnabledChanged() {}
    virtual void CaptionChanged() {}
    virtual void FontChanged();
    virtual void ColorChanged();
    HBRUSH BackgroundBrush();
    void ApplyTabOrder();

    // Focus reached this control / left it for another control of the form.
    virtual void DoEnter();
    virtual void DoExit();

    Text caption_;       // kept while there is no window
    bool visible_ = true;  // a form starts hidden and keeps this itself

private:
    void ParentFontChanged();
    void PaintGraphicControls();
    bool GraphicMouse(UINT message, WPARAM wParam, LPARAM lParam);
    GraphicControl* GraphicControlAt(int x, int y) const;
    void EndGraphicCapture();

    Control* parent_ = nullptr;
    std::vector<Control*> children_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool enabled_ = true;
    COLORREF color_ = GetSysColor(COLOR_BTNFACE);
    bool parentColor_ = false;
    Font font_;
    bool parentFont_ = true;
    bool followingParentFont_ = false;  // copying the parent's font now
    int tabOrder_ = -1;
    int creationIndex_ = 0;
    bool tabStop_ = false;
    BrushHandle brush_;
    COLORREF brushColor_ = 0;
    std::vector<GraphicControl*> graphicChildren_;
    GraphicControl* graphicCapture_ = nullptr;
    bool capturedLeftButton_ = false;
};

}  // namespace tarvik::fw
