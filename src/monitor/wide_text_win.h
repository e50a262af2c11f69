// The alert's texts in UTF-16, as the platform's message services take them.
#pragma once

#include <windows.h>

#include <memory>

#include "base/text.h"

namespace tarvik {

struct TaskMemoryFree {
    void operator()(wchar_t* memory) const;
};
using WideText = std::unique_ptr<wchar_t[], TaskMemoryFree>;

// The text and its terminating zero in UTF-16, from the system's ANSI code
// page, in a buffer of the platform's task allocator; null when memory runs
// out.
WideText ToWide(const Text& text);

}  // namespace tarvik
