// Reading the clipboard's text, as a control's paste does.
#pragma once

#include <windows.h>

#include <optional>

#include "base/text.h"

namespace tarvik::fw {

// The clipboard's text in Windows-1251 ("?" for a character the page lacks),
// up to its terminating zero and never past the memory that holds it;
// nothing when the clipboard holds no text or cannot be opened. `owner` is
// the window that opens it.
std::optional<Text> ClipboardText(HWND owner);

}  // namespace tarvik::fw
