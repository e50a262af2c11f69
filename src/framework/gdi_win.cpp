#include "framework/gdi_win.h"

#include <cstring>
#include <utility>
#include <vector>

#include "base/error.h"
#include "framework/bitmap_image.h"
#include "system/system_error_win.h"

namespace tarvik::fw {

namespace {
DWORD ToPixel(COLORREF color) { return (DWORD(GetRValue(color)) << 16) | (DWORD(GetGValue(color)) << 8) | GetBValue(color); }
COLORREF ToColor(DWORD pixel) { return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF); }

BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}
}  // namespace

MemoryDc CreateMemoryDc() {
    MemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dc) ThrowSystemError("Unable to create a memory device context", GetLastError());
    return dc;
}

OffscreenBitmap::OffscreenBitmap(int width, int height) : width_(width), height_(height) {
    if (width <= 0 || height <= 0) throw Error("A picture needs a positive size");
    dc_ = CreateMemoryDc();
    const BITMAPINFO info = TopDown32(width, height);
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(dc_.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_) ThrowSystemError("Unable to create a bitmap", GetLastError());
    bits_ = static_cast<DWORD*>(bits);
    previous_ = SelectObject(dc_.Get(), bitmap_.Get());
}

OffscreenBitmap::~OffscreenBitmap() { Free(); }

OffscreenBitmap::OffscreenBitmap(OffscreenBitmap&& other) noexcept { *this = std::move(other); }

OffscreenBitmap& OffscreenBitmap::operator=(OffscreenBitmap&& other) noexcept {
    if (this == &other) return *this;
    Free();
    bitmap_ = std::move(other.bitmap_);
    dc_ = std::move(other.dc_);
    previous_ = std::exchange(other.previous_, nullptr);
    bits_ = std::exchange(other.bits_, nullptr);
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    return *this;
}

void OffscreenBitmap::Free() {
    // The bitmap is deselected before either goes: a selected bitmap cannot
    // be deleted.
    if (dc_ && previous_) SelectObject(dc_.Get(), previous_);
    previous_ = nullptr;
    dc_.Reset();
    bitmap_.Reset();
    bits_ = nullptr;
    width_ = height_ = 0;
}

void OffscreenBitmap::Fill(COLORREF color) {
    GdiFlush();
    const DWORD pixel = ToPixel(color);
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = pixel;
}

void OffscreenBitmap::FrameRect(const RECT& rect, COLORREF color) {
    BrushHandle brush(CreateSolidBrush(color));
    if (!brush) ThrowSystemError("Unable to create a brush", GetLastError());
    ::FrameRect(dc_.Get(), &rect, brush.Get());
}

void OffscreenBitmap::Lines(std::initializer_list<POINT> points, COLORREF color) {
    if (points.size() < 2) return;
    PenHandle pen(CreatePen(PS_SOLID, 1, color));
    if (!pen) ThrowSystemError("Unable to create a pen", GetLastError());
    const SelectedObject selected(dc_.Get(), pen.Get());
    const POINT* point = points.begin();
    MoveToEx(dc_.Get(), point->x, point->y, nullptr);
    for (++point; point != points.end(); ++point) LineTo(dc_.Get(), point->x, point->y);
}

void OffscreenBitmap::DrawReplacing(HBITMAP source, int x, int y, COLORREF from, COLORREF to, int factor) {
    if (factor < 1) factor = 1;
    const BitmapShape shape = ShapeOf(source);
    if (shape.width <= 0 || shape.height <= 0) return;
    BITMAPINFO info = TopDown32(shape.width, shape.height);
    std::vector<DWORD> pixels(std::size_t(shape.width) * shape.height);
    if (GetDIBits(dc_.Get(), source, 0, shape.height, pixels.data(), &info, DIB_RGB_COLORS) != shape.height)
        throw Error("Unable to read a bitmap");
    const DWORD fromPixel = ToPixel(from), toPixel = ToPixel(to);
    for (DWORD& pixel : pixels) {
        pixel &= 0xFFFFFF;
        if (pixel == fromPixel) pixel = toPixel;
    }
    GdiFlush();
    // Clipped by hand: the rows are written straight into the section.
    for (int row = 0; row < shape.height * factor; ++row) {
        const int ty = y + row;
        if (ty < 0 || ty >= height_) continue;
        for (int column = 0; column < shape.width * factor; ++column) {
            const int tx = x + column;
            if (tx >= 0 && tx < width_)
                bits_[ty * width_ + tx] = pixels[std::size_t(row / factor) * shape.width + column / factor];
        }
    }
}

void OffscreenBitmap::CopyTo(HDC target, int x, int y) const {
    if (bitmap_) BitBlt(target, x, y, width_, height_, dc_.Get(), 0, 0, SRCCOPY);
}

COLORREF OffscreenBitmap::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    GdiFlush();
    return ToColor(bits_[y * width_ + x]);
}

BitmapShape ShapeOf(HBITMAP bitmap) {
    BITMAP description{};
    if (!bitmap || !GetObjectA(bitmap, sizeof description, &description)) return {0, 0, 0};
    return {description.bmWidth, description.bmHeight, description.bmBitsPixel * description.bmPlanes};
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    const BitmapShape shape = ShapeOf(bitmap);
    if (x < 0 || y < 0 || x >= shape.width || y >= shape.height) return CLR_INVALID;
    BITMAPINFO info = TopDown32(shape.width, shape.height);
    std::vector<DWORD> pixels(std::size_t(shape.width) * shape.height);
    const MemoryDc dc = CreateMemoryDc();
    if (GetDIBits(dc.Get(), bitmap, 0, shape.height, pixels.data(), &info, DIB_RGB_COLORS) != shape.height)
        return CLR_INVALID;
    return ToColor(pixels[std::size_t(y) * shape.width + x]);
}

BitmapHandle CopyBitmap(HBITMAP bitmap) {
    BitmapHandle copy(static_cast<HBITMAP>(CopyImage(bitmap, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!copy) ThrowSystemError("Unable to copy a bitmap", GetLastError());
    return copy;
}

BitmapHandle BitmapFromImage(const std::uint8_t* data, std::size_t size) {
    const BitmapImageLayout image = CheckBitmapImage(data, size);
    // The plain info header with the colour table; a later, longer header
    // adds nothing an uncompressed picture needs.
    std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + 4 * image.colorCount);
    std::memcpy(info.data(), data + image.infoOffset, sizeof(BITMAPINFOHEADER));
    std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), data + image.infoOffset + image.infoSize,
                4 * image.colorCount);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biSizeImage = 0;
    header->biClrUsed = static_cast<DWORD>(image.colorCount);
    void* bits = nullptr;
    BitmapHandle bitmap(
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) ThrowSystemError("Unable to create a bitmap", GetLastError());
    std::memcpy(bits, data + image.bitsOffset, image.bitsSize);
    GdiFlush();
    return bitmap;
}

BitmapHandle LoadBitmapResource(const char* name) {
    BitmapHandle bitmap(
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap) ThrowSystemError(Text("Unable to load the bitmap ") + name, GetLastError());
    return bitmap;
}

}  // namespace tarvik::fw
