// What every control is, with a window of its own (Control) or without one
// (GraphicControl): a component placed in a windowed parent, with bounds,
// visibility, an enabled state, a colour and a font, each of the last two
// following the parent's when asked to. The rules live here once; the two
// kinds only say how a change reaches the screen (their window, or their
// parent's painting).
#pragma once

#include <windows.h>

#include "framework/component.h"
#include "framework/events.h"
#include "framework/font_win.h"
#include "framework/pointer_input_win.h"

namespace tarvik::fw {

class Control;
class GraphicControl;
class ParentControl;

class ControlBase : public Component {
public:
    explicit ControlBase(Component* owner);

    Control* Parent() const;
    void SetParent(ParentControl* parent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // This control and every parent up the chain are enabled.
    bool EnabledWithParents() const;

    // Background colour; with ParentColor the parent's.
    COLORREF Color() const;
    void SetColor(COLORREF color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);

    // With ParentFont (the default) the control follows its parent's font;
    // writing any attribute of Font ends that.
    Font& GetFont() { return font_; }
    const Font& GetFont() const { return font_; }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);

    // The display's dots per inch that the control is laid out for; its
    // font carries it.
    int PixelsPerInch() const { return font_.PixelsPerInch(); }
    // The display's dpi changed from `previous` to `dpi`, and the font has
    // been given the new one: position and size scaled by dpi/previous. The
    // form calls it on its controls, the children before their parent, so
    // that a parent lays its children out last.
    virtual void ChangeDpi(int dpi, int previous);

    // A press and release of the left button on the control (where its
    // class reports clicks itself, as a button does, from there), and the
    // second press of a double click; then the pointer events, in this
    // control's coordinates: a release raises OnClick before OnMouseUp, a
    // double click OnDblClick before its OnMouseDown with ssDouble.
    NotifyEvent OnClick;
    NotifyEvent OnDblClick;
    MouseEvent OnMouseDown;
    MouseMoveEvent OnMouseMove;
    MouseEvent OnMouseUp;

    void SetParentComponent(Component* parent) override;
    bool ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) override;
    Persistent* SubObject(const Text& name) override;

protected:
    // The pointer message `message` (WM_MOUSEMOVE, a press, a release or a
    // double click) at (x, y) in this control's coordinates, with the
    // message's key flags: raises the events in their order.
    void DispatchMouse(UINT message, WPARAM keys, int x, int y);
    // Whether a press and release make a click here; a control whose class
    // reports its clicks itself says no.
    virtual bool MouseMakesClicks() const { return true; }
    // The events' dispatchers; an override calls the base to raise the event.
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(MouseButton button, ShiftState shift, int x, int y);
    virtual void MouseMove(ShiftState shift, int x, int y);
    virtual void MouseUp(MouseButton button, ShiftState shift, int x, int y);

    // How each kind shows a change: the new parent (`previous` is the old
    // one), the stored bounds (`previous`: where it was), the visibility.
    virtual void ApplyParent(ParentControl* previous) = 0;
    virtual void ApplyBounds(const RECT& previous) = 0;
    virtual void ApplyVisible() = 0;

    // Notifications; an override calls the base first.
    virtual void BoundsChanged() {}  // the size changed
    virtual void EnabledChanged() {}  // of this control or of its parent
    virtual void FontChanged() {}
    virtual void ColorChanged() {}

    // Takes bounds the system has given the window, without moving it.
    void StoreBounds(int left, int top, int width, int height);
    // The parent in the role a child asks it through, or null.
    ParentControl* ParentRole() const { return parent_; }

    bool visible_ = true;  // a form starts hidden and keeps this itself

private:
    friend class Control;  // tells its children of its own changes
    class PointerEvents;
    void FollowParentFont();

    ParentControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool enabled_ = true;
    COLORREF color_ = GetSysColor(COLOR_BTNFACE);
    bool parentColor_ = false;
    Font font_;
    bool parentFont_ = true;
    bool followingParentFont_ = false;  // copying the parent's font now
    bool clickPending_ = false;  // the left button went down here
};

// The windowed control that other controls are placed in, as its children
// see it: they reach their parent only through this, so that the rules of
// every control need nothing of the windowed kind. Control plays it.
class ParentControl : public ControlBase {
public:
    using ControlBase::ControlBase;

    // This parent as the windowed control it is.
    virtual Control& AsControl() = 0;
    // Marks part of the client area for painting; `erase`: with the background.
    virtual void InvalidateArea(const RECT& area, bool erase) = 0;
    // The windowless child that took a press and holds the pointer capture
    // through this window, or null; and whether the left button is down.
    virtual GraphicControl* GraphicCapture() const = 0;
    virtual bool CapturedLeftButtonDown() const = 0;

private:
    friend class ControlBase;  // places its children here
    virtual void AddChild(ControlBase& child) = 0;
    virtual void RemoveChild(ControlBase& child) = 0;
};

}  // namespace tarvik::fw
