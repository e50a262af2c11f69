// The program's own icon (the resource that the shell shows for the file) on
// its windows: the title bar of the main form, and the application's window,
// which carries the taskbar button and stands for the program in Alt+Tab.
#pragma once

#include "controls/tray_icon_win.h"
#include "framework/form_win.h"

namespace tarvik {

// The icon's resource name in the program file.
constexpr char kProgramIconName[] = "MAINICON";

// Gives the form and the application's window the program icon, at the
// system's large and small sizes. Without the resource (a test program),
// nothing changes.
void ShowProgramIcon(fw::Form& mainForm);

// Where the notification area's icons are 20, 24 or 32 pixels wide (125,
// 150 and 200 per cent), the icon shows the still picture and the alarm
// frame drawn at that size (resources "TRAYSTILL<size>", "TRAYALARM<size>").
// At 16, or at a size with no drawn picture, it keeps the stored ones.
void UseDrawnTrayPictures(TTrayIcon& tray);

}  // namespace tarvik
