#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/error.h"
#include "controls/spin_button_win.h"
#include "framework/controls_win.h"
#include "framework/form_win.h"
#include "framework/layout.h"
#include "framework/layout_reader.h"
#include "framework/gdi_win.h"
#include "framework/system_win.h"
#include "support/window_test_support_win.h"

namespace tarvik {
namespace {

using fw::SystemColor;
using tarvik::testing::BoxRecorder;
using tarvik::testing::Pump;
using tarvik::testing::PumpUntil;
using S = SpinButtonState;

TEST(SpinGlyphs, ResourcesHoldTheTwoArrows) {
    const struct { const char* name; const char* rows[6]; } glyphs[] = {
        {"SPINUP", {"..##..", ".####.", "######", "..##..", "..##..", "..##.."}},
        {"SPINDOWN", {"..##..", "..##..", "..##..", "######", ".####.", "..##.."}},
    };
    for (const auto& glyph : glyphs) {
        const fw::BitmapHandle bitmap = fw::LoadBitmapResource(glyph.name);
        const fw::BitmapShape shape = fw::ShapeOf(bitmap.Get());
        EXPECT_EQ(shape.width, 6);
        EXPECT_EQ(shape.height, 6);
        EXPECT_EQ(shape.bitsPerPixel, 1);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x)
                EXPECT_EQ(fw::PixelOf(bitmap.Get(), x, y), glyph.rows[y][x] == '#' ? RGB(0, 0, 0) : RGB(255, 255, 255))
                    << glyph.name << " " << x << "," << y;
    }
}

// A shown form with an 18 x 18 spin button at (10, 10) that counts its steps.
struct SpinForm : fw::Form {
    SpinForm() {
        SetBounds(0, 0, 120, 80);
        button = new TSpinButton(this);
        button->SetParent(this);
        button->SetBounds(kLeft, kTop, 18, 18);
        button->OnTopClick = [this](fw::Component&) { Stepped(S::TopPressed); };
        button->OnBottomClick = [this](fw::Component&) { Stepped(S::BottomPressed); };
        Show();
    }
    void Stepped(S half) {
        steps.push_back(half);
        times.push_back(GetTickCount());
        if (onStep) onStep();
    }
    // A mouse message to the form at a point of the button, with the
    // pointer really there: the system's own moves then agree with ours.
    void Mouse(UINT message, int x, int y, WPARAM keys) {
        POINT screen{kLeft + x, kTop + y};
        ClientToScreen(Handle(), &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageA(Handle(), message, keys, MAKELPARAM(kLeft + x, kTop + y));
    }
    static constexpr int kLeft = 10, kTop = 10;
    TSpinButton* button = nullptr;
    std::vector<S> steps;
    std::vector<DWORD> times;
    std::function<void()> onStep;
};

TEST(TSpinButton, PressesStepAtOnceAndADoubleClickStepsTwice) {
    SpinForm form;
    EXPECT_EQ(TSpinButton(nullptr).Width(), 20);
    form.Mouse(WM_LBUTTONDOWN, 12, 14, MK_LBUTTON);  // lower half
    form.Mouse(WM_LBUTTONUP, 12, 14, 0);
    form.Mouse(WM_LBUTTONDOWN, 4, 4, MK_LBUTTON);
    form.Mouse(WM_LBUTTONUP, 4, 4, 0);
    form.Mouse(WM_LBUTTONDBLCLK, 4, 4, MK_LBUTTON);
    form.Mouse(WM_LBUTTONUP, 4, 4, 0);
    EXPECT_EQ(form.steps, (std::vector<S>{S::BottomPressed, S::TopPressed, S::TopPressed}));
    EXPECT_EQ(form.button->PressedState(), S::Released);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(TSpinButton, HeldHalfRepeatsAfter400ThenEvery100AndSlidingOffStops) {
    SpinForm form;
    form.Mouse(WM_LBUTTONDOWN, 12, 14, MK_LBUTTON);
    // About 0, 400, 500, 600 ms. Timers on a loaded machine run late, never
    // early: wait for the third step, and bound the gaps from below tightly
    // and from above loosely.
    PumpUntil([&] { return form.steps.size() >= 3; });
    for (std::size_t i = 1; i < form.times.size(); ++i)
        RecordProperty("step" + std::to_string(i) + "_ms", static_cast<int>(form.times[i] - form.times[0]));
    ASSERT_GE(form.steps.size(), 3u);
    EXPECT_LE(form.steps.size(), 4u);
    EXPECT_GE(form.times[1] - form.times[0], 380u);
    EXPECT_LE(form.times[1] - form.times[0], 2000u);
    EXPECT_GE(form.times[2] - form.times[1], 80u);
    EXPECT_LE(form.times[2] - form.times[1], 1000u);

    const std::size_t held = form.steps.size();
    form.Mouse(WM_MOUSEMOVE, 4, 4, MK_LBUTTON);  // onto the upper half
    Pump(300);
    EXPECT_EQ(form.steps.size(), held);
    EXPECT_EQ(form.button->PressedState(), S::Released);
    form.Mouse(WM_MOUSEMOVE, 12, 14, MK_LBUTTON);  // back
    EXPECT_TRUE(PumpUntil([&] { return form.steps.size() > held; })) << "repeats again";
    form.Mouse(WM_LBUTTONUP, 12, 14, 0);
    EXPECT_EQ(form.steps, std::vector<S>(form.steps.size(), S::BottomPressed));
}

TEST(TSpinButton, HandlerThatTakesThePointerLeavesTheButtonReleased) {
    SpinForm form;
    form.onStep = [] {
        // A modal loop of its own: it takes the pointer while it runs.
        HWND popup = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr,
                                     nullptr, nullptr);
        SetCapture(popup);
        Pump(20);
        ReleaseCapture();
        DestroyWindow(popup);
    };
    form.Mouse(WM_LBUTTONDOWN, 4, 4, MK_LBUTTON);
    EXPECT_EQ(form.button->PressedState(), S::Released);
    form.onStep = nullptr;
    Pump(500);
    EXPECT_EQ(form.steps.size(), 1u);
}

TEST(TSpinButton, TickHandlerErrorStopsTheRepeatAndIsReported) {
    BoxRecorder boxes;
    SpinForm form;
    form.onStep = [&form] {
        if (form.steps.size() == 2) throw std::runtime_error("step failed");
    };
    form.Mouse(WM_LBUTTONDOWN, 4, 4, MK_LBUTTON);
    ASSERT_TRUE(PumpUntil([&] { return !boxes.boxes.empty(); }));
    Pump(300);
    EXPECT_EQ(form.steps.size(), 2u);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "step failed.");
    form.Mouse(WM_LBUTTONUP, 4, 4, 0);
}

TEST(TSpinButton, ImagesAreDrawnByTheTableAndOnlyWhenStale) {
    SpinForm form;
    const COLORREF face = fw::ColorOf(SystemColor::clBtnFace);
    const COLORREF frame = fw::ColorOf(SystemColor::clWindowFrame);
    const COLORREF shadow = fw::ColorOf(SystemColor::clBtnShadow);
    const COLORREF highlight = fw::ColorOf(SystemColor::clBtnHighlight);
    const COLORREF black = RGB(0, 0, 0);
    ASSERT_NE(face, black);
    UpdateWindow(form.Handle());  // the first paint draws them
    const auto& released = form.button->Image(S::Released);
    const auto& top = form.button->Image(S::TopPressed);
    const auto& bottom = form.button->Image(S::BottomPressed);
    ASSERT_EQ(released.Width(), 18);
    const struct { const fw::OffscreenBitmap* image; int x, y; COLORREF color; } cases[] = {
        // Frame and diagonal.
        {&released, 0, 0, frame}, {&released, 17, 17, frame}, {&released, 17, 0, frame},
        {&released, 5, 12, frame}, {&top, 12, 5, frame}, {&bottom, 9, 8, frame},
        // The up glyph's corner at (3, 3): ". . # #" on its first row, a full third row.
        {&released, 3, 3, face}, {&released, 5, 3, black}, {&released, 3, 5, black}, {&released, 8, 5, black},
        {&top, 4, 4, face}, {&top, 6, 4, black}, {&top, 4, 6, black},
        {&bottom, 5, 3, black},
        // The down glyph's corner at (9, 9): its full fourth row.
        {&released, 9, 9, face}, {&released, 11, 9, black}, {&released, 9, 12, black}, {&top, 14, 12, black},
        {&bottom, 11, 9, black},
        // The bevel lines by state.
        {&released, 1, 1, highlight}, {&top, 1, 1, shadow}, {&bottom, 1, 1, highlight},
        {&released, 16, 16, shadow}, {&bottom, 16, 16, highlight},
        {&released, 1, 15, shadow}, {&top, 1, 15, face},
        {&bottom, 3, 16, shadow},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.image->Pixel(c.x, c.y), c.color)
            << (c.image == &released ? "released" : c.image == &top ? "top" : "bottom") << " " << c.x << "," << c.y;

    // What reached the form is the released image, at the button's place.
    {
        const fw::WindowDc dc(form.Handle());
        int differing = 0;
        for (int y = 0; y < 18; ++y)
            for (int x = 0; x < 18; ++x)
                differing += GetPixel(dc.Get(), SpinForm::kLeft + x, SpinForm::kTop + y) != released.Pixel(x, y);
        EXPECT_EQ(differing, 0);
    }

    const int drawn = form.button->ImageRedraws();
    InvalidateRect(form.Handle(), nullptr, TRUE);
    UpdateWindow(form.Handle());
    EXPECT_EQ(form.button->ImageRedraws(), drawn);
    form.button->SetEnabled(false);
    UpdateWindow(form.Handle());
    EXPECT_EQ(form.button->ImageRedraws(), drawn + 1);
}

TEST(TSpinButton, AssignedGlyphIsCopiedWithItsBottomLeftColourAsFaceAndNoneReloads) {
    SpinForm form;
    UpdateWindow(form.Handle());
    // A 32-bit 2 x 2 glyph: red at the bottom left, so red is its background.
    fw::OffscreenBitmap glyph(2, 2);
    glyph.Fill(RGB(0, 0, 255));
    SetPixel(glyph.Dc(), 0, 1, RGB(255, 0, 0));
    SetPixel(glyph.Dc(), 1, 1, RGB(255, 0, 0));
    GdiFlush();
    fw::BitmapHandle picture = fw::CopyBitmap(static_cast<HBITMAP>(GetCurrentObject(glyph.Dc(), OBJ_BITMAP)));
    const int drawn = form.button->ImageRedraws();
    form.button->SetUpGlyph(picture.Get());
    picture.Reset();  // the button holds its own copy
    UpdateWindow(form.Handle());
    EXPECT_EQ(form.button->ImageRedraws(), drawn + 1);
    // r(18/4 - 1) + 1 = 5: blue above, the face where red was.
    const auto& image = form.button->Image(S::Released);
    EXPECT_EQ(image.Pixel(5, 5), RGB(0, 0, 255));
    EXPECT_EQ(image.Pixel(5, 6), fw::ColorOf(SystemColor::clBtnFace));

    form.button->SetUpGlyph(nullptr);
    EXPECT_EQ(fw::ShapeOf(form.button->UpGlyph()).bitsPerPixel, 1);
    UpdateWindow(form.Handle());
    EXPECT_EQ(image.Pixel(5, 3), RGB(0, 0, 0));
}

TEST(TSpinButton, LayoutPlacesItAndItForgetsItsFocusControl) {
    RegisterSpinButtonClasses();
    fw::Form form;
    int ups = 0;
    form.Handlers().Add<fw::NotifyEvent>("Up", [&](fw::Component&) { ++ups; });
    fw::LayoutReader reader(form, form.Handlers());
    reader.Read(fw::ParseLayout(R"(
F : TForm {
    S : TSpinButton { Left = 10 Top = 10 Width = 18 Height = 18 FocusControl = E OnTopClick = Up }
    E : TEdit { Left = 40 Top = 10 Width = 50 Height = 21 TabStop = true }
    U : TSpinUpDown { Left = 100 Top = 0 Height = 21 }
})"),
                "TForm");
    auto* button = dynamic_cast<TSpinButton*>(form.FindComponent("S"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->Parent(), &form);
    EXPECT_EQ(button->Width(), 18);
    EXPECT_NE(dynamic_cast<TSpinUpDown*>(form.FindComponent("U")), nullptr);
    auto* edit = dynamic_cast<fw::Edit*>(form.FindComponent("E"));
    EXPECT_EQ(button->FocusControl(), edit);

    form.Show();
    SendMessageA(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(14, 14));
    SendMessageA(form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(14, 14));
    EXPECT_EQ(ups, 1);
    EXPECT_TRUE(edit->Focused());
    delete edit;
    EXPECT_EQ(button->FocusControl(), nullptr);
}

// A layout carries a glyph as a bitmap file image; bytes that are not a whole
// one stop the layout at their line.
TEST(TSpinButton, GlyphsFromALayoutAreBitmapFileImages) {
    RegisterSpinButtonClasses();
    // 1 x 1 at 24 bits: the file and info headers, one red pixel, padding.
    const std::string red =
        "42 4D 3A 00 00 00 00 00 00 00 36 00 00 00 28 00 00 00 01 00 00 00 01 00 00 00 01 00 18 00 00 00 00 00 "
        "04 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 FF";
    for (const bool whole : {true, false}) {
        fw::Form form;
        fw::LayoutReader reader(form, form.Handlers());
        const std::string layout = "F : TForm {\n S : TSpinButton { DownGlyph.Data = <" + red + (whole ? " 00" : "") +
                                   "> }\n}";
        if (!whole) {
            EXPECT_THROW(
                try { reader.Read(fw::ParseLayout(layout), "TForm"); } catch (const Error& error) {
                    EXPECT_EQ(std::string(error.what()), "Layout line 2: DownGlyph.Data of S: Bitmap image is not valid");
                    throw;
                },
                Error);
            continue;
        }
        reader.Read(fw::ParseLayout(layout), "TForm");
        auto* button = dynamic_cast<TSpinButton*>(form.FindComponent("S"));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(fw::ShapeOf(button->DownGlyph()).bitsPerPixel, 24);
        EXPECT_EQ(fw::PixelOf(button->DownGlyph(), 0, 0), RGB(255, 0, 0));
    }
}

TEST(TSpinUpDown, ClicksGoUpOrDownAndThePositionReturnsToZero) {
    fw::Form form;
    form.SetBounds(0, 0, 120, 80);
    auto* updown = new TSpinUpDown(&form);
    updown->SetParent(&form);
    updown->SetBounds(10, 10, 40, 30);
    EXPECT_EQ(updown->Width(), TSpinUpDown::StandardWidth());
    form.Show();
    std::vector<UDBtnType> clicks;
    updown->OnButtonClick = [&](fw::Component&, UDBtnType button) {
        clicks.push_back(button);
        EXPECT_NE(updown->Position(), 0);
    };
    HWND window = updown->Handle();
    for (const int y : {3, 27}) {
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, y));
        SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(4, y));
        EXPECT_EQ(updown->Position(), 0);
    }
    EXPECT_EQ(clicks, (std::vector<UDBtnType>{UDBtnType::btNext, UDBtnType::btPrev}));
}

}  // namespace
}  // namespace tarvik
