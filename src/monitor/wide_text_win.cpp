#include "monitor/wide_text_win.h"

#include <objbase.h>

#include <cstring>

namespace tarvik {

void TaskMemoryFree::operator()(wchar_t* memory) const { CoTaskMemFree(memory); }

WideText ToWide(const Text& text) {
    const std::size_t count = text.size() + 1;
    WideText wide(static_cast<wchar_t*>(CoTaskMemAlloc(count * sizeof(wchar_t))));
    if (!wide) return wide;
    std::memset(wide.get(), 0, count * sizeof(wchar_t));
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(count), wide.get(), static_cast<int>(count));
    return wide;
}

}  // namespace tarvik
