// Windowless controls: a control with no window of its own. Its windowed
// parent paints it after its own painting, clipped to it, and hands it the
// pointer events that fall on it; the parent holds the pointer capture for
// the child that took a press until the release.
#pragma once

#include <windows.h>

#include "framework/control_base_win.h"

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
    // top-left corner and is clipped to it. The parent also hands over the
    // pointer messages that fall on this control.
    virtual void Paint(HDC dc) = 0;

protected:
    void ApplyParent(ParentControl* previous) override;
    void ApplyBounds(const RECT& previous) override;
    void ApplyVisible() override;
    void EnabledChanged() override { Invalidate(); }
    void FontChanged() override { Invalidate(); }
    void ColorChanged() override { Invalidate(); }

private:
    void InvalidateArea(ParentControl& parent, const RECT& area);
};

}  // namespace tarvik::fw
