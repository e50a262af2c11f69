#include "framework/graphic_control_win.h"

#include "framework/control_win.h"

namespace tarvik::fw {

GraphicControl::GraphicControl(Component* owner) : ControlBase(owner) { SetParentColor(true); }

GraphicControl::~GraphicControl() {
    BeginDestroy();
    SetParent(nullptr);
}

void GraphicControl::ApplyParent(Control* previous) {
    if (previous) InvalidateArea(*previous, BoundsRect());
    Invalidate();
}

void GraphicControl::ApplyBounds(const RECT& previous) {
    if (Parent()) InvalidateArea(*Parent(), previous);
    Invalidate();
}

void GraphicControl::ApplyVisible() {
    // The parent paints its own background where a hidden child was.
    if (Parent()) Parent()->InvalidateArea(BoundsRect(), true);
}

void GraphicControl::Invalidate() {
    if (Parent()) InvalidateArea(*Parent(), BoundsRect());
}

void GraphicControl::InvalidateArea(Control& parent, const RECT& area) {
    if (Visible() && area.right > area.left && area.bottom > area.top) parent.InvalidateArea(area, false);
}

bool GraphicControl::MouseCaptured() const { return Parent() && Parent()->GraphicCapture() == this; }

bool GraphicControl::LeftButtonHeld() const { return MouseCaptured() && Parent()->CapturedLeftButtonDown(); }

}  // namespace tarvik::fw
