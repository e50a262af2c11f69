// A form moved to a display of another scale, and a form asked for by a
// second start of the program.
#include "framework/application_win.h"
#include "framework/controls_win.h"
#include "framework/dpi_scale.h"
#include "framework/dpi_win.h"
#include "framework/form_win.h"
#include "framework/graphic_control_win.h"

namespace tarvik::fw {

namespace {
// Top down: a font that follows its parent's takes the new scale from it.
void SetFontDpi(ControlBase& control, int dpi) {
    if (!control.ParentFont() || !control.Parent()) control.GetFont().SetPixelsPerInch(dpi);
    if (auto* windowed = dynamic_cast<Control*>(&control)) {
        for (Control* child : std::vector<Control*>(windowed->Controls())) SetFontDpi(*child, dpi);
        for (GraphicControl* child : std::vector<GraphicControl*>(windowed->GraphicControls()))
            SetFontDpi(*child, dpi);
    }
}

// Bottom up: a parent that places its children (the pages of a page
// control, the buttons of a spin field) does so after they were scaled.
void ScaleBounds(Control& parent, int dpi, int previous) {
    for (Control* child : std::vector<Control*>(parent.Controls())) {
        ScaleBounds(*child, dpi, previous);
        child->ChangeDpi(dpi, previous);
    }
    for (GraphicControl* child : std::vector<GraphicControl*>(parent.GraphicControls()))
        child->ChangeDpi(dpi, previous);
}
}  // namespace

void Form::ApplyDpi(int dpi, const RECT* suggested) {
    const int previous = PixelsPerInch();
    if (dpi > 0 && dpi != previous) {
        SetFontDpi(*this, dpi);
        ScaleBounds(*this, dpi, previous);
        if (!suggested) {
            SetClientWidth(ScaleBetween(ClientWidth(), dpi, previous));
            SetClientHeight(ScaleBetween(ClientHeight(), dpi, previous));
        }
    }
    if (suggested)
        SetBounds(suggested->left, suggested->top, suggested->right - suggested->left,
                  suggested->bottom - suggested->top);
}

void Form::BringToFront() {
    if (closedForGood_) return;
    // Minimised through its taskbar button, the application's window is
    // what is minimised; the system hid the form with it.
    const HWND application = Application::Instance().Handle();
    if (Application::Instance().MainForm() == this && IsIconic(application)) ShowWindow(application, SW_RESTORE);
    if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
    Show();
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

}  // namespace tarvik::fw
