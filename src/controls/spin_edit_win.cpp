#include "controls/spin_edit_win.h"

#include <windows.h>

#include <cwchar>
#include <utility>

#include "base/error.h"
#include "controls/spin_button_win.h"
#include "framework/clipboard_win.h"
#include "framework/component_classes.h"
#include "framework/dpi_win.h"
#include "framework/form_win.h"
#include "framework/layout.h"
#include "framework/layout_reader.h"
#include "framework/system_win.h"
#include "system/wide_text_win.h"

namespace tarvik {

namespace {

bool LeftButtonHeldOn(HWND window) {
    if (!(GetKeyState(VK_LBUTTON) & 0x8000)) return false;
    POINT cursor{};
    return GetCursorPos(&cursor) && WindowFromPoint(cursor) == window;
}

// Sets a flag for the life of the object, and clears it on every way out.
class Raised {
public:
    explicit Raised(bool& flag) : flag_(flag) { flag_ = true; }
    ~Raised() { flag_ = false; }
    Raised(const Raised&) = delete;
    Raised& operator=(const Raised&) = delete;

private:
    bool& flag_;
};

const char kHostClass[] = "TarvikSpinHost";

// The text of a wide message's lParam (none: the empty text).
Text NarrowText(LPARAM lParam) {
    const auto* text = reinterpret_cast<const wchar_t*>(lParam);
    return text ? fw::Narrow(text, wcslen(text)) : Text();
}

}  // namespace

// A plain square child area of the edit box, clipped by it, on which the
// windowless spin button paints and through which it gets the mouse.
class TSpinEdit::ButtonHost : public fw::Control {
public:
    explicit ButtonHost(fw::Component* owner) : fw::Control(owner) {}

protected:
    CreateParams GetCreateParams() override {
        RegisterOwnClass(kHostClass, 0, nullptr);
        return {kHostClass, 0, 0};
    }
};

TSpinEdit::TSpinEdit(fw::Component* owner) : fw::Edit(owner) {
    SetText("0");
    BuildButtonPart();
}

TSpinEdit::~TSpinEdit() {
    // No OnChange while the field goes away, then the buttons go.
    changing_ = true;
    BeginDestroy();
    DestroyButtonPart();
}

fw::Control* TSpinEdit::Host() const { return host_; }

void TSpinEdit::DestroyButtonPart() {
    delete std::exchange(button_, nullptr);
    delete std::exchange(host_, nullptr);
    delete std::exchange(upDown_, nullptr);
}

void TSpinEdit::BuildButtonPart() {
    if (IsDestroying()) return;
    DestroyButtonPart();
    if (buttonKind_ == bkStandard) {
        upDown_ = new TSpinUpDown(this);
        upDown_->OnButtonClick = [this](fw::Component& sender, UDBtnType button) {
            if (TabStop() && CanFocus()) SetFocus();
            if (button == UDBtnType::btNext) StepUp(sender);
            else StepDown(sender);
        };
        upDown_->SetEnabled(Enabled());
        if (HandleAllocated()) upDown_->SetParent(this);
    } else {
        host_ = new ButtonHost(this);
        host_->SetBounds(0, 0, Height(), Height());
        host_->SetEnabled(Enabled());
        button_ = new TSpinButton(this);
        button_->SetBounds(0, 0, Height(), Height());
        button_->SetEnabled(Enabled());
        button_->SetFocusControl(this);
        button_->OnTopClick = [this](fw::Component& sender) { StepUp(sender); };
        button_->OnBottomClick = [this](fw::Component& sender) { StepDown(sender); };
        button_->SetParent(host_);
        // The host needs the edit's window to live in.
        if (HandleAllocated()) host_->SetParent(this);
    }
}

// The square at the right end (the left end when reading right to left),
// placed over the sunken 3-D border or over the whole height without it; or
// the up-down docked to that edge.
void TSpinEdit::LayoutButtons() {
    const bool rightToLeft = UseRightToLeft();
    if (host_ && button_) {
        const bool sunken = Ctl3D() && BorderStyle() == fw::BorderStyle::bsSingle;
        const int side = sunken ? Height() - 3 : Height();
        const int top = sunken ? -1 : 0;
        const int left = rightToLeft ? top : Width() - Height() + top;
        host_->SetBounds(left, top, side, side);
        button_->SetBounds(0, 0, side, side);
    }
    if (upDown_ && HandleAllocated()) {
        RECT client{};
        GetClientRect(Handle(), &client);
        const int width = TSpinUpDown::StandardWidth(PixelsPerInch());
        upDown_->SetBounds(rightToLeft ? 0 : client.right - width, 0, width, client.bottom);
    }
}

void TSpinEdit::EnabledChanged() {
    fw::Edit::EnabledChanged();
    if (host_) host_->SetEnabled(Enabled());
    if (button_) button_->SetEnabled(Enabled());
    if (upDown_) {
        upDown_->SetEnabled(Enabled());
        LayoutButtons();
    }
}

Extended TSpinEdit::Value() const { return ReadSpinValue(GetText(), valueType_, DecimalSeparator(), minValue_); }

void TSpinEdit::SetValue(Extended value) {
    const Text text = FormatSpinValue(ClampSpinValue(value, minValue_, maxValue_), valueType_, decimal_,
                                      DecimalSeparator());
    SetText(text);  // an equal text is left alone
}

std::int32_t TSpinEdit::IntegerValue() const { return SpinIntegerValue(Value()); }

void TSpinEdit::SetButtonKind(TSpinButtonKind kind) {
    if (kind == buttonKind_) return;
    buttonKind_ = kind;
    BuildButtonPart();
    LayoutButtons();
    SetTextRect();
}

void TSpinEdit::SetDecimal(int decimal) {
    if (decimal < 0) decimal = 0;
    if (decimal > 255) decimal = 255;
    if (decimal == decimal_) return;
    decimal_ = decimal;
    SetValue(Value());
}

void TSpinEdit::SetValueType(TValueType type) {
    if (type == valueType_) return;
    valueType_ = type;
    SetValue(Value());
    if (valueType_ != vtFloat) increment_ = IntegerIncrement(increment_);
}

void TSpinEdit::SetReadOnly(bool value) {
    if (value == readOnly_) return;
    readOnly_ = value;
    if (HandleAllocated()) SendMessageA(Handle(), EM_SETREADONLY, value ? TRUE : FALSE, 0);
}

bool TSpinEdit::Modified() const {
    HWND window = WindowHandleOrNull();
    return window && SendMessageA(window, EM_GETMODIFY, 0, 0) != 0;
}

bool TSpinEdit::AcceptsChar(char c) const {
    return AcceptsSpinChar(c, valueType_, GetText(), DecimalSeparator(), editorEnabled_);
}

void TSpinEdit::StepUp(fw::Component&) { Step(increment_, OnTopClick); }

void TSpinEdit::StepDown(fw::Component&) { Step(-increment_, OnBottomClick); }

void TSpinEdit::Step(Extended delta, const fw::NotifyEvent& after) {
    if (readOnly_) {
        fw::DefaultBeep();
        return;
    }
    const Text before = GetText();
    {
        Raised changing(changing_);
        SetValue(Value() + delta);
    }
    if (!SameTextIgnoringCase(GetText(), before)) {
        if (HandleAllocated()) SendMessageA(Handle(), EM_SETMODIFY, TRUE, 0);
        TextChanged();
    }
    fw::Raise(after, *this);
}

bool TSpinEdit::ReadProperty(const Text& name, const fw::LayoutValue& value, fw::LayoutReader& reader) {
    using fw::LayoutReader;
    if (name == "Value") SetValue(LayoutReader::Float(value));
    else if (name == "Decimal") SetDecimal(LayoutReader::Int32(value));
    else if (name == "Increment") SetIncrement(LayoutReader::Float(value));
    else if (name == "MinValue") SetMinValue(LayoutReader::Float(value));
    else if (name == "MaxValue") SetMaxValue(LayoutReader::Float(value));
    else if (name == "ArrowKeys") SetArrowKeys(LayoutReader::Boolean(value));
    else if (name == "AutoSelect") SetAutoSelect(LayoutReader::Boolean(value));
    else if (name == "EditorEnabled") SetEditorEnabled(LayoutReader::Boolean(value));
    else if (name == "ReadOnly") SetReadOnly(LayoutReader::Boolean(value));
    else if (name == "OnTopClick") OnTopClick = reader.Handler<fw::NotifyEvent>(value);
    else if (name == "OnBottomClick") OnBottomClick = reader.Handler<fw::NotifyEvent>(value);
    else if (name == "ValueType") {
        const Text& item = LayoutReader::Identifier(value);
        if (item == "vtInteger") SetValueType(vtInteger);
        else if (item == "vtFloat") SetValueType(vtFloat);
        else if (item == "vtHex") SetValueType(vtHex);
        else throw Error("unknown value type " + item);
    } else if (name == "ButtonKind") {
        const Text& item = LayoutReader::Identifier(value);
        if (item == "bkDiagonal") SetButtonKind(bkDiagonal);
        else if (item == "bkStandard") SetButtonKind(bkStandard);
        else throw Error("unknown button kind " + item);
    } else return fw::Edit::ReadProperty(name, value, reader);
    return true;
}

fw::Control::CreateParams TSpinEdit::GetCreateParams() {
    CreateParams params = fw::Edit::GetCreateParams();
    // Multi-line only so that the text rectangle can leave room for the
    // buttons; the field keeps the text on one line (Enter never reaches it,
    // a paste or a written text keeps its first line).
    params.style |= ES_MULTILINE | WS_CLIPCHILDREN;
    if (readOnly_) params.style |= ES_READONLY;
    return params;
}

void TSpinEdit::HandleCreated() {
    fw::Edit::HandleCreated();
    if (host_) host_->SetParent(this);
    if (upDown_) upDown_->SetParent(this);
    LayoutButtons();
    SetTextRect();
}

LRESULT TSpinEdit::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CUT:
        if (!editorEnabled_ || readOnly_) return 0;
        break;
    case WM_PASTE:
        // The edit control's own paste would keep the line breaks.
        if (editorEnabled_ && !readOnly_) {
            if (const auto text = fw::ClipboardText(Handle()))
                SendMessageW(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(fw::Wide(*text).c_str()));
        }
        return 0;
    case EM_REPLACESEL:
        // The window is a wide one: the texts of these two come in UTF-16.
        if (lParam) {
            const std::wstring line = fw::Wide(FirstLine(NarrowText(lParam)));
            return fw::Edit::HandleMessage(message, wParam, reinterpret_cast<LPARAM>(line.c_str()));
        }
        break;
    case WM_SETTEXT:
        return WriteText(wParam, NarrowText(lParam));
    default:
        break;
    }
    return fw::Edit::HandleMessage(message, wParam, lParam);
}

bool TSpinEdit::Command(WORD code) {
    // A step and a write of the whole text raise OnChange themselves, once,
    // when the text really changed.
    if (code == EN_CHANGE && (changing_ || settingText_)) return true;
    return fw::Edit::Command(code);
}

// A multi-line edit control tells nothing of a written text, so the field
// does; and it keeps the text on one line.
LRESULT TSpinEdit::WriteText(WPARAM wParam, const Text& text) {
    const std::wstring line = fw::Wide(FirstLine(text));
    const Text before = GetText();
    LRESULT result = 0;
    {
        Raised setting(settingText_);
        result = fw::Edit::HandleMessage(WM_SETTEXT, wParam, reinterpret_cast<LPARAM>(line.c_str()));
    }
    if (GetText() != before) TextChanged();
    return result;
}

void TSpinEdit::TextChanged() {
    if (!changing_) fw::Raise(OnChange, *this);
}

// OnKeyDown first, which may consume the key; the modifiers are not looked
// at, so Alt with Up or Down steps too.
void TSpinEdit::KeyDown(std::uint16_t& key, fw::ShiftState shift) {
    fw::Edit::KeyDown(key, shift);
    if (arrowKeys_ && (key == VK_UP || key == VK_DOWN)) {
        if (key == VK_UP) StepUp(*this);
        else StepDown(*this);
        key = 0;
    }
    // A multi-line edit in a dialog would close its parent on Escape and
    // look for a default button on Enter; the typed character does that
    // here instead.
    if (key == VK_RETURN || key == VK_ESCAPE) key = 0;
}

// The key filter first; then OnKeyPress sees what it let through.
void TSpinEdit::KeyPress(char& key) {
    if (!AcceptsChar(key)) {
        fw::DefaultBeep();
        key = 0;
        return;
    }
    fw::Edit::KeyPress(key);
    if (key == '\r' || key == '\x1B') {
        // The window's default or cancel button acts, as in a dialog.
        if (fw::Form* form = ParentForm()) form->DialogKey(key == '\r' ? VK_RETURN : VK_ESCAPE);
        if (key == '\r') key = 0;
    } else if (key == '\n') {
        key = 0;  // a line break typed with Ctrl would make a second line
    }
}

void TSpinEdit::BoundsChanged() {
    fw::Edit::BoundsChanged();
    if (const int minimum = MinHeight(); Height() < minimum) {
        SetBounds(Left(), Top(), Width(), minimum);  // that size change lays out again
        return;
    }
    LayoutButtons();
    SetTextRect();
}

void TSpinEdit::FontChanged() {
    fw::Edit::FontChanged();
    LayoutButtons();
    SetTextRect();
}

void TSpinEdit::DoEnter() {
    if (autoSelect_ && HandleAllocated() && !LeftButtonHeldOn(Handle())) SendMessageA(Handle(), EM_SETSEL, 0, -1);
    fw::Edit::DoEnter();
}

void TSpinEdit::DoExit() {
    fw::Edit::DoExit();
    const Extended value = Value();
    if (ClampSpinValue(value, minValue_, maxValue_) != value) SetValue(value);
}

int TSpinEdit::MinHeight() {
    int cell = 0;
    if (HDC dc = GetDC(nullptr)) {
        HGDIOBJ old = SelectObject(dc, GetFont().Handle());
        TEXTMETRICW metrics{};
        if (GetTextMetricsW(dc, &metrics)) cell = metrics.tmHeight;
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
    }
    return cell + 4 * fw::SystemMetricForDpi(SM_CYBORDER, PixelsPerInch()) + 1;
}

void TSpinEdit::SetTextRect() {
    if (!HandleAllocated()) return;
    RECT client{};
    GetClientRect(Handle(), &client);
    const int buttonWidth = upDown_ ? upDown_->Width() : button_ ? button_->Width() : 0;
    RECT text{0, 0, client.right - buttonWidth - 2, client.bottom + 1};
    if (UseRightToLeft()) text = {buttonWidth + 1, 0, client.right - 1, client.bottom + 1};
    SendMessageA(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&text));
}

char TSpinEdit::DecimalSeparator() const {
    wchar_t separator[4] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 4) > 1) return fw::Narrow(separator, 1)[0];
    return '.';
}

void RegisterSpinEditClass() {
    fw::RegisterComponentClass("TSpinEdit", [](fw::Component& owner) -> fw::Component* { return new TSpinEdit(&owner); });
}

}  // namespace tarvik
