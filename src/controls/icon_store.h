// The stored form of an icon list, as the window layout carries it in
// "Icons.Icons": a 32-bit entry count, then per entry a 32-bit size and that
// many bytes of an icon file image. All integers little-endian; a size of 0
// or less is an empty slot with no bytes.
//
// Portable: it reads bytes that come from outside the program (the layout
// resource), so it is built natively with sanitizers and fuzzed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tarvik {

using Bytes = std::vector<std::uint8_t>;

// One entry: the icon file image, or none for an empty slot.
using StoredIcon = std::optional<Bytes>;

// Throws tarvik::Error when the data ends before its count and sizes say,
// when the count is negative or larger than the data could hold, or when
// bytes follow the last entry. Never reads past `size` and never allocates
// more than the data holds.
std::vector<StoredIcon> DecodeIconStore(const std::uint8_t* data, std::size_t size);
std::vector<StoredIcon> DecodeIconStore(const Bytes& data);

// Empty slots (and empty images) are written with size 0.
Bytes EncodeIconStore(const std::vector<StoredIcon>& entries);

}  // namespace tarvik
