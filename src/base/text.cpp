#include "base/text.h"

namespace tarvik {

namespace {
bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }
}  // namespace

Text Trim(const Text& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlankOrControl(text[first])) ++first;
    while (last > first && IsBlankOrControl(text[last - 1])) --last;
    return text.substr(first, last - first);
}

Text FirstLine(const Text& text) { return text.substr(0, text.find_first_of("\r\n")); }

Text IntToText(std::int32_t value) { return std::to_string(value); }

}  // namespace tarvik
