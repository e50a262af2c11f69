// The program's texts in UTF-16, as Windows' wide calls take and give them,
// and back: the one conversion between them, whatever code page the system
// itself uses.
#pragma once

#include <string>
#include <string_view>

#include "base/text.h"

namespace tarvik {

// Each Windows-1251 byte as its UTF-16 character. Every byte has one of its
// own (0x98, which the page leaves unused, is U+0098), so any text comes
// back whole from Cp1251FromUtf16.
std::u16string Utf16FromCp1251(std::string_view text);

// Each UTF-16 character as its Windows-1251 byte; a character the page
// lacks (a surrogate pair counts as one) becomes "?".
Text Cp1251FromUtf16(std::u16string_view text);

}  // namespace tarvik
