#include "controls/spin_button_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "base/error.h"
#include "framework/common_controls_win.h"
#include "framework/component_classes.h"
#include "framework/dpi_scale.h"
#include "framework/dpi_win.h"
#include "framework/layout_reader.h"
#include "framework/system_win.h"
#include "framework/timer_win.h"

namespace tarvik {

using fw::SystemColor;

void RegisterSpinButtonClasses() {
    fw::RegisterComponentClass("TSpinButton", [](fw::Component& owner) { return new TSpinButton(&owner); });
    fw::RegisterComponentClass("TSpinUpDown", [](fw::Component& owner) { return new TSpinUpDown(&owner); });
}

// --- TSpinButton ---

TSpinButton::TSpinButton(fw::Component* owner) : fw::GraphicControl(owner) {
    upGlyph_ = fw::LoadBitmapResource("SPINUP");
    downGlyph_ = fw::LoadBitmapResource("SPINDOWN");
    SetBounds(Left(), Top(), 20, 20);
    DrawImages();
}

TSpinButton::~TSpinButton() {
    BeginDestroy();
    OnTopClick = nullptr;
    OnBottomClick = nullptr;
    SetFocusControl(nullptr);
    DestroyComponents();  // the repeat timer
}

void TSpinButton::SetUpGlyph(HBITMAP glyph) {
    upGlyph_ = glyph ? fw::CopyBitmap(glyph) : fw::LoadBitmapResource("SPINUP");
    MarkImagesStale();
}

void TSpinButton::SetDownGlyph(HBITMAP glyph) {
    downGlyph_ = glyph ? fw::CopyBitmap(glyph) : fw::LoadBitmapResource("SPINDOWN");
    MarkImagesStale();
}

void TSpinButton::SetFocusControl(fw::Control* control) {
    if (control == focusControl_) return;
    if (focusControl_) RemoveFreeNotification(focusControl_);
    focusControl_ = control;
    if (control) FreeNotification(control);
}

void TSpinButton::PeerRemoved(fw::Component* peer) {
    fw::GraphicControl::PeerRemoved(peer);
    if (peer == focusControl_) focusControl_ = nullptr;
}

void TSpinButton::EnabledChanged() { MarkImagesStale(); }

// The font carries the display's scale, at which the arrows are drawn.
void TSpinButton::FontChanged() {
    fw::GraphicControl::FontChanged();
    MarkImagesStale();
}

void TSpinButton::MarkImagesStale() {
    imagesStale_ = true;
    Invalidate();
}

void TSpinButton::Paint(HDC dc) {
    if (!EnabledWithParents()) logic_.PaintedDisabled();
    const fw::OffscreenBitmap& current = Image(logic_.Pressed());
    if (imagesStale_ || current.Width() != Width() || current.Height() != Height()) DrawImages();
    Image(logic_.Pressed()).CopyTo(dc, 0, 0);
}

void TSpinButton::DrawImages() {
    imagesStale_ = false;
    if (Width() <= 0 || Height() <= 0) {
        for (auto& image : images_) image = fw::OffscreenBitmap();
        return;
    }
    for (int state = 0; state < 3; ++state) {
        images_[state] = fw::OffscreenBitmap(Width(), Height());
        DrawImage(images_[state], static_cast<SpinButtonState>(state));
    }
    ++imageRedraws_;
}

namespace {
// Nearest integer, ties to the even neighbour.
int Round(double value) { return static_cast<int>(std::nearbyint(value)); }

// The colour that a glyph leaves to the face: white in a two-colour glyph,
// else whatever its bottom-left pixel holds.
COLORREF TransparentColorOf(HBITMAP glyph) {
    const fw::BitmapShape shape = fw::ShapeOf(glyph);
    if (shape.bitsPerPixel == 1) return RGB(255, 255, 255);
    return fw::PixelOf(glyph, 0, shape.height - 1);
}
}  // namespace

void TSpinButton::DrawImage(fw::OffscreenBitmap& image, SpinButtonState state) {
    const COLORREF face = fw::ColorOf(SystemColor::clBtnFace);
    const COLORREF frame = fw::ColorOf(SystemColor::clWindowFrame);
    const COLORREF shadow = fw::ColorOf(SystemColor::clBtnShadow);
    const COLORREF highlight = fw::ColorOf(SystemColor::clBtnHighlight);
    const bool top = state == SpinButtonState::TopPressed;
    const bool bottom = state == SpinButtonState::BottomPressed;
    const int w = Width(), h = Height();

    image.Fill(face);
    image.FrameRect({0, 0, w, h}, frame);
    image.Lines({{-1, h}, {w, -1}}, frame);
    image.Lines({{1, h - 4}, {1, 1}, {w - 3, 1}}, top ? shadow : highlight);
    if (!top) image.Lines({{1, h - 3}, {w - 2, 0}}, shadow);
    image.Lines({{2, h - 2}, {w - 2, h - 2}, {w - 2, 1}}, bottom ? highlight : shadow);
    image.Lines({{2, h - 2}, {w - 1, 1}}, bottom ? shadow : highlight);

    // On a display of twice the scale or more every pixel of a glyph is a
    // square of whole pixels: the arrows grow with the button and stay sharp.
    const int factor = fw::PixelFactor(PixelsPerInch());
    const fw::BitmapShape up = fw::ShapeOf(upGlyph_.Get());
    const int d = top ? 2 : 1;
    image.DrawReplacing(upGlyph_.Get(), Round(w / 4.0 - factor * up.width / 2.0) + d,
                        Round(h / 4.0 - factor * up.height / 2.0) + d, TransparentColorOf(upGlyph_.Get()), face,
                        factor);
    const fw::BitmapShape down = fw::ShapeOf(downGlyph_.Get());
    image.DrawReplacing(downGlyph_.Get(), Round(3 * w / 4.0 - factor * down.width / 2.0) - 1,
                        Round(3 * h / 4.0 - factor * down.height / 2.0) - 1, TransparentColorOf(downGlyph_.Get()),
                        face, factor);
    if (bottom) image.Lines({{3, h - 2}, {w - 1, 2}}, shadow);
}

// The events first, as every control raises them; then the button acts.
void TSpinButton::MouseDown(fw::MouseButton button, fw::ShiftState shift, int x, int y) {
    fw::GraphicControl::MouseDown(button, shift, x, y);
    logic_.Press(button == fw::MouseButton::mbLeft, EnabledWithParents(), x, y, Width(), Height());
}

void TSpinButton::MouseMove(fw::ShiftState shift, int x, int y) {
    fw::GraphicControl::MouseMove(shift, x, y);
    logic_.Move(x, y, Width(), Height());
}

void TSpinButton::MouseUp(fw::MouseButton button, fw::ShiftState shift, int x, int y) {
    fw::GraphicControl::MouseUp(button, shift, x, y);
    logic_.Release(x, y, Width(), Height());
}

void TSpinButton::Step(SpinButtonState half) {
    fw::Raise(half == SpinButtonState::TopPressed ? OnTopClick : OnBottomClick, *this);
}

void TSpinButton::FocusOnPress() {
    fw::Control* control = focusControl_;
    if (control && control->TabStop() && control->CanFocus() && !control->Focused()) control->SetFocus();
}

void TSpinButton::ArmRepeat(unsigned milliseconds) {
    if (!repeat_) {
        repeat_ = new fw::Timer(this);
        repeat_->SetEnabled(false);
        repeat_->SetOnTimer([this](fw::Component&) { logic_.RepeatTick(); });
    }
    // Off and on again: the delay counts from this press.
    repeat_->SetEnabled(false);
    repeat_->SetInterval(milliseconds);
    repeat_->SetEnabled(true);
}

void TSpinButton::SetRepeatInterval(unsigned milliseconds) {
    if (repeat_) repeat_->SetInterval(milliseconds);
}

void TSpinButton::DisableRepeat() {
    if (repeat_) repeat_->SetEnabled(false);
}

bool TSpinButton::ReadProperty(const Text& name, const fw::LayoutValue& value, fw::LayoutReader& reader) {
    if (name == "OnTopClick") OnTopClick = reader.Handler<fw::NotifyEvent>(value);
    else if (name == "OnBottomClick") OnBottomClick = reader.Handler<fw::NotifyEvent>(value);
    else if (name == "UpGlyph.Data" || name == "DownGlyph.Data") {
        // A bitmap file image, as the resources hold the default arrows.
        const std::vector<std::uint8_t>& image = fw::LayoutReader::Binary(value);
        const fw::BitmapHandle glyph = fw::BitmapFromImage(image.data(), image.size());
        if (name == "UpGlyph.Data") SetUpGlyph(glyph.Get());
        else SetDownGlyph(glyph.Get());
    } else if (name == "FocusControl")
        reader.Reference(value, [this](fw::Component* c) { SetFocusControl(dynamic_cast<fw::Control*>(c)); });
    else return fw::GraphicControl::ReadProperty(name, value, reader);
    return true;
}

// --- TSpinUpDown ---

namespace {
const char kUpDownClass[] = "TarvikUpDown";
}

TSpinUpDown::TSpinUpDown(fw::Component* owner) : fw::Control(owner) {
    SetBounds(0, 0, StandardWidth(), 21);
}

TSpinUpDown::~TSpinUpDown() {
    // Nothing of the field's may run while the control goes away.
    OnButtonClick = nullptr;
    BeginDestroy();
    DestroyWindowHandle();
}

int TSpinUpDown::StandardWidth(int dpi) {
    return std::min(fw::SystemMetricForDpi(SM_CXVSCROLL, dpi), fw::ScaleToDpi(15, dpi));
}

fw::Control::CreateParams TSpinUpDown::GetCreateParams() {
    static const bool registered = [] {
        fw::InitCommonControlClasses(ICC_UPDOWN_CLASS);
        RegisterSuperclass(kUpDownClass, UPDOWN_CLASSA);
        return true;
    }();
    (void)registered;
    return {kUpDownClass, 0, 0};
}

void TSpinUpDown::HandleCreated() {
    fw::Control::HandleCreated();
    SendMessageA(WindowHandleOrNull(), UDM_SETRANGE32, static_cast<WPARAM>(-1), 1);
    SetPosition(0);
}

int TSpinUpDown::Position() const {
    return HandleAllocated() ? static_cast<int>(SendMessageA(WindowHandleOrNull(), UDM_GETPOS32, 0, 0)) : 0;
}

void TSpinUpDown::SetPosition(int position) {
    if (HandleAllocated()) SendMessageA(WindowHandleOrNull(), UDM_SETPOS32, 0, position);
}

void TSpinUpDown::BoundsChanged() {
    const int width = StandardWidth(PixelsPerInch());
    if (Width() != width) SetBounds(Left(), Top(), width, Height());
}

bool TSpinUpDown::Scrolled(WORD code) {
    if (code != SB_THUMBPOSITION || handlingClick_) return false;
    handlingClick_ = true;
    struct Clear {
        bool& flag;
        ~Clear() { flag = false; }
    } clear{handlingClick_};
    const int position = Position();
    // Every click starts from 0 again, also when the handler fails.
    struct Back {
        TSpinUpDown& self;
        ~Back() { self.SetPosition(0); }
    } back{*this};
    if (position > 0) fw::Raise(OnButtonClick, *this, UDBtnType::btNext);
    else if (position < 0) fw::Raise(OnButtonClick, *this, UDBtnType::btPrev);
    return true;
}

}  // namespace tarvik
