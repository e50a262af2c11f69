// The button part of a numeric spin field: TSpinButton, a windowless square
// split along its diagonal into an upper half that steps up and a lower half
// that steps down (a held half repeats), and TSpinUpDown, the same on the
// platform's up-down control.
#pragma once

#include <windows.h>

#include <functional>

#include "controls/spin_button_state.h"
#include "framework/control_win.h"
#include "framework/events.h"
#include "framework/gdi_win.h"
#include "framework/graphic_control_win.h"
#include "system/handles_win.h"

namespace tarvik {

namespace fw {
class Timer;
}

// Makes TSpinButton and TSpinUpDown usable in layouts.
void RegisterSpinButtonClasses();

class TSpinButton : public fw::GraphicControl, private SpinButtonHost {
public:
    Text ClassName() const override { return "TSpinButton"; }
    explicit TSpinButton(fw::Component* owner);
    ~TSpinButton() override;

    // The arrows; the button keeps copies. Assigning null loads the
    // program's own arrow again ("SPINUP", "SPINDOWN").
    HBITMAP UpGlyph() const { return upGlyph_.Get(); }
    void SetUpGlyph(HBITMAP glyph);
    HBITMAP DownGlyph() const { return downGlyph_.Get(); }
    void SetDownGlyph(HBITMAP glyph);

    // Given the focus by a press; forgotten when it is destroyed.
    fw::Control* FocusControl() const { return focusControl_; }
    void SetFocusControl(fw::Control* control);

    fw::NotifyEvent OnTopClick;
    fw::NotifyEvent OnBottomClick;

    SpinButtonState PressedState() const { return logic_.Pressed(); }
    // The cached picture of each state, and how often they were drawn.
    const fw::OffscreenBitmap& Image(SpinButtonState state) const { return images_[static_cast<int>(state)]; }
    int ImageRedraws() const { return imageRedraws_; }

    void Paint(HDC dc) override;
    void MouseDown(fw::MouseButton button, fw::ShiftState shift, int x, int y) override;
    void MouseMove(fw::ShiftState shift, int x, int y) override;
    void MouseUp(fw::MouseButton button, fw::ShiftState shift, int x, int y) override;
    void EnabledChanged() override;
    void FontChanged() override;

    bool ReadProperty(const Text& name, const fw::LayoutValue& value, fw::LayoutReader& reader) override;

protected:
    void BoundsChanged() override { MarkImagesStale(); }
    void PeerRemoved(fw::Component* peer) override;

private:
    // SpinButtonHost
    void Step(SpinButtonState half) override;
    bool LeftButtonHeldOnButton() override { return LeftButtonHeld(); }
    bool HasCapture() override { return MouseCaptured(); }
    void FocusOnPress() override;
    void Repaint() override { Invalidate(); }
    void ArmRepeat(unsigned milliseconds) override;
    void SetRepeatInterval(unsigned milliseconds) override;
    void DisableRepeat() override;

    void MarkImagesStale();
    void DrawImages();
    void DrawImage(fw::OffscreenBitmap& image, SpinButtonState state);

    SpinButtonLogic logic_{*this};
    fw::BitmapHandle upGlyph_, downGlyph_;
    fw::OffscreenBitmap images_[3];  // by SpinButtonState
    bool imagesStale_ = false;
    int imageRedraws_ = 0;
    fw::Timer* repeat_ = nullptr;  // owned, made at the first press
    fw::Control* focusControl_ = nullptr;
};

enum class UDBtnType { btNext, btPrev };
using UDClickEvent = std::function<void(fw::Component& sender, UDBtnType button)>;

class TSpinUpDown : public fw::Control {
public:
    Text ClassName() const override { return "TSpinUpDown"; }
    explicit TSpinUpDown(fw::Component* owner);
    ~TSpinUpDown() override;

    // The platform's vertical scroll-bar width, but at most 15, both at
    // `dpi` (the 15 scaled by dpi/96).
    static int StandardWidth(int dpi = 96);
    int Position() const;

    // btNext for a step up, btPrev for a step down.
    UDClickEvent OnButtonClick;

protected:
    CreateParams GetCreateParams() override;
    void HandleCreated() override;
    void BoundsChanged() override;
    bool Scrolled(WORD code) override;

private:
    void SetPosition(int position);
    bool handlingClick_ = false;
};

}  // namespace tarvik
