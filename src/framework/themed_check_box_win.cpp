#include "framework/themed_check_box_win.h"

#include <commctrl.h>

#include "framework/dpi_scale.h"
#include "framework/gdi_win.h"
#include "system/system_library_win.h"

namespace tarvik::fw {

namespace {
// uxtheme.dll's, which the headers for XP lack.
using Theme = HANDLE;
constexpr int kCheckBoxPart = 3;        // BP_CHECKBOX
constexpr int kUncheckedNormal = 1;     // CBS_UNCHECKEDNORMAL; hot 2, pressed 3, disabled 4
constexpr int kCheckedOffset = 4;       // CBS_CHECKEDNORMAL = 5 ...
constexpr int kDrawSize = 2;            // TS_DRAW
constexpr int kDesignGlyph = 13;        // the glyph's side at 96 dpi
constexpr int kDesignGap = 3;           // between the glyph and the text

struct UxTheme {
    Theme(WINAPI* open)(HWND, LPCWSTR) = nullptr;
    HRESULT(WINAPI* close)(Theme) = nullptr;
    HRESULT(WINAPI* drawBackground)(Theme, HDC, int, int, const RECT*, const RECT*) = nullptr;
    HRESULT(WINAPI* partSize)(Theme, HDC, int, int, const RECT*, int, SIZE*) = nullptr;
};

const UxTheme& Functions() {
    static const UxTheme functions = [] {
        UxTheme loaded;
        // Windows' own, from the system folder; never released.
        if (const HMODULE library = LoadSystemLibrary("uxtheme.dll").Release()) {
            loaded.open = FindEntry<decltype(loaded.open)>(library, "OpenThemeData");
            loaded.close = FindEntry<decltype(loaded.close)>(library, "CloseThemeData");
            loaded.drawBackground = FindEntry<decltype(loaded.drawBackground)>(library, "DrawThemeBackground");
            loaded.partSize = FindEntry<decltype(loaded.partSize)>(library, "GetThemePartSize");
        }
        return loaded;
    }();
    return functions;
}

int GlyphState(UINT itemState, bool checked) {
    int state = kUncheckedNormal;
    if (itemState & CDIS_DISABLED) state += 3;
    else if (itemState & CDIS_SELECTED) state += 2;
    else if (itemState & CDIS_HOT) state += 1;
    return checked ? state + kCheckedOffset : state;
}
}  // namespace

int CheckBoxTextOffset(int dpi) { return ScaleToDpi(kDesignGlyph + kDesignGap, dpi); }

bool DrawThemedCheckBox(HWND window, HDC dc, const RECT& area, UINT itemState, const std::wstring& caption,
                        const CheckBoxLook& look) {
    const UxTheme& ux = Functions();
    if (!ux.open || !ux.close || !ux.drawBackground) return false;
    const Theme theme = ux.open(window, L"Button");
    if (!theme) return false;
    const int state = GlyphState(itemState, look.checked);
    FillRect(dc, &area, look.background);

    SIZE glyph{ScaleToDpi(kDesignGlyph, look.dpi), ScaleToDpi(kDesignGlyph, look.dpi)};
    if (ux.partSize) {
        SIZE themed{};
        if (SUCCEEDED(ux.partSize(theme, dc, kCheckBoxPart, state, nullptr, kDrawSize, &themed)) && themed.cx > 0)
            glyph = themed;
    }
    const int top = area.top + (area.bottom - area.top - glyph.cy) / 2;
    const RECT box{area.left, top, area.left + glyph.cx, top + glyph.cy};
    ux.drawBackground(theme, dc, kCheckBoxPart, state, &box, nullptr);
    ux.close(theme);

    RECT text{area.left + CheckBoxTextOffset(look.dpi), area.top, area.right, area.bottom};
    if (text.left < box.right + 1) text.left = box.right + 1;
    const SelectedObject font(dc, look.font);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor =
        SetTextColor(dc, (itemState & CDIS_DISABLED) ? GetSysColor(COLOR_GRAYTEXT) : look.textColor);
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    DrawTextW(dc, caption.c_str(), -1, &text, format);
    if ((itemState & CDIS_FOCUS) && !(SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
        RECT measured = text;
        DrawTextW(dc, caption.c_str(), -1, &measured, format | DT_CALCRECT);
        const int height = measured.bottom - measured.top;
        RECT focus{text.left - 1, area.top + (area.bottom - area.top - height) / 2 - 1, 0, 0};
        focus.right = (measured.right < area.right ? measured.right : area.right) + 1;
        focus.bottom = focus.top + height + 2;
        DrawFocusRect(dc, &focus);
    }
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    return true;
}

}  // namespace tarvik::fw
