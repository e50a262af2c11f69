#include <fstream>
#include <iterator>

#include "embedded_layout.h"

namespace tarvik::fw {

Text EmbeddedSampleLayout() {
    std::ifstream file(TARVIK_SAMPLE_LAYOUT, std::ios::binary);
    return Text(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace tarvik::fw
