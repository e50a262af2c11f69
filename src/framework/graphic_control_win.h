// Windowless controls: a control with no window of its own. Its windowed
// parent paints it after its own painting, clipped to it, and hands it the
// pointer events that fall on it; the parent holds the pointer capture for
// the child that took a press until the release.
#pragma once

#include <windows.h>

#include "framework/control_base_win.h"
#include "framework/events.h"

namespace tarvik::fw {

class GraphicControl : public ControlBase {
public:
    Text ClassName() const override { return "TGraphicControl"; }
    explicit GraphicControl(Component* owner);
    ~GraphicControl() override;

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

protected:
    void ApplyParent(Control* previous) override;
    void ApplyBounds(const RECT& previous) override;
    void ApplyVisible() override;
    void EnabledChanged() override { Invalidate(); }
    void FontChanged() override { Invalidate(); }
    void ColorChanged() override { Invalidate(); }

private:
    void InvalidateArea(Control& parent, const RECT& area);
};

}  // namespace tarvik::fw
