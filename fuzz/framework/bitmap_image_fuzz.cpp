// Pictures come from the layout resource: whatever bytes they are, the check
// refuses them with tarvik::Error or names parts that all lie inside them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "base/error.h"
#include "framework/bitmap_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tarvik::fw::BitmapImageLayout image{};
    try {
        image = tarvik::fw::CheckBitmapImage(data, size);
    } catch (const tarvik::Error&) {
        return 0;
    }
    if (image.infoOffset + image.infoSize + 4 * image.colorCount > image.bitsOffset) std::abort();
    if (image.bitsOffset + image.bitsSize > size) std::abort();
    const std::size_t rows = static_cast<std::size_t>(image.height < 0 ? -image.height : image.height);
    if (image.bitsSize < rows * ((static_cast<std::size_t>(image.width) * image.bitsPerPixel + 7) / 8)) std::abort();
    return 0;
}
