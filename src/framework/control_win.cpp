#include "framework/control_win.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <tuple>

#include "base/error.h"
#include "framework/gdi_win.h"
#include "framework/graphic_control_win.h"
#include "framework/layout.h"
#include "framework/layout_reader.h"
#include "framework/menu.h"
#include "system/system_error_win.h"
#include "system/wide_text_win.h"

namespace tarvik::fw {

namespace {
int NextCreationIndex() {
    static int next = 100;  // also the control's id; clear of IDOK/IDCANCEL
    return ++next;
}
}  // namespace

Control::Control(Component* owner) : ParentControl(owner), creationIndex_(NextCreationIndex()) {}

Control::~Control() {
    BeginDestroy();
    if (HostForm* form = FormAbove()) form->ControlGone(*this);
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

void Control::AddChild(ControlBase& child) {
    if (auto* graphic = dynamic_cast<GraphicControl*>(&child))
        graphicChildren_.push_back(graphic);
    else
        children_.push_back(static_cast<Control*>(&child));
}

void Control::RemoveChild(ControlBase& child) {
    if (auto* graphic = dynamic_cast<GraphicControl*>(&child)) {
        if (graphicCapture_ == graphic) EndGraphicCapture();
        graphicChildren_.erase(std::remove(graphicChildren_.begin(), graphicChildren_.end(), graphic),
                               graphicChildren_.end());
        return;
    }
    children_.erase(std::remove(children_.begin(), children_.end(), &child), children_.end());
    ChildRemoved(static_cast<Control&>(child));
}

void Control::ApplyParent(ParentControl*) {
    if (!Parent()) return;
    if (HandleAllocated())
        ::SetParent(WindowHandleOrNull(), Parent()->ParentWindowForChildren());
    else
        CreateHandle();
    Parent()->ChildAdded(*this);
    Parent()->ApplyTabOrder();
}

Form* Control::ParentForm() {
    Control* top = this;
    while (top->Parent()) top = top->Parent();
    auto* form = dynamic_cast<HostForm*>(top);
    return form ? &form->AsForm() : nullptr;
}

HostForm* Control::FormAbove() {
    Control* top = this;
    while (top->Parent()) top = top->Parent();
    return top == this ? nullptr : dynamic_cast<HostForm*>(top);
}

void Control::ApplyBounds(const RECT&) {
    if (HandleAllocated())
        SetWindowPos(WindowHandleOrNull(), nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

Text Control::Caption() const {
    HWND window = WindowHandleOrNull();
    if (!window) return caption_;
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return Narrow(text);
}

void Control::SetCaption(const Text& caption) {
    if (caption == Caption()) return;
    caption_ = caption;
    if (HandleAllocated()) SetWindowTextW(WindowHandleOrNull(), Wide(caption).c_str());
    CaptionChanged();
}

void Control::ApplyVisible() {
    if (HandleAllocated()) ShowWindow(WindowHandleOrNull(), Visible() ? SW_SHOWNA : SW_HIDE);
}

void Control::EnabledChanged() {
    if (HandleAllocated()) EnableWindow(WindowHandleOrNull(), Enabled() ? TRUE : FALSE);
    for (ControlBase* child : std::vector<GraphicControl*>(graphicChildren_)) child->EnabledChanged();
}

void Control::SetTabOrder(int order) {
    if (order == tabOrder_) return;
    tabOrder_ = order;
    if (Parent()) Parent()->ApplyTabOrder();
}

void Control::SetTabStop(bool value) {
    if (value == tabStop_) return;
    tabStop_ = value;
    if (!HandleAllocated()) return;
    const LONG_PTR style = GetWindowLongPtrA(WindowHandleOrNull(), GWL_STYLE);
    SetWindowLongPtrA(WindowHandleOrNull(), GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~LONG_PTR{WS_TABSTOP}));
}

fw::BiDiMode Control::BiDiMode() const {
    return parentBiDiMode_ && Parent() ? Parent()->BiDiMode() : biDiMode_;
}

void Control::SetBiDiMode(fw::BiDiMode mode) {
    if (!parentBiDiMode_ && mode == biDiMode_) return;
    const fw::BiDiMode before = BiDiMode();
    biDiMode_ = mode;
    parentBiDiMode_ = false;
    if (BiDiMode() != before) BiDiModeChanged();
}

void Control::SetParentBiDiMode(bool value) {
    if (value == parentBiDiMode_) return;
    const fw::BiDiMode before = BiDiMode();
    parentBiDiMode_ = value;
    if (BiDiMode() != before) BiDiModeChanged();
}

bool Control::Ctl3D() const { return parentCtl3D_ && Parent() ? Parent()->Ctl3D() : ctl3D_; }

void Control::SetCtl3D(bool value) {
    if (!parentCtl3D_ && value == ctl3D_) return;
    const bool before = Ctl3D();
    ctl3D_ = value;
    parentCtl3D_ = false;
    if (Ctl3D() != before) Ctl3DChanged();
}

void Control::SetParentCtl3D(bool value) {
    if (value == parentCtl3D_) return;
    const bool before = Ctl3D();
    parentCtl3D_ = value;
    if (Ctl3D() != before) Ctl3DChanged();
}

void Control::BiDiModeChanged() {
    for (Control* child : children_)
        if (child->parentBiDiMode_) child->BiDiModeChanged();
}

void Control::Ctl3DChanged() {
    for (Control* child : children_)
        if (child->parentCtl3D_) child->Ctl3DChanged();
}

bool Control::Focused() const { return HandleAllocated() && GetFocus() == WindowHandleOrNull(); }

bool Control::CanFocus() const {
    HWND window = WindowHandleOrNull();
    return window && IsWindowVisible(window) && IsWindowEnabled(window);
}

void Control::SetFocus() { ::SetFocus(Handle()); }

bool Control::ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) {
    if (name == "Caption") SetCaption(LayoutReader::String(value));
    else if (name == "TabOrder") SetTabOrder(LayoutReader::Int32(value));
    else if (name == "TabStop") SetTabStop(LayoutReader::Boolean(value));
    else if (name == "BiDiMode") {
        const Text& item = LayoutReader::Identifier(value);
        if (item == "bdLeftToRight") SetBiDiMode(fw::BiDiMode::bdLeftToRight);
        else if (item == "bdRightToLeft") SetBiDiMode(fw::BiDiMode::bdRightToLeft);
        else throw Error("unknown reading order " + item);
    } else if (name == "ParentBiDiMode") SetParentBiDiMode(LayoutReader::Boolean(value));
    else if (name == "Ctl3D") SetCtl3D(LayoutReader::Boolean(value));
    else if (name == "ParentCtl3D") SetParentCtl3D(LayoutReader::Boolean(value));
    else if (name == "OnKeyDown") OnKeyDown = reader.Handler<KeyEvent>(value);
    else if (name == "OnKeyPress") OnKeyPress = reader.Handler<KeyPressEvent>(value);
    else if (name == "OnKeyUp") OnKeyUp = reader.Handler<KeyEvent>(value);
    else if (name == "OnMouseWheelDown") OnMouseWheelDown = reader.Handler<MouseWheelUpDownEvent>(value);
    else if (name == "OnMouseWheelUp") OnMouseWheelUp = reader.Handler<MouseWheelUpDownEvent>(value);
    else if (name == "OnContextPopup") OnContextPopup = reader.Handler<ContextPopupEvent>(value);
    else if (name == "PopupMenu") {
        reader.Reference(value, [this](Component* component) {
            auto* menu = dynamic_cast<fw::PopupMenu*>(component);
            if (component && !menu) throw Error(component->Name() + " is not a pop-up menu");
            SetPopupMenu(menu);
        });
    } else if (name == "OnEnter") OnEnter = reader.Handler<NotifyEvent>(value);
    else if (name == "OnExit") OnExit = reader.Handler<NotifyEvent>(value);
    else return ControlBase::ReadProperty(name, value, reader);
    return true;
}

void Control::CreateHandle() {
    const CreateParams params = GetCreateParams();
    DWORD style = params.style | WS_CLIPSIBLINGS;
    if (!Enabled()) style |= WS_DISABLED;
    if (tabStop_) style |= WS_TABSTOP;
    HWND parentWindow = nullptr;
    HMENU id = nullptr;
    if (Parent()) {
        style |= WS_CHILD;
        if (Visible()) style |= WS_VISIBLE;
        parentWindow = Parent()->ParentWindowForChildren();
        id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(creationIndex_));
    } else {
        parentWindow = OwnerWindow();
    }
    CreateWindowHandle(params.exStyle, params.className, caption_.c_str(), style, Left(), Top(), Width(), Height(),
                       parentWindow, id);
    HandleCreated();
}

void Control::HandleCreated() {
    // The system may have adjusted the size (a caption's minimum width).
    RECT bounds;
    GetWindowRect(WindowHandleOrNull(), &bounds);
    if (Parent()) MapWindowPoints(nullptr, Parent()->ParentWindowForChildren(), reinterpret_cast<POINT*>(&bounds), 2);
    StoreBounds(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
    SendMessageA(WindowHandleOrNull(), WM_SETFONT, reinterpret_cast<WPARAM>(GetFont().Handle()), FALSE);
}

void Control::RecreateHandle() {
    if (!HandleAllocated()) return;
    const HWND old = WindowHandleOrNull();
    const bool focused = GetFocus() == old;
    SaveWindowState();
    EndGraphicCapture();
    DetachWindowHandle();
    try {
        CreateHandle();
    } catch (...) {
        DestroyWindowHandle();
        ReattachWindowHandle(old);
        throw;
    }
    // The children keep their windows (and what the user typed into them).
    const HWND parentWindow = ParentWindowForChildren();
    for (Control* child : children_)
        if (child->HandleAllocated() && GetParent(child->WindowHandleOrNull()) == old)
            ::SetParent(child->WindowHandleOrNull(), parentWindow);
    // Straight from the old window to the new one, so that the focus never
    // passes another control (whose arrival would be this one's exit).
    if (focused) ::SetFocus(WindowHandleOrNull());
    DestroyWindow(old);
    if (Parent()) Parent()->ApplyTabOrder();
}

void Control::SaveWindowState() { caption_ = Caption(); }

LRESULT Control::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    std::optional<LRESULT> result;
    switch (message) {
    case WM_COMMAND:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        result = ReflectedNotification(message, wParam, lParam);
        break;
    case WM_SETFOCUS:
        return FocusReceived(wParam, lParam);
    case WM_PAINT:
        if (!graphicChildren_.empty()) {
            const LRESULT painted = DefaultHandling(message, wParam, lParam);
            PaintGraphicControls();
            return painted;
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
        return MouseMessage(message, wParam, lParam);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
        result = KeyMessage(message, wParam, lParam);
        break;
    case WM_CHAR:
        result = CharMessage(wParam);
        break;
    case WM_MOUSEWHEEL:
        result = MouseWheelMessage(wParam, lParam);
        break;
    case WM_CONTEXTMENU:
        result = ContextMenuMessage(wParam, lParam);
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
    case WM_WINDOWPOSCHANGED:
        WindowPositionChanged(*reinterpret_cast<const WINDOWPOS*>(lParam));
        break;
    default:
        break;
    }
    return result ? *result : DefaultHandling(message, wParam, lParam);
}

// A child's notification to its parent window, handed back to the child.
std::optional<LRESULT> Control::ReflectedNotification(UINT message, WPARAM wParam, LPARAM lParam) {
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
    default:  // the colours of a child's own painting
        if (Control* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
            if (HBRUSH brush = child->ControlColor(reinterpret_cast<HDC>(wParam)))
                return reinterpret_cast<LRESULT>(brush);
        }
        break;
    }
    return std::nullopt;
}

LRESULT Control::FocusReceived(WPARAM wParam, LPARAM lParam) {
    // The control takes the focus first; a failing OnExit or OnEnter then
    // cannot leave it half focused.
    const LRESULT result = DefaultHandling(WM_SETFOCUS, wParam, lParam);
    if (HostForm* form = FormAbove()) {
        Control* previous = form->FocusMovedTo(*this);
        if (previous != this) {
            if (previous) previous->DoExit();
            DoEnter();
        }
    }
    return result;
}

LRESULT Control::MouseMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (GraphicMouse(message, wParam, lParam)) return 0;
    // The control's class acts first (an edit takes the focus and places the
    // caret), then the events tell of it, unless what the class did (a
    // button's OnClick) has destroyed the control.
    const HWND window = WindowHandleOrNull();
    const LRESULT result = DefaultHandling(message, wParam, lParam);
    if (IsWindow(window) && FromHandle(window) == this)
        DispatchMouse(message, wParam, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    return result;
}

std::optional<LRESULT> Control::KeyMessage(UINT message, WPARAM& wParam, LPARAM lParam) {
    auto key = static_cast<std::uint16_t>(wParam);
    const ShiftState shift = ReadModifierKeys((lParam & (1 << 29)) != 0);
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) KeyDown(key, shift);
    else KeyUp(key, shift);
    if (key == 0) return 0;
    wParam = key;
    return std::nullopt;
}

std::optional<LRESULT> Control::CharMessage(WPARAM& wParam) {
    // The window is a wide one: the character comes in UTF-16, and the
    // handlers see its Windows-1251 byte.
    const wchar_t typed = static_cast<wchar_t>(wParam);
    const Text narrow = Narrow(&typed, 1);
    char key = narrow[0];
    KeyPress(key);
    if (key == 0) return 0;
    // A character left as it was goes on as typed (one that the page lacks
    // too, so that a pair of surrogates stays whole).
    if (key != narrow[0]) wParam = static_cast<WPARAM>(Wide(Text(1, key))[0]);
    return std::nullopt;
}

std::optional<LRESULT> Control::MouseWheelMessage(WPARAM wParam, LPARAM lParam) {
    POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ScreenToClient(WindowHandleOrNull(), &at);
    bool handled = false;
    const auto delta = static_cast<short>(HIWORD(wParam));
    Raise(delta < 0 ? OnMouseWheelDown : OnMouseWheelUp, *this, MouseShiftState(LOWORD(wParam)), int(at.x),
          int(at.y), handled);
    if (handled) return 0;
    return std::nullopt;
}

std::optional<LRESULT> Control::ContextMenuMessage(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(wParam) != WindowHandleOrNull()) return std::nullopt;
    POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (lParam != -1) ScreenToClient(WindowHandleOrNull(), &at);
    if (ContextPopup(at.x, at.y)) return 0;
    return std::nullopt;
}

void Control::WindowPositionChanged(const WINDOWPOS& position) {
    if (!(position.flags & SWP_NOMOVE)) StoreBounds(position.x, position.y, Width(), Height());
    if (!(position.flags & SWP_NOSIZE) && (position.cx != Width() || position.cy != Height())) {
        StoreBounds(Left(), Top(), position.cx, position.cy);
        BoundsChanged();
    }
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
    GraphicControl* child = graphicCapture_ ? graphicCapture_ : GraphicControlAt(x, y);
    if (!child) return false;
    ControlBase& target = *child;
    switch (message) {
    case WM_MOUSEMOVE:
        // Moves say nothing about the capture: the system makes up moves of
        // its own with the keys as they are, not as our messages had them.
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (graphicCapture_) {
            capturedLeftButton_ = (wParam & MK_LBUTTON) != 0;
            // The capture ends with the last button held.
            if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) EndGraphicCapture();
        }
        break;
    default:  // a press
        if (!graphicCapture_) {
            SetCapture(WindowHandleOrNull());
            graphicCapture_ = child;
        }
        capturedLeftButton_ = (wParam & MK_LBUTTON) != 0;
        try {
            target.DispatchMouse(message, wParam, x - child->Left(), y - child->Top());
        } catch (...) {
            // The error box that reports it must get the pointer.
            EndGraphicCapture();
            throw;
        }
        return true;
    }
    target.DispatchMouse(message, wParam, x - child->Left(), y - child->Top());
    return true;
}

void Control::WindowDestroyed() {
    // Children's windows went with ours; they make new ones when needed.
}

bool Control::Command(WORD) { return false; }

bool Control::Notify(NMHDR&, LRESULT&) { return false; }

HBRUSH Control::ControlColor(HDC dc) {
    SetTextColor(dc, GetFont().Color());
    SetBkColor(dc, Color());
    return BackgroundBrush();
}

void Control::KeyDown(std::uint16_t& key, ShiftState shift) { Raise(OnKeyDown, *this, key, shift); }

void Control::KeyPress(char& key) { Raise(OnKeyPress, *this, key); }

void Control::KeyUp(std::uint16_t& key, ShiftState shift) { Raise(OnKeyUp, *this, key, shift); }

bool Control::ContextPopup(int x, int y) {
    bool handled = false;
    Raise(OnContextPopup, *this, x, y, handled);
    if (handled) return true;
    if (!popupMenu_ || !popupMenu_->AutoPopup()) return false;
    // From the keyboard the menu opens at the control's corner.
    POINT at{x < 0 ? 0 : x, y < 0 ? 0 : y};
    ClientToScreen(Handle(), &at);
    popupMenu_->SetPopupComponent(this);
    popupMenu_->Popup(at.x, at.y);
    return true;
}

void Control::SetPopupMenu(fw::PopupMenu* menu) {
    if (menu == popupMenu_) return;
    if (popupMenu_) RemoveFreeNotification(popupMenu_);
    popupMenu_ = menu;
    if (menu) FreeNotification(menu);
}

void Control::PeerRemoved(Component* peer) {
    ControlBase::PeerRemoved(peer);
    if (peer == popupMenu_) popupMenu_ = nullptr;
}

void Control::FontChanged() {
    if (HandleAllocated()) {
        SendMessageA(WindowHandleOrNull(), WM_SETFONT, reinterpret_cast<WPARAM>(GetFont().Handle()), TRUE);
        InvalidateRect(WindowHandleOrNull(), nullptr, TRUE);
    }
    for (Control* child : children_) child->FollowParentFont();
    for (ControlBase* child : graphicChildren_) child->FollowParentFont();
}

void Control::ColorChanged() {
    if (HandleAllocated()) InvalidateRect(WindowHandleOrNull(), nullptr, TRUE);
    for (Control* child : children_)
        if (child->ParentColor()) child->ColorChanged();
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

}  // namespace tarvik::fw
