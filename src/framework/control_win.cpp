#include "framework/control_win.h"

#include <algorithm>
#include <climits>
#include <tuple>

#include "base/error.h"
#include "framework/form_win.h"
#include "framework/gdi_win.h"
#include "framework/graphic_control_win.h"
#include "framework/layout.h"
#include "framework/layout_reader.h"
#include "framework/system_error_win.h"

namespace tarvik::fw {

namespace {
int NextCreationIndex() {
    static int next = 100;  // also the control's id; clear of IDOK/IDCANCEL
    return ++next;
}
}  // namespace

Control::Control(Component* owner) : Component(owner), creationIndex_(NextCreationIndex()) {
    font_.OnChange = [this] {
        if (!followingParentFont_) parentFont_ = false;
        FontChanged();
    };
}

Control::~Control() {
    BeginDestroy();
    if (Form* form = ParentForm(); form && form != this) form->ControlGone(*this);
    for (Control* child : children_) child->parent_ = nullptr;
    children_.clear();
    for (GraphicControl* child : std::vector<GraphicControl*>(graphicChildren_)) child->SetParent(nullptr);
    SetParent(nullptr);
    DestroyWindowHandle();
}

HWND Control::Handle() {
    if (!HandleAllocated()) CreateHandle();
    return WindowHandleOrNull();
}

Control* Control::FromHandle(HWND window) { return dynamic_cast<Control*>(WindowBase::FromHandle(window)); }

void Control::SetParent(Control* parent) {
    if (parent == parent_) return;
    if (parent_) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        parent_->ChildRemoved(*this);
    }
    parent_ = parent;
    if (!parent_) return;
    parent_->children_.push_back(this);
    ParentFontChanged();
    if (HandleAllocated())
        ::SetParent(WindowHandleOrNull(), parent_->ParentWindowForChildren());
    else
        CreateHandle();
    parent_->ChildAdded(*this);
    parent_->ApplyTabOrder();
}

Form* Control::ParentForm() {
    Control* top = this;
    while (top->parent_) top = top->parent_;
    return dynamic_cast<Form*>(top);
}

void Control::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    const bool resized = width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (HandleAllocated())
        SetWindowPos(WindowHandleOrNull(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (resized) BoundsChanged();
}

Text Control::Caption() const {
    HWND window = WindowHandleOrNull();
    if (!window) return caption_;
    Text text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Control::SetCaption(const Text& caption) {
    if (caption == Caption()) return;
    caption_ = caption;
    if (HandleAllocated()) SetWindowTextA(WindowHandleOrNull(), caption.c_str());
    CaptionChanged();
}

void Control::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (HandleAllocated()) ShowWindow(WindowHandleOrNull(), visible ? SW_SHOWNA : SW_HIDE);
}

void Control::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (HandleAllocated()) EnableWindow(WindowHandleOrNull(), enabled ? TRUE : FALSE);
    for (GraphicControl* child : std::vector<GraphicControl*>(graphicChildren_)) child->EnabledChanged();
    EnabledChanged();
}

COLORREF Control::Color() const { return parentColor_ && parent_ ? parent_->Color() : color_; }

void Control::SetColor(COLORREF color) {
    if (!parentColor_ && color == color_) return;
    color_ = color;
    parentColor_ = false;
    ColorChanged();
}

void Control::SetParentColor(bool value) {
    if (value == parentColor_) return;
    parentColor_ = value;
    ColorChanged();
}

void Control::SetParentFont(bool value) {
    if (value == parentFont_) return;
    parentFont_ = value;
    ParentFontChanged();
}

void Control::SetTabOrder(int order) {
    if (order == tabOrder_) return;
    tabOrder_ = order;
    if (parent_) parent_->ApplyTabOrder();
}

void Control::SetTabStop(bool value) {
    if (value == tabStop_) return;
    tabStop_ = value;
    if (!HandleAllocated()) return;
    const LONG_PTR style = GetWindowLongPtrA(WindowHandleOrNull(), GWL_STYLE);
    SetWindowLongPtrA(WindowHandleOrNull(), GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~LONG_PTR{WS_TABSTOP}));
}

bool Control::Focused() const { return HandleAllocated() && GetFocus() == WindowHandleOrNull(); }

bool Control::CanFocus() const {
    HWND window = WindowHandleOrNull();
    return window && IsWindowVisible(window) && IsWindowEnabled(window);
}

void Control::SetFocus() { ::SetFocus(Handle()); }

void Control::SetParentComponent(Component* parent) {
    auto* control = dynamic_cast<Control*>(parent);
    if (!control) Component::SetParentComponent(parent);
    SetParent(control);
}

bool Control::ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) {
    if (name == "Left") SetBounds(LayoutReader::Int32(value), top_, width_, height_);
    else if (name == "Top") SetBounds(left_, LayoutReader::Int32(value), width_, height_);
    else if (name == "Width") SetBounds(left_, top_, LayoutReader::Int32(value), height_);
    else if (name == "Height") SetBounds(left_, top_, width_, LayoutReader::Int32(value));
    else if (name == "Caption") SetCaption(LayoutReader::String(value));
    else if (name == "Visible") SetVisible(LayoutReader::Boolean(value));
    else if (name == "Enabled") SetEnabled(LayoutReader::Boolean(value));
    else if (name == "Color") SetColor(static_cast<COLORREF>(LayoutReader::Int32(value)));
    else if (name == "ParentColor") SetParentColor(LayoutReader::Boolean(value));
    else if (name == "ParentFont") SetParentFont(LayoutReader::Boolean(value));
    else if (name == "TabOrder") SetTabOrder(LayoutReader::Int32(value));
    else if (name == "TabStop") SetTabStop(LayoutReader::Boolean(value));
    else if (name == "OnClick") OnClick = reader.Handler<NotifyEvent>(value);
    else if (name == "OnEnter") OnEnter = reader.Handler<NotifyEvent>(value);
    else if (name == "OnExit") OnExit = reader.Handler<NotifyEvent>(value);
    else return Component::ReadProperty(name, value, reader);
    return true;
}

Persistent* Control::SubObject(const Text& name) { return name == "Font" ? &font_ : nullptr; }

void Control::CreateHandle() {
    const CreateParams params = GetCreateParams();
    DWORD style = params.style | WS_CLIPSIBLINGS;
    if (!enabled_) style |= WS_DISABLED;
    if (tabStop_) style |= WS_TABSTOP;
    HWND parentWindow = nullptr;
    HMENU id = nullptr;
    if (parent_) {
        style |= WS_CHILD;
        if (visible_) style |= WS_VISIBLE;
        parentWindow = parent_->ParentWindowForChildren();
        id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(creationIndex_));
    } else {
        parentWindow = OwnerWindow();
    }
    CreateWindowHandle(params.exStyle, params.className, caption_.c_str(), style, left_, top_, width_, height_,
                       parentWindow, id);
    HandleCreated();
}

void Control::HandleCreated() {
    // The system may have adjusted the size (a caption's minimum width).
    RECT bounds;
    GetWindowRect(WindowHandleOrNull(), &bounds);
    if (parent_) MapWindowPoints(nullptr, parent_->ParentWindowForChildren(), reinterpret_cast<POINT*>(&bounds), 2);
    left_ = bounds.left;
    top_ = bounds.top;
    width_ = bounds.right - bounds.left;
    height_ = bounds.bottom - bounds.top;
    SendMessageA(WindowHandleOrNull(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
}

LRESULT Control::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (lParam) {
            if (Control* child = FromHandle(reinterpret_cast<HWND>(lParam)); child && child->Command(HIWORD(wParam)))
                return 0;
        }
        break;
    case WM_VSCROLL:
    case WM_HSCROLL:
        if (lParam) {
            if (Control* child = FromHandle(reinterpret_cast<HWND>(lParam)); child && child->Scrolled(LOWORD(wParam)))
                return 0;
        }
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        LRESULT result = 0;
        if (Control* child = FromHandle(header->hwndFrom); child && child->Notify(*header, result)) return result;
        break;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        if (Control* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
            if (HBRUSH brush = child->ControlColor(reinterpret_cast<HDC>(wParam)))
                return reinterpret_cast<LRESULT>(brush);
        }
        break;
    case WM_SETFOCUS: {
        // The control takes the focus first; a failing OnExit or OnEnter
        // then cannot leave it half focused.
        const LRESULT result = DefaultHandling(message, wParam, lParam);
        if (Form* form = ParentForm(); form && form != this) {
            Control* previous = form->FocusMovedTo(*this);
            if (previous != this) {
                if (previous) previous->DoExit();
                DoEnter();
            }
        }
        return result;
    }
    case WM_PAINT:
        if (!graphicChildren_.empty()) {
            const LRESULT result = DefaultHandling(message, wParam, lParam);
            PaintGraphicControls();
            return result;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (GraphicMouse(message, wParam, lParam)) return 0;
        break;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != WindowHandleOrNull()) {
            graphicCapture_ = nullptr;
            capturedLeftButton_ = false;
        }
        break;
    case WM_CANCELMODE:
        EndGraphicCapture();
        break;
    case WM_WINDOWPOSCHANGED: {
        const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!(position->flags & SWP_NOMOVE)) {
            left_ = position->x;
            top_ = position->y;
        }
        if (!(position->flags & SWP_NOSIZE) && (position->cx != width_ || position->cy != height_)) {
            width_ = position->cx;
            height_ = position->cy;
            BoundsChanged();
        }
        break;
    }
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}

void Control::InsertGraphicControl(GraphicControl& child) { graphicChildren_.push_back(&child); }

void Control::RemoveGraphicControl(GraphicControl& child) {
    if (graphicCapture_ == &child) EndGraphicCapture();
    graphicChildren_.erase(std::remove(graphicChildren_.begin(), graphicChildren_.end(), &child),
                           graphicChildren_.end());
}

void Control::InvalidateArea(const RECT& area, bool erase) {
    if (HandleAllocated()) InvalidateRect(WindowHandleOrNull(), &area, erase ? TRUE : FALSE);
}

void Control::EndGraphicCapture() {
    if (!graphicCapture_) return;
    graphicCapture_ = nullptr;
    capturedLeftButton_ = false;
    if (HandleAllocated() && GetCapture() == WindowHandleOrNull()) ReleaseCapture();
}

void Control::PaintGraphicControls() {
    const WindowDc dc(WindowHandleOrNull());
    if (!dc.Get()) return;
    for (GraphicControl* child : std::vector<GraphicControl*>(graphicChildren_)) {
        if (!child->Visible() || child->Width() <= 0 || child->Height() <= 0) continue;
        // Each child draws at its own origin and cannot draw outside itself.
        const int saved = SaveDC(dc.Get());
        IntersectClipRect(dc.Get(), child->Left(), child->Top(), child->Left() + child->Width(),
                          child->Top() + child->Height());
        SetViewportOrgEx(dc.Get(), child->Left(), child->Top(), nullptr);
        try {
            child->Paint(dc.Get());
        } catch (...) {
            RestoreDC(dc.Get(), saved);
            throw;
        }
        RestoreDC(dc.Get(), saved);
    }
}

GraphicControl* Control::GraphicControlAt(int x, int y) const {
    for (auto it = graphicChildren_.rbegin(); it != graphicChildren_.rend(); ++it) {
        GraphicControl* child = *it;
        if (child->Visible() && child->Enabled() && x >= child->Left() && y >= child->Top() &&
            x < child->Left() + child->Width() && y < child->Top() + child->Height())
            return child;
    }
    return nullptr;
}

bool Control::GraphicMouse(UINT message, WPARAM wParam, LPARAM lParam) {
    if (graphicChildren_.empty()) return false;
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    ShiftState shift = 0;
    if (wParam & MK_SHIFT) shift |= ssShift;
    if (wParam & MK_CONTROL) shift |= ssCtrl;
    if (wParam & MK_LBUTTON) shift |= ssLeft;
    if (wParam & MK_RBUTTON) shift |= ssRight;
    if (wParam & MK_MBUTTON) shift |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    const bool leftDown = (wParam & MK_LBUTTON) != 0;

    switch (message) {
    case WM_MOUSEMOVE: {
        GraphicControl* child = graphicCapture_ ? graphicCapture_ : GraphicControlAt(x, y);
        if (!child) return false;
        // Moves say nothing about the buttons: the system makes up moves of
        // its own with the keys as they are, not as our messages had them.
        child->MouseMove(shift, x - child->Left(), y - child->Top());
        return true;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        const MouseButton button = message == WM_LBUTTONUP ? MouseButton::mbLeft
                                   : message == WM_RBUTTONUP ? MouseButton::mbRight
                                                             : MouseButton::mbMiddle;
        GraphicControl* child = graphicCapture_ ? graphicCapture_ : GraphicControlAt(x, y);
        if (!child) return false;
        if (graphicCapture_) {
            capturedLeftButton_ = leftDown;
            // The capture ends with the last button held.
            if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) EndGraphicCapture();
        }
        child->MouseUp(button, shift, x - child->Left(), y - child->Top());
        return true;
    }
    default: {  // a press
        const bool twice = message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK;
        const MouseButton button = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK ? MouseButton::mbLeft
                                   : message == WM_RBUTTONDOWN || message == WM_RBUTTONDBLCLK ? MouseButton::mbRight
                                                                                             : MouseButton::mbMiddle;
        GraphicControl* child = graphicCapture_ ? graphicCapture_ : GraphicControlAt(x, y);
        if (!child) return false;
        if (twice) shift |= ssDouble;
        if (!graphicCapture_) {
            SetCapture(WindowHandleOrNull());
            graphicCapture_ = child;
        }
        capturedLeftButton_ = leftDown;
        try {
            child->MouseDown(button, shift, x - child->Left(), y - child->Top());
        } catch (...) {
            // The error box that reports it must get the pointer.
            EndGraphicCapture();
            throw;
        }
        return true;
    }
    }
}

void Control::WindowDestroyed() {
    // Children's windows went with ours; they make new ones when needed.
}

bool Control::Command(WORD) { return false; }

bool Control::Notify(NMHDR&, LRESULT&) { return false; }

HBRUSH Control::ControlColor(HDC dc) {
    SetTextColor(dc, font_.Color());
    SetBkColor(dc, Color());
    return BackgroundBrush();
}

void Control::Click() { Raise(OnClick, *this); }

void Control::FontChanged() {
    if (HandleAllocated()) {
        SendMessageA(WindowHandleOrNull(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
        InvalidateRect(WindowHandleOrNull(), nullptr, TRUE);
    }
    for (Control* child : children_) child->ParentFontChanged();
}

void Control::ColorChanged() {
    if (HandleAllocated()) InvalidateRect(WindowHandleOrNull(), nullptr, TRUE);
    for (Control* child : children_)
        if (child->parentColor_) child->ColorChanged();
}

HBRUSH Control::BackgroundBrush() {
    const COLORREF color = Color();
    if (!brush_ || brushColor_ != color) {
        brush_.Reset(CreateSolidBrush(color));
        if (!brush_) ThrowSystemError("Unable to create a brush", GetLastError());
        brushColor_ = color;
    }
    return brush_.Get();
}

void Control::ApplyTabOrder() {
    if (!HandleAllocated()) return;
    HWND after = HWND_TOP;
    for (Control* child : ChildrenInTabOrder()) {
        SetWindowPos(child->WindowHandleOrNull(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = child->WindowHandleOrNull();
    }
}

std::vector<Control*> Control::ChildrenInTabOrder() const {
    std::vector<Control*> ordered;
    for (Control* child : children_)
        if (child->HandleAllocated()) ordered.push_back(child);
    std::stable_sort(ordered.begin(), ordered.end(), [](const Control* a, const Control* b) {
        const int orderA = a->tabOrder_ < 0 ? INT_MAX : a->tabOrder_;
        const int orderB = b->tabOrder_ < 0 ? INT_MAX : b->tabOrder_;
        return std::tie(orderA, a->creationIndex_) < std::tie(orderB, b->creationIndex_);
    });
    return ordered;
}

void Control::DoEnter() { Raise(OnEnter, *this); }

void Control::DoExit() { Raise(OnExit, *this); }

void Control::ParentFontChanged() {
    if (!parentFont_ || !parent_) return;
    followingParentFont_ = true;
    try {
        font_.Assign(parent_->font_);
    } catch (...) {
        followingParentFont_ = false;
        throw;
    }
    followingParentFont_ = false;
}

}  // namespace tarvik::fw
