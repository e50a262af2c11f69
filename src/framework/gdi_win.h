// Device contexts, what is selected into them, and off-screen pictures. Each
// scope undoes its GetDC, BeginPaint or SelectObject on every path out.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "system/handles_win.h"

namespace tarvik::fw {

// GetDC ... ReleaseDC; a null window is the screen. Get() is null when the
// system gave no context.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint ... EndPaint, for WM_PAINT.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~PaintDc() { EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC Get() const { return dc_; }
    const RECT& Area() const { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

// SelectObject ... SelectObject(previous).
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A memory context compatible with the screen; throws tarvik::Error when
// there is none.
MemoryDc CreateMemoryDc();

// A 32-bit off-screen picture with its own memory context, so that drawing
// into it and reading its pixels back is exact whatever the display.
class OffscreenBitmap {
public:
    OffscreenBitmap() = default;
    // Throws tarvik::Error when the system has no memory for it.
    OffscreenBitmap(int width, int height);
    ~OffscreenBitmap();
    OffscreenBitmap(OffscreenBitmap&& other) noexcept;
    OffscreenBitmap& operator=(OffscreenBitmap&& other) noexcept;

    int Width() const { return width_; }
    int Height() const { return height_; }
    HDC Dc() const { return dc_.Get(); }
    explicit operator bool() const { return static_cast<bool>(bitmap_); }

    void Fill(COLORREF color);
    // The outline of the rectangle, one pixel wide, inside (left, top) to
    // (right, bottom) exclusive.
    void FrameRect(const RECT& rect, COLORREF color);
    // One-pixel lines through the points: each covers its start point and
    // not its end point.
    void Lines(std::initializer_list<POINT> points, COLORREF color);
    // Draws `source` with its top-left corner at (x, y), every pixel of
    // colour `from` drawn in colour `to` instead, and every pixel as a
    // square of `factor` × `factor` pixels.
    void DrawReplacing(HBITMAP source, int x, int y, COLORREF from, COLORREF to, int factor = 1);
    void CopyTo(HDC target, int x, int y) const;
    COLORREF Pixel(int x, int y) const;

private:
    void Free();

    BitmapHandle bitmap_;
    MemoryDc dc_;
    HGDIOBJ previous_ = nullptr;  // the memory context's own bitmap
    DWORD* bits_ = nullptr;       // top-down rows of 0x00RRGGBB
    int width_ = 0, height_ = 0;
};

// The size and bits per pixel of a bitmap; {0, 0, 0} for none.
struct BitmapShape {
    int width, height, bitsPerPixel;
};
BitmapShape ShapeOf(HBITMAP bitmap);
// One pixel of a bitmap (not selected into any context); CLR_INVALID outside.
COLORREF PixelOf(HBITMAP bitmap, int x, int y);

// A copy of the bitmap in its own format; throws tarvik::Error on failure.
BitmapHandle CopyBitmap(HBITMAP bitmap);
// A bitmap built from a bitmap file image (a layout's picture), in its own
// format; throws tarvik::Error("Bitmap image is not valid") for bytes that
// are not one.
BitmapHandle BitmapFromImage(const std::uint8_t* data, std::size_t size);
// A bitmap resource of the program, kept in its stored format (a two-colour
// picture stays two-colour); throws tarvik::Error when it is missing.
BitmapHandle LoadBitmapResource(const char* name);

}  // namespace tarvik::fw
