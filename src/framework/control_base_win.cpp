#include "framework/control_base_win.h"

#include "framework/control_win.h"
#include "framework/layout_reader.h"

namespace tarvik::fw {

ControlBase::ControlBase(Component* owner) : Component(owner) {
    font_.OnChange = [this] {
        if (!followingParentFont_) parentFont_ = false;
        FontChanged();
    };
}

void ControlBase::SetParent(Control* parent) {
    if (parent == parent_) return;
    Control* previous = parent_;
    if (previous) previous->RemoveChild(*this);
    parent_ = parent;
    if (parent_) {
        parent_->AddChild(*this);
        FollowParentFont();
    }
    ApplyParent(previous);
}

void ControlBase::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    const bool resized = width != width_ || height != height_;
    const RECT previous = BoundsRect();
    StoreBounds(left, top, width, height);
    ApplyBounds(previous);
    if (resized) BoundsChanged();
}

void ControlBase::StoreBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

void ControlBase::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    ApplyVisible();
}

void ControlBase::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    EnabledChanged();
}

bool ControlBase::EnabledWithParents() const {
    for (const ControlBase* control = this; control; control = control->parent_)
        if (!control->enabled_) return false;
    return true;
}

COLORREF ControlBase::Color() const { return parentColor_ && parent_ ? parent_->Color() : color_; }

void ControlBase::SetColor(COLORREF color) {
    if (!parentColor_ && color == color_) return;
    color_ = color;
    parentColor_ = false;
    ColorChanged();
}

void ControlBase::SetParentColor(bool value) {
    if (value == parentColor_) return;
    parentColor_ = value;
    ColorChanged();
}

void ControlBase::SetParentFont(bool value) {
    if (value == parentFont_) return;
    parentFont_ = value;
    FollowParentFont();
}

void ControlBase::FollowParentFont() {
    if (!parentFont_ || !parent_) return;
    followingParentFont_ = true;
    try {
        font_.Assign(parent_->GetFont());
    } catch (...) {
        followingParentFont_ = false;
        throw;
    }
    followingParentFont_ = false;
}

void ControlBase::SetParentComponent(Component* parent) {
    auto* control = dynamic_cast<Control*>(parent);
    if (!control) Component::SetParentComponent(parent);
    SetParent(control);
}

bool ControlBase::ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) {
    if (name == "Left") SetBounds(LayoutReader::Int32(value), top_, width_, height_);
    else if (name == "Top") SetBounds(left_, LayoutReader::Int32(value), width_, height_);
    else if (name == "Width") SetBounds(left_, top_, LayoutReader::Int32(value), height_);
    else if (name == "Height") SetBounds(left_, top_, width_, LayoutReader::Int32(value));
    else if (name == "Visible") SetVisible(LayoutReader::Boolean(value));
    else if (name == "Enabled") SetEnabled(LayoutReader::Boolean(value));
    else if (name == "Color") SetColor(static_cast<COLORREF>(LayoutReader::Int32(value)));
    else if (name == "ParentColor") SetParentColor(LayoutReader::Boolean(value));
    else if (name == "ParentFont") SetParentFont(LayoutReader::Boolean(value));
    else return Component::ReadProperty(name, value, reader);
    return true;
}

Persistent* ControlBase::SubObject(const Text& name) { return name == "Font" ? &font_ : nullptr; }

}  // namespace tarvik::fw
