// A check box of the common controls 6 drawn by the program, for its text:
// the themed check box draws the text itself, in the theme's colour, and
// ignores the one its parent gives. The glyph is still the theme's.
#pragma once

#include <windows.h>

#include <string>

namespace tarvik::fw {

// Where a check box's text begins, from its left edge: the glyph and the
// gap after it, at `dpi`.
int CheckBoxTextOffset(int dpi);

struct CheckBoxLook {
    HFONT font;
    COLORREF textColor;
    HBRUSH background;
    bool checked;
    int dpi;
};

// Draws the whole check box for its custom-draw notice of the stage before
// painting (`itemState`: the CDIS_* flags); false, drawing nothing, where no
// theme is active (the classic look takes the parent's colours).
bool DrawThemedCheckBox(HWND window, HDC dc, const RECT& area, UINT itemState, const std::wstring& caption,
                        const CheckBoxLook& look);

}  // namespace tarvik::fw
