// The parts of a bitmap file image (the .bmp layout) that a layout may carry
// as a picture: checked against the data, since the bytes come from outside
// the program.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarvik::fw {

struct BitmapImageLayout {
    std::size_t infoOffset;    // the info header, after the 14-byte file header
    std::size_t infoSize;      // 40 or more (the later headers extend it)
    std::size_t colorCount;    // entries of 4 bytes right after the info header
    std::size_t bitsOffset;    // the rows, bottom-up (or top-down for a negative height)
    std::size_t bitsSize;      // whole rows of 4-byte multiples
    std::int32_t width;        // 1 to kMaxBitmapSide
    std::int32_t height;       // as stored: negative for top-down rows
    int bitsPerPixel;          // 1, 4, 8, 24 or 32
};

// Pictures of controls are small; a larger one is refused rather than
// allocated.
constexpr std::int32_t kMaxBitmapSide = 1024;

// Throws tarvik::Error("Bitmap image is not valid") unless `data` holds an
// uncompressed bitmap file image whose every part lies inside it; never
// reads past `size`.
BitmapImageLayout CheckBitmapImage(const std::uint8_t* data, std::size_t size);

}  // namespace tarvik::fw
