#include "framework/graphic_control_win.h"

#include "framework/control_win.h"
#include "framework/layout_reader.h"

namespace tarvik::fw {

GraphicControl::GraphicControl(Component* owner) : Component(owner) {
    font_.OnChange = [this] { Invalidate(); };
}

GraphicControl::~GraphicControl() {
    BeginDestroy();
    SetParent(nullptr);
}

void GraphicControl::SetParent(Control* parent) {
    if (parent == parent_) return;
    if (parent_) {
        Invalidate();
        parent_->RemoveGraphicControl(*this);
    }
    parent_ = parent;
    if (!parent_) return;
    parent_->InsertGraphicControl(*this);
    font_.Assign(parent_->GetFont());
    Invalidate();
}

void GraphicControl::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    const bool resized = width != width_ || height != height_;
    Invalidate();  // where it was
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Invalidate();
    if (resized) BoundsChanged();
}

void GraphicControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    // The parent paints its own background where a hidden child was.
    if (parent_) parent_->InvalidateArea(BoundsRect(), true);
}

void GraphicControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    EnabledChanged();
}

bool GraphicControl::EnabledWithParents() const {
    if (!enabled_) return false;
    for (const Control* parent = parent_; parent; parent = parent->Parent())
        if (!parent->Enabled()) return false;
    return true;
}

COLORREF GraphicControl::Color() const { return parentColor_ && parent_ ? parent_->Color() : color_; }

void GraphicControl::SetColor(COLORREF color) {
    if (!parentColor_ && color == color_) return;
    color_ = color;
    parentColor_ = false;
    Invalidate();
}

void GraphicControl::Invalidate() {
    if (parent_ && visible_ && width_ > 0 && height_ > 0) parent_->InvalidateArea(BoundsRect(), false);
}

bool GraphicControl::MouseCaptured() const { return parent_ && parent_->GraphicCapture() == this; }

bool GraphicControl::LeftButtonHeld() const { return MouseCaptured() && parent_->CapturedLeftButtonDown(); }

void GraphicControl::SetParentComponent(Component* parent) {
    auto* control = dynamic_cast<Control*>(parent);
    if (!control) Component::SetParentComponent(parent);
    SetParent(control);
}

bool GraphicControl::ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) {
    if (name == "Left") SetBounds(LayoutReader::Int32(value), top_, width_, height_);
    else if (name == "Top") SetBounds(left_, LayoutReader::Int32(value), width_, height_);
    else if (name == "Width") SetBounds(left_, top_, LayoutReader::Int32(value), height_);
    else if (name == "Height") SetBounds(left_, top_, width_, LayoutReader::Int32(value));
    else if (name == "Visible") SetVisible(LayoutReader::Boolean(value));
    else if (name == "Enabled") SetEnabled(LayoutReader::Boolean(value));
    else if (name == "Color") SetColor(static_cast<COLORREF>(LayoutReader::Int32(value)));
    else return Component::ReadProperty(name, value, reader);
    return true;
}

Persistent* GraphicControl::SubObject(const Text& name) { return name == "Font" ? &font_ : nullptr; }

}  // namespace tarvik::fw
