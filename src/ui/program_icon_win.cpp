#include "ui/program_icon_win.h"

#include "framework/application_win.h"

namespace tarvik {

namespace {
// Shared icons belong to the module and are never destroyed, so the windows
// may keep them for the whole run.
HICON ProgramIcon(int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), kProgramIconName, IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), LR_SHARED));
}
}  // namespace

void ShowProgramIcon(fw::Form& mainForm) {
    const HICON largeIcon = ProgramIcon(SM_CXICON, SM_CYICON);
    const HICON smallIcon = ProgramIcon(SM_CXSMICON, SM_CYSMICON);
    if (!largeIcon || !smallIcon) return;
    for (HWND window : {mainForm.Handle(), fw::Application::Instance().Handle()}) {
        SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon));
        SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    }
}

}  // namespace tarvik
