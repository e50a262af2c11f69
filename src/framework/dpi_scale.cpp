#include "framework/dpi_scale.h"

#include <cstdint>
#include <limits>

namespace tarvik::fw {

int ScaleBetween(int value, int to, int from) {
    if (from <= 0) return value;
    const std::int64_t product = std::int64_t{value} * to;
    const std::int64_t half = from / 2;
    const std::int64_t scaled = product >= 0 ? (product + half) / from : -((-product + half) / from);
    if (scaled > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (scaled < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(scaled);
}

int PixelFactor(int dpi) { return dpi < kDesignDpi ? 1 : dpi / kDesignDpi; }

}  // namespace tarvik::fw
