#include "framework/control_base_win.h"

#include <utility>

#include "framework/dpi_scale.h"
#include "framework/layout_reader.h"

namespace tarvik::fw {

ControlBase::ControlBase(Component* owner) : Component(owner) {
    font_.OnChange = [this] {
        if (!followingParentFont_) parentFont_ = false;
        FontChanged();
    };
}

Control* ControlBase::Parent() const { return parent_ ? &parent_->AsControl() : nullptr; }

void ControlBase::SetParent(ParentControl* parent) {
    if (parent == parent_) return;
    ParentControl* previous = parent_;
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
    auto* control = dynamic_cast<ParentControl*>(parent);
    if (!control) Component::SetParentComponent(parent);
    SetParent(control);
}

bool ControlBase::ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) {
    if (name == "Left") SetBounds(reader.Scaled(value), top_, width_, height_);
    else if (name == "Top") SetBounds(left_, reader.Scaled(value), width_, height_);
    else if (name == "Width") SetBounds(left_, top_, reader.Scaled(value), height_);
    else if (name == "Height") SetBounds(left_, top_, width_, reader.Scaled(value));
    else if (name == "Visible") SetVisible(LayoutReader::Boolean(value));
    else if (name == "Enabled") SetEnabled(LayoutReader::Boolean(value));
    else if (name == "Color") SetColor(static_cast<COLORREF>(LayoutReader::Int32(value)));
    else if (name == "ParentColor") SetParentColor(LayoutReader::Boolean(value));
    else if (name == "ParentFont") SetParentFont(LayoutReader::Boolean(value));
    else if (name == "OnClick") OnClick = reader.Handler<NotifyEvent>(value);
    else if (name == "OnDblClick") OnDblClick = reader.Handler<NotifyEvent>(value);
    else if (name == "OnMouseDown") OnMouseDown = reader.Handler<MouseEvent>(value);
    else if (name == "OnMouseMove") OnMouseMove = reader.Handler<MouseMoveEvent>(value);
    else if (name == "OnMouseUp") OnMouseUp = reader.Handler<MouseEvent>(value);
    else return Component::ReadProperty(name, value, reader);
    return true;
}

// The events of a pointer message on the control; only the left button
// clicks, and only where the class does not report clicks itself.
class ControlBase::PointerEvents final : public MouseTarget {
public:
    explicit PointerEvents(ControlBase& control) : control_(control) {}
    void PressCounted(MouseButton) override { control_.clickPending_ = true; }
    bool PressReleased(MouseButton) override { return std::exchange(control_.clickPending_, false); }
    void PointerMove(ShiftState shift, int x, int y) override { control_.MouseMove(shift, x, y); }
    void PointerDown(MouseButton button, ShiftState shift, int x, int y) override {
        control_.MouseDown(button, shift, x, y);
    }
    void PointerUp(MouseButton button, ShiftState shift, int x, int y) override {
        control_.MouseUp(button, shift, x, y);
    }
    void PointerClick(MouseButton, ShiftState, int x, int y) override {
        if (control_.MouseMakesClicks() && x >= 0 && y >= 0 && x < control_.width_ && y < control_.height_)
            control_.Click();
    }
    void PointerDoubleClick() override { control_.DblClick(); }

private:
    ControlBase& control_;
};

void ControlBase::DispatchMouse(UINT message, WPARAM keys, int x, int y) {
    PointerEvents events(*this);
    MouseRules rules;
    rules.keyFlags = keys;
    TranslateMouse(message, x, y, rules, events);
}

void ControlBase::Click() { Raise(OnClick, *this); }

void ControlBase::DblClick() { Raise(OnDblClick, *this); }

void ControlBase::MouseDown(MouseButton button, ShiftState shift, int x, int y) {
    Raise(OnMouseDown, *this, button, shift, x, y);
}

void ControlBase::MouseMove(ShiftState shift, int x, int y) { Raise(OnMouseMove, *this, shift, x, y); }

void ControlBase::MouseUp(MouseButton button, ShiftState shift, int x, int y) {
    Raise(OnMouseUp, *this, button, shift, x, y);
}

void ControlBase::ChangeDpi(int dpi, int previous) {
    SetBounds(ScaleBetween(left_, dpi, previous), ScaleBetween(top_, dpi, previous),
              ScaleBetween(width_, dpi, previous), ScaleBetween(height_, dpi, previous));
}

Persistent* ControlBase::SubObject(const Text& name) { return name == "Font" ? &font_ : nullptr; }

}  // namespace tarvik::fw
