// The program's pictures, read from resources/ for the tests.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tarvik::testing {

inline std::vector<std::uint8_t> ReadResource(const std::string& name) {
    std::ifstream file(std::string(TARVIK_RESOURCES_DIR) + "/" + name, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline std::vector<std::uint8_t> StillIconImage() { return ReadResource("tarvik.ico"); }
inline std::vector<std::uint8_t> AlarmIconImage() { return ReadResource("tarvik_alarm.ico"); }
inline std::vector<std::uint8_t> StoredFrames() { return ReadResource("tray_frames.bin"); }

}  // namespace tarvik::testing
