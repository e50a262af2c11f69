#include "framework/bitmap_image.h"

#include "base/error.h"
#include "base/little_endian.h"

namespace tarvik::fw {

namespace {
const char kNotValid[] = "Bitmap image is not valid";
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
}  // namespace

BitmapImageLayout CheckBitmapImage(const std::uint8_t* data, std::size_t size) {
    if (!data || size < kFileHeaderSize + kInfoHeaderSize || data[0] != 'B' || data[1] != 'M') throw Error(kNotValid);
    const std::uint8_t* info = data + kFileHeaderSize;
    BitmapImageLayout image{};
    image.infoOffset = kFileHeaderSize;
    image.infoSize = ReadLE32(info);
    image.width = static_cast<std::int32_t>(ReadLE32(info + 4));
    image.height = static_cast<std::int32_t>(ReadLE32(info + 8));
    image.bitsPerPixel = ReadLE16(info + 14);
    const unsigned planes = ReadLE16(info + 12);
    const std::uint32_t compression = ReadLE32(info + 16);
    const std::uint32_t colorsUsed = ReadLE32(info + 32);
    image.bitsOffset = ReadLE32(data + 10);

    const bool knownDepth = image.bitsPerPixel == 1 || image.bitsPerPixel == 4 || image.bitsPerPixel == 8 ||
                            image.bitsPerPixel == 24 || image.bitsPerPixel == 32;
    if (image.infoSize < kInfoHeaderSize || image.infoSize > size - kFileHeaderSize || planes != 1 ||
        compression != 0 || !knownDepth || image.width < 1 || image.width > kMaxBitmapSide || image.height == 0 ||
        image.height < -kMaxBitmapSide || image.height > kMaxBitmapSide)
        throw Error(kNotValid);

    // Up to 8 bits per pixel the table holds every colour unless it says
    // how many it uses; deeper pictures may carry an optional table.
    const std::size_t maxColors = image.bitsPerPixel <= 8 ? std::size_t{1} << image.bitsPerPixel : 256;
    image.colorCount = colorsUsed == 0 && image.bitsPerPixel <= 8 ? maxColors : colorsUsed;
    if (image.colorCount > maxColors) throw Error(kNotValid);
    const std::size_t tableEnd = kFileHeaderSize + image.infoSize + 4 * image.colorCount;

    const std::size_t stride = (static_cast<std::size_t>(image.width) * image.bitsPerPixel + 31) / 32 * 4;
    const std::size_t rows = static_cast<std::size_t>(image.height < 0 ? -image.height : image.height);
    image.bitsSize = stride * rows;
    if (tableEnd > size || image.bitsOffset < tableEnd || image.bitsOffset > size ||
        image.bitsSize > size - image.bitsOffset)
        throw Error(kNotValid);
    return image;
}

}  // namespace tarvik::fw
