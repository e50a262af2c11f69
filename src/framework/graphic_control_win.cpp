#include "framework/graphic_control_win.h"

namespace tarvik::fw {

GraphicControl::GraphicControl(Component* owner) : ControlBase(owner) { SetParentColor(true); }

GraphicControl::~GraphicControl() {
    BeginDestroy();
    SetParent(nullptr);
}

void GraphicControl::ApplyParent(ParentControl* previous) {
    if (previous) InvalidateArea(*previous, BoundsRect());
    Invalidate();
}

void GraphicControl::ApplyBounds(const RECT& previous) {
    if (ParentRole()) InvalidateArea(*ParentRole(), previous);
    Invalidate();
}

void GraphicControl::ApplyVisible() {
    // The parent paints its own background where a hidden child was.
    if (ParentRole()) ParentRole()->InvalidateArea(BoundsRect(), true);
}

void GraphicControl::Invalidate() {
    if (ParentRole()) InvalidateArea(*ParentRole(), BoundsRect());
}

void GraphicControl::InvalidateArea(ParentControl& parent, const RECT& area) {
    if (Visible() && area.right > area.left && area.bottom > area.top) parent.InvalidateArea(area, false);
}

bool GraphicControl::MouseCaptured() const { return ParentRole() && ParentRole()->GraphicCapture() == this; }

bool GraphicControl::LeftButtonHeld() const { return MouseCaptured() && ParentRole()->CapturedLeftButtonDown(); }

}  // namespace tarvik::fw
