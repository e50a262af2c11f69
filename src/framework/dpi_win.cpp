#include "framework/dpi_win.h"

#include "system/system_library_win.h"

namespace tarvik::fw {

namespace {
template <class Function>
Function User32Entry(const char* name) {
    const HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? FindEntry<Function>(user32, name) : nullptr;
}
}  // namespace

int WindowDpi(HWND window) {
    static const auto forWindow = User32Entry<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (forWindow && window) {
        if (const UINT dpi = forWindow(window)) return static_cast<int>(dpi);
    }
    int dpi = 0;
    if (HDC screen = GetDC(nullptr)) {
        dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : 96;
}

int SystemMetricForDpi(int index, int dpi) {
    static const auto forDpi = User32Entry<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    if (forDpi && dpi > 0) return forDpi(index, static_cast<UINT>(dpi));
    return GetSystemMetrics(index);
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
    static const auto forDpi = User32Entry<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    if (forDpi && dpi > 0 && forDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi))) return;
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

}  // namespace tarvik::fw
