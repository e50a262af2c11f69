// The system's colours and sounds as the controls use them.
#pragma once

#include <windows.h>

namespace tarvik::fw {

// The system colours a control paints with, read when used so that a change
// of the desktop's scheme shows at the next drawing.
enum class SystemColor : int {
    clBtnFace = COLOR_BTNFACE,
    clWindowFrame = COLOR_WINDOWFRAME,
    clBtnShadow = COLOR_BTNSHADOW,
    clBtnHighlight = COLOR_BTNHIGHLIGHT,
};
inline COLORREF ColorOf(SystemColor color) { return GetSysColor(static_cast<int>(color)); }

// The platform's default beep.
inline void DefaultBeep() { MessageBeep(MB_OK); }

}  // namespace tarvik::fw
