#include "framework/font_win.h"

#include "base/error.h"
#include "framework/dpi_scale.h"
#include "framework/layout.h"
#include "framework/layout_reader.h"
#include "system/system_error_win.h"
#include "system/wide_text_win.h"

namespace tarvik::fw {

void Font::SetName(const Text& name) {
    if (name == name_) return;
    name_ = name;
    Changed();
}

void Font::SetHeight(int height) {
    if (height == height_) return;
    height_ = height;
    Changed();
}

void Font::SetStyle(FontStyles style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void Font::SetColor(COLORREF color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void Font::SetPixelsPerInch(int dpi) {
    if (dpi <= 0 || dpi == pixelsPerInch_) return;
    pixelsPerInch_ = dpi;
    Changed();
}

int Font::PixelHeight() const { return ScaleToDpi(height_, pixelsPerInch_); }

void Font::Assign(const Font& other) {
    if (*this == other) return;
    pixelsPerInch_ = other.pixelsPerInch_;
    name_ = other.name_;
    height_ = other.height_;
    style_ = other.style_;
    color_ = other.color_;
    Changed();
}

bool Font::operator==(const Font& other) const {
    return name_ == other.name_ && height_ == other.height_ && style_ == other.style_ && color_ == other.color_ &&
           pixelsPerInch_ == other.pixelsPerInch_;
}

namespace {
// "MS Sans Serif" is a bitmap font of a few sizes only, drawn for 96 dpi: at
// 144 dpi every height from -16 to -26 gets the same 20-pixel face (Wine's
// fonts measured; Windows' bitmap font has the same sizes). Away from 96 dpi
// the texts take Tahoma instead, a TrueType face of every Windows from 2000
// on, close to it in shape, at the height asked for.
const wchar_t* PlatformFace(const std::wstring& name, int dpi) {
    if (dpi != 96 && lstrcmpiW(name.c_str(), L"MS Sans Serif") == 0) return L"Tahoma";
    return name.c_str();
}
}  // namespace

HFONT Font::Handle() const {
    if (!handle_) {
        LOGFONTW description{};
        description.lfHeight = PixelHeight();
        description.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
        description.lfItalic = (style_ & fsItalic) ? TRUE : FALSE;
        description.lfUnderline = (style_ & fsUnderline) ? TRUE : FALSE;
        description.lfStrikeOut = (style_ & fsStrikeOut) ? TRUE : FALSE;
        // The texts are Windows-1251: the Cyrillic character set, so that a
        // system whose own page is another still gives a face with those
        // letters (the Western bitmap MS Sans Serif has none). On a Russian
        // system it is the face the system's own set would give.
        description.lfCharSet = RUSSIAN_CHARSET;
        description.lfQuality = DEFAULT_QUALITY;
        const std::wstring name = Wide(name_);
        lstrcpynW(description.lfFaceName, PlatformFace(name, pixelsPerInch_), LF_FACESIZE);
        handle_.Reset(CreateFontIndirectW(&description));
        if (!handle_) ThrowSystemError("Unable to create the font " + name_, GetLastError());
    }
    return handle_.Get();
}

void Font::Changed() {
    handle_.Reset();
    if (OnChange) OnChange();
}

bool Font::ReadProperty(const Text& name, const LayoutValue& value, LayoutReader&) {
    if (name == "Name") {
        SetName(LayoutReader::String(value));
    } else if (name == "Height") {
        SetHeight(LayoutReader::Int32(value));
    } else if (name == "Color") {
        SetColor(static_cast<COLORREF>(LayoutReader::Int32(value)));
    } else if (name == "Style") {
        FontStyles style = 0;
        for (const Text& item : LayoutReader::Set(value)) {
            if (item == "fsBold") style |= fsBold;
            else if (item == "fsItalic") style |= fsItalic;
            else if (item == "fsUnderline") style |= fsUnderline;
            else if (item == "fsStrikeOut") style |= fsStrikeOut;
            else throw Error("unknown font style " + item);
        }
        SetStyle(style);
    } else {
        return false;
    }
    return true;
}

}  // namespace tarvik::fw
