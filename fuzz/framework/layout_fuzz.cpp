// Layouts are read from the program's resources; whatever bytes they hold,
// parsing ends in a tree or a tarvik::Error. A parsed tree, printed, must read
// back to the same tree.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/error.h"
#include "framework/layout.h"

namespace {

void Check(std::string_view text) {
    using namespace tarvik;
    fw::LayoutObject tree;
    try {
        tree = fw::ParseLayout(text);
    } catch (const Error&) {
        return;
    }
    const Text printed = fw::PrintLayout(tree);
    if (fw::PrintLayout(fw::ParseLayout(printed)) != printed) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Check(bytes);
    // The same bytes as the members of a root component: reaches values and
    // nesting without having to find a valid header first.
    Check("F : T {\n" + std::string(bytes) + "\n}");
    return 0;
}
