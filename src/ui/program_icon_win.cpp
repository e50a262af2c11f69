#include "ui/program_icon_win.h"

#include <string>

#include "framework/application_win.h"

namespace tarvik {

namespace {
// Shared icons belong to the module and are never destroyed, so the windows
// may keep them for the whole run.
HICON ProgramIcon(int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), kProgramIconName, IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), LR_SHARED));
}
// A picture drawn at exactly `size`, or null.
HICON DrawnPicture(const char* name, int size) {
    const Text resource = name + std::to_string(size);
    if (!FindResourceA(GetModuleHandleA(nullptr), resource.c_str(), MAKEINTRESOURCEA(14)))  // RT_GROUP_ICON
        return nullptr;
    return static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), resource.c_str(), IMAGE_ICON, size, size, LR_SHARED));
}
}  // namespace

void UseDrawnTrayPictures(TTrayIcon& tray) {
    const int size = GetSystemMetrics(SM_CXSMICON);
    if (size == 16) return;
    const HICON still = DrawnPicture("TRAYSTILL", size);
    const HICON alarm = DrawnPicture("TRAYALARM", size);
    // The first frame is the still picture, the second the alarm.
    if (still || alarm) tray.SetDrawnPictures(still, {still, alarm});
}

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
