// The display's scale as the system gives it to a window, and the system's
// sizes at a given scale. The functions for it came with Windows 10 1607;
// they are looked up at run time, and older systems answer with the
// system's one scale, which is then the only one.
#pragma once

#include <windows.h>

namespace tarvik::fw {

// Sent to a top-level window of a per-monitor aware program when it moves
// to a display of another scale (Windows 8.1 and later); not in XP's
// headers.
constexpr UINT kDpiChangedMessage = 0x02E0;  // WM_DPICHANGED

// The dots per inch the window is drawn at: GetDpiForWindow, else the
// screen's LOGPIXELSY; 96 when neither answers.
int WindowDpi(HWND window);

// GetSystemMetrics at `dpi` (GetSystemMetricsForDpi); the system's own
// value where that is missing.
int SystemMetricForDpi(int index, int dpi);

// The outer rectangle around a client rectangle, at `dpi`
// (AdjustWindowRectExForDpi, else AdjustWindowRectEx).
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi);

}  // namespace tarvik::fw
