#include "framework/icon_win.h"

#include <cstdlib>
#include <cstring>

#include "base/error.h"
#include "base/little_endian.h"
#include "framework/gdi_win.h"
#include "framework/layout_reader.h"

namespace tarvik::fw {

namespace {

const char kNotValid[] = "Icon image is not valid";

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kBitmapHeaderSize = 40;
// The version CreateIconFromResourceEx expects for icon images.
constexpr DWORD kIconResourceVersion = 0x00030000;

struct ImageEntry {
    int width;
    int bits;
    std::uint32_t offset;
    std::uint32_t size;
};

int SmallIconSize() {
    int size = GetSystemMetrics(SM_CXSMICON);
    return size > 0 ? size : 16;
}

// Checks the whole directory against the data (a stored image comes from
// outside the program) and picks the image for the notification area: the
// width nearest the small-icon size, then the most colours.
ImageEntry PickImage(const std::uint8_t* data, std::size_t size, int wanted) {
    if (data == nullptr || size < kHeaderSize) throw Error(kNotValid);
    const unsigned type = ReadLE16(data + 2);
    const unsigned count = ReadLE16(data + 4);
    if (type != 0 && type != 1) throw Error(kNotValid);
    if (count == 0 || size < kHeaderSize + kEntrySize * count) throw Error(kNotValid);

    ImageEntry best{};
    bool found = false;
    for (unsigned i = 0; i < count; ++i) {
        const std::uint8_t* entry = data + kHeaderSize + kEntrySize * i;
        ImageEntry image;
        image.width = entry[0] == 0 ? 256 : entry[0];
        image.bits = ReadLE16(entry + 6);
        if (image.bits == 0) image.bits = entry[2] == 0 ? 8 : 4;
        image.size = ReadLE32(entry + 8);
        image.offset = ReadLE32(entry + 12);
        if (image.size < kBitmapHeaderSize || image.offset > size || image.size > size - image.offset) {
            throw Error(kNotValid);
        }
        const int distance = std::abs(image.width - wanted);
        const int bestDistance = std::abs(best.width - wanted);
        if (!found || distance < bestDistance || (distance == bestDistance && image.bits > best.bits)) {
            best = image;
            found = true;
        }
    }
    return best;
}

IconHandle CopyOf(HICON icon) {
    IconHandle copy(CopyIcon(icon));
    if (!copy) throw Error("Cannot copy the icon");
    return copy;
}

// An icon file image drawn from a platform icon: one 32-bit image with its
// mask, at the icon's own size.
std::vector<std::uint8_t> ImageFromHandle(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) throw Error("Cannot read the icon");
    BitmapHandle color(info.hbmColor);
    BitmapHandle mask(info.hbmMask);
    BITMAP bitmap{};
    GetObjectA(mask.Get(), sizeof bitmap, &bitmap);
    const int width = bitmap.bmWidth;
    const int height = color ? bitmap.bmHeight : bitmap.bmHeight / 2;
    if (width <= 0 || height <= 0 || width > 256 || height > 256) throw Error("Cannot read the icon");

    const std::size_t pixelBytes = std::size_t(width) * height * 4;
    const std::size_t maskStride = ((width + 31) / 32) * 4;
    const std::size_t maskBytes = maskStride * height;

    std::vector<std::uint8_t> pixels(pixelBytes);
    std::vector<std::uint8_t> andMask(maskBytes);
    const MemoryDc memory(CreateCompatibleDC(nullptr));
    if (!memory) throw Error("Cannot read the icon");
    HDC dc = memory.Get();

    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } format{};
    format.header.biSize = sizeof(BITMAPINFOHEADER);
    format.header.biWidth = width;
    format.header.biHeight = height;
    format.header.biPlanes = 1;
    format.header.biBitCount = 32;
    auto* bitmapInfo = reinterpret_cast<BITMAPINFO*>(&format);
    void* bits = nullptr;
    BitmapHandle colorSection(CreateDIBSection(dc, bitmapInfo, DIB_RGB_COLORS, &bits, nullptr, 0));
    format.header.biBitCount = 1;
    format.colors[1] = RGBQUAD{255, 255, 255, 0};
    void* maskBits = nullptr;
    BitmapHandle maskSection(CreateDIBSection(dc, bitmapInfo, DIB_RGB_COLORS, &maskBits, nullptr, 0));
    bool drawn = false;
    if (colorSection && maskSection) {
        {
            const SelectedObject image(dc, colorSection.Get());
            drawn = DrawIconEx(dc, 0, 0, icon, width, height, 0, nullptr, DI_IMAGE);
        }
        {
            const SelectedObject andBits(dc, maskSection.Get());
            drawn = DrawIconEx(dc, 0, 0, icon, width, height, 0, nullptr, DI_MASK) && drawn;
        }
        GdiFlush();
        if (drawn) {
            std::memcpy(pixels.data(), bits, pixelBytes);
            std::memcpy(andMask.data(), maskBits, maskBytes);
        }
    }
    if (!drawn) throw Error("Cannot read the icon");

    const std::uint32_t imageSize = static_cast<std::uint32_t>(kBitmapHeaderSize + pixelBytes + maskBytes);
    std::vector<std::uint8_t> out;
    out.reserve(kHeaderSize + kEntrySize + imageSize);
    AppendLE16(out, 0);
    AppendLE16(out, 1);
    AppendLE16(out, 1);
    out.push_back(static_cast<std::uint8_t>(width == 256 ? 0 : width));
    out.push_back(static_cast<std::uint8_t>(height == 256 ? 0 : height));
    out.push_back(0);
    out.push_back(0);
    AppendLE16(out, 1);
    AppendLE16(out, 32);
    AppendLE32(out, imageSize);
    AppendLE32(out, kHeaderSize + kEntrySize);
    AppendLE32(out, kBitmapHeaderSize);
    AppendLE32(out, static_cast<std::uint32_t>(width));
    AppendLE32(out, static_cast<std::uint32_t>(height * 2));
    AppendLE16(out, 1);
    AppendLE16(out, 32);
    AppendLE32(out, BI_RGB);
    AppendLE32(out, static_cast<std::uint32_t>(pixelBytes + maskBytes));
    AppendLE32(out, 0);
    AppendLE32(out, 0);
    AppendLE32(out, 0);
    AppendLE32(out, 0);
    out.insert(out.end(), pixels.begin(), pixels.end());
    out.insert(out.end(), andMask.begin(), andMask.end());
    return out;
}

}  // namespace

void Icon::LoadFromImage(const std::uint8_t* data, std::size_t size) {
    const int wanted = SmallIconSize();
    const ImageEntry image = PickImage(data, size, wanted);
    IconHandle handle(CreateIconFromResourceEx(const_cast<PBYTE>(data + image.offset), image.size, TRUE,
                                               kIconResourceVersion, wanted, wanted, LR_DEFAULTCOLOR));
    if (!handle) throw Error(kNotValid);
    std::vector<std::uint8_t> bytes(data, data + size);
    handle_ = std::move(handle);
    image_ = std::move(bytes);
    Changed();
}

void Icon::LoadFromHandle(HICON icon) {
    if (!icon) {
        Clear();
        return;
    }
    handle_ = CopyOf(icon);
    image_.clear();
    Changed();
}

std::vector<std::uint8_t> Icon::SaveToImage() const {
    if (!handle_) return {};
    if (!image_.empty()) return image_;
    return ImageFromHandle(handle_.Get());
}

void Icon::Assign(const Icon& source) {
    if (&source == this) return;
    if (!source.HasImage()) {
        Clear();
        return;
    }
    IconHandle copy = CopyOf(source.Handle());
    std::vector<std::uint8_t> bytes = source.image_;
    handle_ = std::move(copy);
    image_ = std::move(bytes);
    Changed();
}

void Icon::Clear() {
    handle_.Reset();
    image_.clear();
    Changed();
}

void Icon::Changed() {
    if (OnChange) OnChange(*this);
}

bool Icon::ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) {
    if (name == "Data") {
        LoadFromImage(LayoutReader::Binary(value));
        return true;
    }
    return Persistent::ReadProperty(name, value, reader);
}

}  // namespace tarvik::fw
