// Layouts are read from the program's resources; whatever bytes they hold,
// parsing ends in a tree or a tarvik::Error. A parsed tree, printed, must read
// back to the same tree, floating-point values to the same long double.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/error.h"
#include "framework/layout.h"

namespace {

// The text comparison alone would not see a float printed with too few
// digits, as long as the shortened text printed the same again.
bool SameFloats(const tarvik::fw::LayoutObject& a, const tarvik::fw::LayoutObject& b) {
    if (a.properties.size() != b.properties.size() || a.children.size() != b.children.size()) return false;
    for (std::size_t i = 0; i < a.properties.size(); ++i) {
        const auto& x = a.properties[i].value;
        const auto& y = b.properties[i].value;
        if (x.kind != y.kind || x.real != y.real) return false;
    }
    for (std::size_t i = 0; i < a.children.size(); ++i)
        if (!SameFloats(a.children[i], b.children[i])) return false;
    return true;
}

void Check(std::string_view text) {
    using namespace tarvik;
    fw::LayoutObject tree;
    try {
        tree = fw::ParseLayout(text);
    } catch (const Error&) {
        return;
    }
    const Text printed = fw::PrintLayout(tree);
    const fw::LayoutObject again = fw::ParseLayout(printed);
    if (fw::PrintLayout(again) != printed || !SameFloats(tree, again)) __builtin_trap();
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
