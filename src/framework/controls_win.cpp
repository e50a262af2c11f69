#include "framework/controls_win.h"

#include <commctrl.h>

#include <algorithm>

#include "base/error.h"
#include "framework/gdi_win.h"
#include "framework/layout.h"
#include "framework/layout_reader.h"
#include "framework/themed_check_box_win.h"
#include "system/wide_text_win.h"

namespace tarvik::fw {

namespace {
const char kStaticClass[] = "TarvikStatic";
const char kEditClass[] = "TarvikEdit";
const char kButtonClass[] = "TarvikButton";
const char kTabControlClass[] = "TarvikTabControl";
const char kTabSheetClass[] = "TarvikTabSheet";

Alignment ReadAlignment(const LayoutValue& value) {
    const Text& item = LayoutReader::Identifier(value);
    if (item == "taLeftJustify") return Alignment::taLeftJustify;
    if (item == "taRightJustify") return Alignment::taRightJustify;
    if (item == "taCenter") return Alignment::taCenter;
    throw Error("unknown alignment " + item);
}

LRESULT FillBackground(HWND window, HDC dc, HBRUSH brush) {
    RECT area;
    GetClientRect(window, &area);
    FillRect(dc, &area, brush);
    return 1;
}
}  // namespace

// ---- Label

Label::Label(Component* owner) : Control(owner) { SetParentColor(true); }

void Label::SetAlignment(Alignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    if (!HandleAllocated()) return;
    LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE) & ~LONG_PTR{SS_TYPEMASK};
    style |= alignment == Alignment::taCenter ? SS_CENTER : alignment == Alignment::taRightJustify ? SS_RIGHT : SS_LEFT;
    SetWindowLongPtrA(Handle(), GWL_STYLE, style);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void Label::SetAutoSize(bool value) {
    if (value == autoSize_) return;
    autoSize_ = value;
    AdjustSize();
}

void Label::HandleCreated() {
    Control::HandleCreated();
    AdjustSize();
}

void Label::CaptionChanged() { AdjustSize(); }

void Label::FontChanged() {
    Control::FontChanged();
    AdjustSize();
}

void Label::ChangeDpi(int dpi, int previous) {
    Control::ChangeDpi(dpi, previous);
    AdjustSize();
}

void Label::AdjustSize() {
    if (!autoSize_ || !HandleAllocated()) return;
    HWND window = Handle();
    const WindowDc dc(window);
    if (!dc.Get()) return;
    RECT bounds{0, 0, 0, 0};
    {
        const SelectedObject font(dc.Get(), GetFont().Handle());
        const Text text = Caption();
        DrawTextW(dc.Get(), Wide(text.empty() ? " " : text).c_str(), -1, &bounds,
                  DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
    }
    // The edge the text is aligned to stays where it is.
    int left = Left();
    const int width = bounds.right;
    if (alignment_ == Alignment::taRightJustify) left += Width() - width;
    else if (alignment_ == Alignment::taCenter) left += (Width() - width) / 2;
    SetBounds(left, Top(), width, bounds.bottom);
}

bool Label::ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) {
    if (name == "AutoSize") {
        SetAutoSize(LayoutReader::Boolean(value));
        return true;
    }
    if (name != "Alignment") return Control::ReadProperty(name, value, reader);
    SetAlignment(ReadAlignment(value));
    return true;
}

Control::CreateParams Label::GetCreateParams() {
    RegisterSuperclass(kStaticClass, "STATIC");
    const DWORD align = alignment_ == Alignment::taCenter        ? SS_CENTER
                        : alignment_ == Alignment::taRightJustify ? SS_RIGHT
                                                                  : SS_LEFT;
    return {kStaticClass, align | SS_NOTIFY | SS_NOPREFIX, 0};
}

bool Label::Command(WORD code) {
    if (code != STN_CLICKED) return false;
    Click();
    return true;
}

// ---- Edit

Edit::Edit(Component* owner) : Control(owner) {
    SetTabStop(true);
    SetColor(GetSysColor(COLOR_WINDOW));
}

void Edit::SetMaxLength(int length) {
    if (length < 0) throw Error("the length " + std::to_string(length) + " is out of range");
    if (length == maxLength_) return;
    maxLength_ = length;
    if (HandleAllocated()) SendMessageA(WindowHandleOrNull(), EM_SETLIMITTEXT, static_cast<WPARAM>(length), 0);
}

void Edit::SetAlignment(Alignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    RecreateHandle();
}

void Edit::SetBorderStyle(fw::BorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    RecreateHandle();
}

void Edit::BiDiModeChanged() {
    Control::BiDiModeChanged();
    RecreateHandle();
}

void Edit::Ctl3DChanged() {
    Control::Ctl3DChanged();
    RecreateHandle();
}

bool Edit::ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) {
    if (name == "Text") SetText(LayoutReader::String(value));
    else if (name == "MaxLength") SetMaxLength(LayoutReader::Int32(value));
    else if (name == "Alignment") SetAlignment(ReadAlignment(value));
    else if (name == "BorderStyle") {
        const Text& item = LayoutReader::Identifier(value);
        if (item == "bsNone") SetBorderStyle(fw::BorderStyle::bsNone);
        else if (item == "bsSingle") SetBorderStyle(fw::BorderStyle::bsSingle);
        else throw Error("unknown border style " + item);
    }
    else if (name == "OnChange") OnChange = reader.Handler<NotifyEvent>(value);
    else return Control::ReadProperty(name, value, reader);
    return true;
}

Control::CreateParams Edit::GetCreateParams() {
    RegisterSuperclass(kEditClass, "EDIT");
    CreateParams params{kEditClass, ES_AUTOHSCROLL, 0};
    Alignment drawn = alignment_;
    if (UseRightToLeft()) {
        params.exStyle |= WS_EX_RTLREADING;
        if (drawn != Alignment::taCenter)
            drawn = drawn == Alignment::taLeftJustify ? Alignment::taRightJustify : Alignment::taLeftJustify;
    }
    params.style |= drawn == Alignment::taCenter ? ES_CENTER : drawn == Alignment::taRightJustify ? ES_RIGHT : ES_LEFT;
    if (borderStyle_ == fw::BorderStyle::bsSingle) {
        if (Ctl3D()) params.exStyle |= WS_EX_CLIENTEDGE;
        else params.style |= WS_BORDER;
    }
    return params;
}

void Edit::HandleCreated() {
    Control::HandleCreated();
    HWND window = WindowHandleOrNull();
    if (maxLength_ > 0) SendMessageA(window, EM_SETLIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    if (stateKept_) {
        stateKept_ = false;
        SendMessageA(window, EM_SETSEL, keptStart_, keptEnd_);
        SendMessageA(window, EM_SETMODIFY, keptModified_ ? TRUE : FALSE, 0);
    }
}

void Edit::SaveWindowState() {
    Control::SaveWindowState();
    HWND window = WindowHandleOrNull();
    SendMessageA(window, EM_GETSEL, reinterpret_cast<WPARAM>(&keptStart_), reinterpret_cast<LPARAM>(&keptEnd_));
    keptModified_ = SendMessageA(window, EM_GETMODIFY, 0, 0) != 0;
    stateKept_ = true;
}

bool Edit::Command(WORD code) {
    if (code != EN_CHANGE) return false;
    Raise(OnChange, *this);
    return true;
}

// ---- Button

Button::Button(Component* owner) : Control(owner) { SetTabStop(true); }

void Button::SetDefault(bool value) {
    if (value == default_) return;
    default_ = value;
    if (HandleAllocated()) SendMessageA(Handle(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

bool Button::ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) {
    if (name == "Default") SetDefault(LayoutReader::Boolean(value));
    else if (name == "Cancel") SetCancel(LayoutReader::Boolean(value));
    else return Control::ReadProperty(name, value, reader);
    return true;
}

Control::CreateParams Button::GetCreateParams() {
    RegisterSuperclass(kButtonClass, "BUTTON");
    return {kButtonClass, static_cast<DWORD>(default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0};
}

bool Button::Command(WORD code) {
    if (code != BN_CLICKED) return false;
    Click();
    return true;
}

// ---- CheckBox

CheckBox::CheckBox(Component* owner) : Control(owner) {
    SetTabStop(true);
    SetParentColor(true);
}

void CheckBox::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    if (HandleAllocated()) SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!IsLoading()) Click();
}

bool CheckBox::ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) {
    if (name != "Checked") return Control::ReadProperty(name, value, reader);
    SetChecked(LayoutReader::Boolean(value));
    return true;
}

Control::CreateParams CheckBox::GetCreateParams() {
    RegisterSuperclass(kButtonClass, "BUTTON");
    // Not an automatic check box: every change goes through SetChecked.
    return {kButtonClass, BS_CHECKBOX, 0};
}

void CheckBox::HandleCreated() {
    Control::HandleCreated();
    SendMessageA(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
    FitText();
}

void CheckBox::CaptionChanged() {
    Control::CaptionChanged();
    FitText();
}

void CheckBox::FontChanged() {
    Control::FontChanged();
    FitText();
}

void CheckBox::FitText() {
    if (!HandleAllocated() || PixelsPerInch() == 96) return;
    const WindowDc dc(Handle());
    if (!dc.Get()) return;
    RECT bounds{0, 0, 0, 0};
    {
        const SelectedObject font(dc.Get(), GetFont().Handle());
        DrawTextW(dc.Get(), Wide(Caption()).c_str(), -1, &bounds, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    }
    const int needed = CheckBoxTextOffset(PixelsPerInch()) + bounds.right + 1;
    if (needed > Width()) SetBounds(Left(), Top(), needed, Height());
}

bool CheckBox::Command(WORD code) {
    if (code != BN_CLICKED) return false;
    SetChecked(!checked_);
    return true;
}

bool CheckBox::Notify(NMHDR& header, LRESULT& result) {
    if (header.code != static_cast<UINT>(NM_CUSTOMDRAW)) return false;
    auto& draw = reinterpret_cast<NMCUSTOMDRAW&>(header);
    result = CDRF_DODEFAULT;
    if (draw.dwDrawStage == CDDS_PREPAINT &&
        DrawThemedCheckBox(Handle(), draw.hdc, draw.rc, draw.uItemState, Wide(Caption()),
                           {GetFont().Handle(), GetFont().Color(), BackgroundBrush(), checked_, PixelsPerInch()}))
        result = CDRF_SKIPDEFAULT;
    return true;
}

// ---- GroupBox

GroupBox::GroupBox(Component* owner) : Control(owner) { SetParentColor(true); }

Control::CreateParams GroupBox::GetCreateParams() {
    RegisterSuperclass(kButtonClass, "BUTTON");
    return {kButtonClass, BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
}

LRESULT GroupBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return FillBackground(Handle(), reinterpret_cast<HDC>(wParam), BackgroundBrush());
    return Control::HandleMessage(message, wParam, lParam);
}

// ---- PageControl

PageControl::PageControl(Component* owner) : Control(owner) { SetTabStop(true); }

PageControl::~PageControl() {
    BeginDestroy();
    // The pages lose their parent with the base class; their windows go with ours.
    pages_.clear();
    activePage_ = nullptr;
}

void PageControl::SetActivePage(TabSheet* page) {
    if (page == activePage_) return;
    if (page && IndexOf(page) < 0) throw Error("The page " + page->Name() + " is not in " + Name());
    activePage_ = page;
    ShowActivePage();
}

bool PageControl::ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) {
    if (name == "ActivePage") {
        // The pages are listed after the page control's own properties.
        reader.Reference(value, [this](Component* page) {
            auto* sheet = dynamic_cast<TabSheet*>(page);
            if (page && !sheet) throw Error(page->Name() + " is not a page");
            SetActivePage(sheet);
        });
    } else if (name == "OnChange") {
        OnChange = reader.Handler<NotifyEvent>(value);
    } else {
        return Control::ReadProperty(name, value, reader);
    }
    return true;
}

Control::CreateParams PageControl::GetCreateParams() {
    RegisterSuperclass(kTabControlClass, WC_TABCONTROLA);
    return {kTabControlClass, TCS_BUTTONS | TCS_MULTILINE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
}

void PageControl::HandleCreated() {
    Control::HandleCreated();
    // Narrow margins beside the captions, so that the tabs take one row
    // where they can.
    SendMessageA(Handle(), TCM_SETPADDING, 0, MAKELPARAM(3, 3));
    PlacePages();
}

bool PageControl::Notify(NMHDR& header, LRESULT& result) {
    if (header.code != static_cast<UINT>(TCN_SELCHANGE)) return false;
    const auto index = static_cast<int>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0));
    activePage_ = index >= 0 && index < static_cast<int>(pages_.size()) ? pages_[index] : nullptr;
    ShowActivePage();
    result = 0;
    Raise(OnChange, *this);
    return true;
}

void PageControl::ChildAdded(Control& child) {
    auto* page = dynamic_cast<TabSheet*>(&child);
    if (!page) return;
    pages_.push_back(page);
    std::wstring caption = Wide(page->Caption());
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = &caption[0];
    SendMessageW(Handle(), TCM_INSERTITEMW, pages_.size() - 1, reinterpret_cast<LPARAM>(&item));
    PlacePages();
    if (!activePage_) activePage_ = page;
    ShowActivePage();
}

void PageControl::ChildRemoved(Control& child) {
    const int index = IndexOf(dynamic_cast<TabSheet*>(&child));
    if (index < 0) return;
    pages_.erase(pages_.begin() + index);
    if (HandleAllocated()) SendMessageA(Handle(), TCM_DELETEITEM, index, 0);
    if (activePage_ == &child) activePage_ = pages_.empty() ? nullptr : pages_.front();
    if (!IsDestroying()) ShowActivePage();
}

void PageControl::BoundsChanged() { PlacePages(); }

void PageControl::FontChanged() {
    Control::FontChanged();
    PlacePages();
}

void PageControl::PageCaptionChanged(TabSheet& page) {
    const int index = IndexOf(&page);
    if (index < 0 || !HandleAllocated()) return;
    std::wstring caption = Wide(page.Caption());
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = &caption[0];
    SendMessageW(Handle(), TCM_SETITEMW, index, reinterpret_cast<LPARAM>(&item));
    PlacePages();  // the tabs may take another row
}

void PageControl::PlacePages() {
    if (!HandleAllocated()) return;
    RECT area;
    GetClientRect(Handle(), &area);
    SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    for (TabSheet* page : pages_) page->SetBounds(area.left, area.top, area.right - area.left, area.bottom - area.top);
}

void PageControl::ShowActivePage() {
    if (!HandleAllocated()) return;
    const int index = IndexOf(activePage_);
    if (index >= 0) SendMessageA(Handle(), TCM_SETCURSEL, index, 0);
    for (TabSheet* page : pages_) ShowWindow(page->Handle(), page == activePage_ ? SW_SHOWNA : SW_HIDE);
}

int PageControl::IndexOf(const TabSheet* page) const {
    const auto found = std::find(pages_.begin(), pages_.end(), page);
    return found == pages_.end() ? -1 : static_cast<int>(found - pages_.begin());
}

// ---- TabSheet

TabSheet::TabSheet(Component* owner) : Control(owner) {}

PageControl* TabSheet::Pages() const { return dynamic_cast<PageControl*>(Parent()); }

Control::CreateParams TabSheet::GetCreateParams() {
    RegisterOwnClass(kTabSheetClass, CS_HREDRAW | CS_VREDRAW, nullptr);
    return {kTabSheetClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
}

LRESULT TabSheet::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return FillBackground(Handle(), reinterpret_cast<HDC>(wParam), BackgroundBrush());
    return Control::HandleMessage(message, wParam, lParam);
}

void TabSheet::CaptionChanged() {
    if (PageControl* pages = Pages()) pages->PageCaptionChanged(*this);
}

}  // namespace tarvik::fw
