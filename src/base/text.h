// Texts of the program: counted 8-bit strings in the Windows-1251 code page.
// Narrow literals are compiled to Windows-1251, so "Тарвик" in a source file
// is already the program's own bytes.
#pragma once

#include <cstdint>
#include <string>

namespace tarvik {

using Text = std::string;

// Removes every character with a code of 32 or less from both ends.
Text Trim(const Text& text);

// The text before its first line break (CR or LF); all of it when it has none.
Text FirstLine(const Text& text);

// Plain decimal with a leading '-' when negative.
Text IntToText(std::int32_t value);

}  // namespace tarvik
