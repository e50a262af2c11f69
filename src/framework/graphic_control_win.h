// Windowless controls: a control with bounds, visibility, enabled state,
// font and colour but no window of its own. Its windowed parent paints it
// after its own painting, clipped to it, and hands it the pointer events
// that fall on it; the parent holds the pointer capture for the child that
// took a press until the release.
#pragma once

#include <windows.h>

#include "framework/component.h"
#include "framework/events.h"
#include "framework/font_win.h"

namespace tarvik::fw {

class Control;

class GraphicControl : public Component {
public:
    Text ClassName() const override { return "TGraphicControl"; }
    explicit GraphicControl(Component* owner);
    ~GraphicControl() override;

    Control* Parent() const { return parent_; }
    void SetParent(Control* parent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // With ParentColor (the default) the parent's background colour.
    COLORREF Color() const;
    void SetColor(COLORREF color);
    Font& GetFont() { return font_; }

    // Asks the parent to paint this control again.
    void Invalidate();
    // Whether the parent holds the pointer capture for this control.
    bool MouseCaptured() const;
    // The left button went down on this control and has not come up, as far
    // as the parent's messages tell.
    bool LeftButtonHeld() const;

    // Called by the windowed parent: `dc` has its origin at this control's
    // top-left corner and is clipped to it.
    virtual void Paint(HDC dc) = 0;
    // Pointer events in this control's coordinates; the press of a double
    // click comes with ssDouble.
    virtual void MouseDown(MouseButton, ShiftState, int, int) {}
    virtual void MouseMove(ShiftState, int, int) {}
    virtual void MouseUp(MouseButton, ShiftState, int, int) {}
    // The enabled state of this control or of its parent changed.
    virtual void EnabledChanged() { Invalidate(); }
    // Whether the parent chain is enabled too.
    bool EnabledWithParents() const;

    void SetParentComponent(Component* parent) override;
    bool ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) override;
    Persistent* SubObject(const Text& name) override;

protected:
    virtual void BoundsChanged() {}

private:
    Control* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    COLORREF color_ = GetSysColor(COLOR_BTNFACE);
    bool parentColor_ = true;
    Font font_;
};

}  // namespace tarvik::fw
