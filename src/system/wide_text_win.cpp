#include "system/wide_text_win.h"

#include <objbase.h>

#include "base/cp1251.h"

namespace tarvik::fw {

std::wstring Wide(const Text& text) {
    const std::u16string wide = Utf16FromCp1251(text);
    return std::wstring(wide.begin(), wide.end());
}

Text Narrow(const wchar_t* text, std::size_t length) {
    return Cp1251FromUtf16(std::u16string(text, text + length));
}

void TaskMemoryFree::operator()(wchar_t* memory) const { CoTaskMemFree(memory); }

WideText ToWide(const Text& text) {
    const std::wstring wide = Wide(text);
    WideText buffer(static_cast<wchar_t*>(CoTaskMemAlloc((wide.size() + 1) * sizeof(wchar_t))));
    if (!buffer) return buffer;
    wide.copy(buffer.get(), wide.size());
    buffer[wide.size()] = L'\0';
    return buffer;
}

}  // namespace tarvik::fw
