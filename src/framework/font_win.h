// A control's font: name, height in pixels at 96 dpi (negative: the
// character height), style and colour, and the dpi of the display it is
// made for, by which the platform font's height is scaled; the platform
// font is made on demand.
#pragma once

#include <windows.h>

#include <functional>

#include "base/text.h"
#include "framework/component.h"
#include "system/handles_win.h"

namespace tarvik::fw {

enum FontStyle : unsigned { fsBold = 1u << 0, fsItalic = 1u << 1, fsUnderline = 1u << 2, fsStrikeOut = 1u << 3 };
using FontStyles = unsigned;

class Font : public Persistent {
public:
    const Text& Name() const { return name_; }
    void SetName(const Text& name);
    int Height() const { return height_; }
    void SetHeight(int height);
    FontStyles Style() const { return style_; }
    void SetStyle(FontStyles style);
    COLORREF Color() const { return color_; }
    void SetColor(COLORREF color);
    // The display's dots per inch (96 by default); the platform font is
    // Height() × PixelsPerInch() / 96 high.
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int dpi);
    // The height the platform font is made with.
    int PixelHeight() const;

    // Takes every attribute of `other`; one change notice when any differed.
    void Assign(const Font& other);
    bool operator==(const Font& other) const;

    HFONT Handle() const;

    // Runs after each change.
    std::function<void()> OnChange;

    bool ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) override;
    Text ClassName() const override { return "TFont"; }

private:
    void Changed();

    Text name_ = "MS Sans Serif";
    int height_ = -11;
    FontStyles style_ = 0;
    COLORREF color_ = RGB(0, 0, 0);
    int pixelsPerInch_ = 96;
    mutable FontHandle handle_;
};

}  // namespace tarvik::fw
