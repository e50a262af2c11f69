// The main window on a display of another scale: run at 96, 144 and 192 dpi
// (TARVIK_WINE_DPI, which this program checks it got). The program's own
// resources are compiled in, its manifest among them, so the system treats
// it as the program: aware of the scale, with the common controls 6.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "controls/spin_button_win.h"
#include "support/box_recorder_win.h"
#include "framework/dpi_scale.h"
#include "framework/dpi_win.h"
#include "support/window_test_support_win.h"
#include "settings/inilib.h"
#include "ui/main_form_win.h"
#include "ui/program_icon_win.h"

namespace tarvik {
namespace {

using fw::ScaleToDpi;

int ExpectedDpi() {
    const char* value = std::getenv("TARVIK_WINE_DPI");
    return value ? std::atoi(value) : 96;
}

int FontHeight(HFONT handle) {
    LOGFONTW font{};
    GetObjectW(handle, sizeof font, &font);
    return font.lfHeight;
}
int FontHeight(HWND window) { return FontHeight(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0))); }

// The text's width in the control's own font, at that font's height, or at
// `height` with everything else the same.
int TextWidth(HWND window, int height = 0) {
    LOGFONTW description{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof description, &description);
    if (height) description.lfHeight = height;
    const HFONT font = CreateFontIndirectW(&description);
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &extent);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return extent.cx;
}

class DpiTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteFileW(IniPath().c_str());
        const std::pair<const char*, const char*> keys[] = {
            {"IP", "127.0.0.1"}, {"HOST", "127.0.0.9/"}, {"INTERVAL", "3600"}, {"ACTIONS", "1000"},
            {"COMPUTER", "Desk"}, {"MESSAGE", "Нет связи"}, {"STATUS", "0"},
        };
        for (const auto& [key, value] : keys) IniWriteValue(IniPath(), "SETUP", key, value);
        form = std::make_unique<TForm1>(MonitorServices{});
        dpi = fw::WindowDpi(form->Handle());
        ASSERT_EQ(dpi, ExpectedDpi()) << "the prefix's display scale";
    }
    void TearDown() override {
        form.reset();
        DeleteFileW(IniPath().c_str());
    }

    // Every control with its 96-dpi rectangle from the layout, where the
    // layout decides it (labels size themselves to their text).
    struct Designed {
        fw::Control* control;
        RECT rect;  // left, top, width, height
    };
    std::vector<Designed> DesignedControls() const {
        TForm1& f = *form;
        return {
            {f.IPEdit, {64, 32, 129, 21}},
            {f.HostEdit, {64, 56, 129, 21}},     {f.PageControl1, {6, 88, 209, 217}},
            {f.Button1, {16, 124, 169, 25}},     {f.Button4, {16, 156, 169, 25}},
            {f.GroupBox2, {5, 0, 185, 73}},      {f.EditInterval, {120, 24, 57, 21}},
            {f.EditAction, {120, 48, 57, 21}},   {f.GroupBox3, {5, 80, 185, 97}},
            {f.EditComputer, {8, 28, 169, 21}},  {f.EditMessage, {8, 68, 169, 21}},
            {f.GroupBox1, {0, 0, 201, 185}},     {f.Label6, {16, 18, 175, 160}},
        };
    }
    static RECT Placed(fw::Control& control) {
        RECT rect;
        GetWindowRect(control.Handle(), &rect);
        MapWindowPoints(nullptr, GetParent(control.Handle()), reinterpret_cast<POINT*>(&rect), 2);
        return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    }
    void ExpectLaidOutAt(int at) {
        RECT client;
        GetClientRect(form->Handle(), &client);
        EXPECT_EQ(client.right, ScaleToDpi(219, at));
        EXPECT_EQ(client.bottom, ScaleToDpi(312, at));
        EXPECT_EQ(FontHeight(form->GetFont().Handle()), ScaleToDpi(-11, at)) << "the window's font";
        EXPECT_EQ(FontHeight(form->TProverok->Handle()), ScaleToDpi(-13, at));
        for (const Designed& designed : DesignedControls()) {
            SCOPED_TRACE(designed.control->Name());
            const RECT placed = Placed(*designed.control);
            const RECT& d = designed.rect;
            // One pixel for each scaling the window has been through.
            EXPECT_NEAR(placed.left, ScaleToDpi(d.left, at), 1);
            EXPECT_NEAR(placed.top, ScaleToDpi(d.top, at), 1);
            EXPECT_NEAR(placed.right, ScaleToDpi(d.right, at), 1);
            EXPECT_NEAR(placed.bottom, ScaleToDpi(d.bottom, at), 1);
        }
    }

    std::unique_ptr<TForm1> form;
    int dpi = 0;
};

TEST_F(DpiTest, TheWindowItsControlsAndItsFontsMeasureDpiOver96TimesTheirDesign) { ExpectLaidOutAt(dpi); }

TEST_F(DpiTest, NoTextIsWiderForItsControlThanAt96Dpi) {
    TForm1& f = *form;
    // The labels size themselves to their text: their height follows the font.
    for (fw::Label* label : {f.Label5, f.Label2, f.TProverok, f.TUspeh}) {
        SCOPED_TRACE(label->Name());
        EXPECT_NEAR(Placed(*label).bottom, ScaleToDpi(label->GetFont().Height() < -11 ? 16 : 13, dpi), 2);
    }
    for (fw::Control* control : std::vector<fw::Control*>{f.Status, f.Button1, f.Button4, f.GroupBox2, f.GroupBox3}) {
        SCOPED_TRACE(control->Name());
        const HWND window = control->Handle();
        const double width = Placed(*control).right;
        const double now = TextWidth(window) / width;
        const int height = control->GetFont().Height();
        const double designed = TextWidth(window, height) / (width * 96 / dpi);
        // Within the rounding of the font's height, and 8 % for the font's
        // own drawing at another size.
        const double rounding = double(ScaleToDpi(height, dpi)) / (height * dpi / 96.0);
        EXPECT_LE(now, designed * rounding * 1.08) << TextWidth(window) << " of " << width;
    }
    // "Таймер запущен." after the check box's glyph, uncut: the box is as
    // designed, or a little wider where the font at this size is.
    const RECT status = Placed(*f.Status);
    EXPECT_EQ(status.left, ScaleToDpi(59, dpi));
    EXPECT_EQ(status.bottom, ScaleToDpi(17, dpi));
    EXPECT_GE(status.right, ScaleToDpi(126, dpi));
    EXPECT_LE(status.right, ScaleToDpi(126, dpi) * 1.08);
    EXPECT_LE(ScaleToDpi(13 + 3, dpi) + TextWidth(f.Status->Handle()), status.right);
}

TEST_F(DpiTest, MovedToADisplayOfAnotherScaleTheWindowIsLaidOutAgain) {
    const int other = dpi == 192 ? 96 : dpi * 2;
    for (int at : {other, dpi}) {
        SCOPED_TRACE(at);
        RECT suggested;
        GetWindowRect(form->Handle(), &suggested);
        RECT frame{0, 0, ScaleToDpi(219, at), ScaleToDpi(312, at)};
        fw::AdjustWindowRectForDpi(frame, static_cast<DWORD>(GetWindowLongW(form->Handle(), GWL_STYLE)),
                                   static_cast<DWORD>(GetWindowLongW(form->Handle(), GWL_EXSTYLE)), at);
        suggested.right = suggested.left + frame.right - frame.left;
        suggested.bottom = suggested.top + frame.bottom - frame.top;
        SendMessageW(form->Handle(), fw::kDpiChangedMessage, MAKEWPARAM(at, at), reinterpret_cast<LPARAM>(&suggested));
        RECT placed;
        GetWindowRect(form->Handle(), &placed);
        EXPECT_EQ(placed.right - placed.left, suggested.right - suggested.left) << "the suggested rectangle";
        EXPECT_EQ(placed.bottom - placed.top, suggested.bottom - suggested.top);
        EXPECT_EQ(FontHeight(form->Status->Handle()), ScaleToDpi(-11, at));
        for (const Designed& designed : DesignedControls()) {
            SCOPED_TRACE(designed.control->Name());
            EXPECT_NEAR(Placed(*designed.control).right, ScaleToDpi(designed.rect.right, at), 2);
            EXPECT_NEAR(Placed(*designed.control).bottom, ScaleToDpi(designed.rect.bottom, at), 2);
        }
    }
}

// The arrows are the 6 x 6 glyphs, each pixel a square of whole pixels (two
// by two at 200 %): nothing blurred, nothing lost.
TEST_F(DpiTest, TheSpinButtonsArrowsAreDrawnWholePixelForPixel) {
    TSpinButton& button = *form->EditInterval->Button();
    EXPECT_EQ(button.Width(), ScaleToDpi(21, dpi) - 3) << "the field's height less its border";
    const HDC memory = CreateCompatibleDC(nullptr);
    button.Paint(memory);  // draws the pictures at the button's size
    DeleteDC(memory);
    const fw::OffscreenBitmap& image = button.Image(SpinButtonState::Released);
    ASSERT_EQ(image.Width(), button.Width());
    if (GetSysColor(COLOR_WINDOWFRAME) == RGB(0, 0, 0)) GTEST_SKIP() << "the frame is black too";
    int black = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) black += image.Pixel(x, y) == RGB(0, 0, 0);
    const int factor = fw::PixelFactor(dpi);
    EXPECT_EQ(black, 2 * 18 * factor * factor) << "18 black pixels in each arrow";
}

TEST_F(DpiTest, TheIconIsAsWideAsTheNotificationAreaAsks) {
    const int size = GetSystemMetrics(SM_CXSMICON);
    EXPECT_EQ(size, ScaleToDpi(16, dpi)) << "16 at 100 %, 24 at 150 %, 32 at 200 %";
    UseDrawnTrayPictures(*form->TrayIcon1);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(form->TrayIcon1->NotifyRecord().hIcon, &info));
    BITMAP colour{};
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_EQ(colour.bmWidth, size);
    EXPECT_EQ(colour.bmHeight, size);
}

}  // namespace
}  // namespace tarvik
