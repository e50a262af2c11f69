// Where the program's texts meet Windows: every text goes to the wide (W)
// calls as UTF-16 and comes back from them, converted from and to
// Windows-1251 here, never through the code page the system happens to use,
// so that Russian reads as Russian on every Windows.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>

#include "base/text.h"

namespace tarvik::fw {

std::wstring Wide(const Text& text);

// A character Windows-1251 lacks becomes "?".
Text Narrow(const wchar_t* text, std::size_t length);
inline Text Narrow(const std::wstring& text) { return Narrow(text.data(), text.size()); }

struct TaskMemoryFree {
    void operator()(wchar_t* memory) const;
};
using WideText = std::unique_ptr<wchar_t[], TaskMemoryFree>;

// The text and its terminating zero in UTF-16, in a buffer of the platform's
// task allocator, as the alert's services take it; null when memory runs out.
WideText ToWide(const Text& text);

}  // namespace tarvik::fw
