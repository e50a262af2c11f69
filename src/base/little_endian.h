// Little-endian integers in byte buffers: the byte order of the stored icon
// list and of icon images, whatever the machine's own.
#pragma once

#include <cstdint>
#include <vector>

namespace tarvik {

inline std::uint16_t ReadLE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
inline std::uint32_t ReadLE32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

inline void WriteLE16(std::uint8_t* p, std::uint16_t value) {
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}
inline void WriteLE32(std::uint8_t* p, std::uint32_t value) {
    WriteLE16(p, static_cast<std::uint16_t>(value));
    WriteLE16(p + 2, static_cast<std::uint16_t>(value >> 16));
}

inline void AppendLE16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.resize(out.size() + 2);
    WriteLE16(out.data() + out.size() - 2, value);
}
inline void AppendLE32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.resize(out.size() + 4);
    WriteLE32(out.data() + out.size() - 4, value);
}

}  // namespace tarvik
