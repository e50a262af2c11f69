#include "ui/single_copy.h"

#include <cstdint>

namespace tarvik {

std::string CopyName(std::u16string_view foldedPath) {
    constexpr std::uint64_t kOffsetBasis = 14695981039346656037ULL;
    constexpr std::uint64_t kPrime = 1099511628211ULL;
    std::uint64_t hash = kOffsetBasis;
    for (const char16_t unit : foldedPath) {
        const unsigned value = unit;
        for (const unsigned byte : {value & 0xFFu, value >> 8}) {
            hash ^= byte;
            hash *= kPrime;
        }
    }
    std::string name = "Tarvik-";
    for (int shift = 60; shift >= 0; shift -= 4) name += "0123456789abcdef"[(hash >> shift) & 0xFu];
    return name;
}

}  // namespace tarvik
