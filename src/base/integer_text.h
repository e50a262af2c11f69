// The integer rule of the settings file and of the numeric fields: one place,
// so a number that loads from the file reads the same in a field.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace tarvik {

// Leading blanks (code 32 only), one optional sign, then decimal digits in the
// signed 32-bit range, or hexadecimal digits after "$", "x", "X", "0x" or "0X"
// that fit in 32 bits (0x80000000 and up wrap to negative; leading zeros do
// not count); nothing may follow. A "-" negates a hexadecimal value too.
// On failure `value` is left untouched.
bool TryParseInt32(const Text& text, std::int32_t& value);

// Throws tarvik::Error("'<text>' is not a valid integer value") on failure.
std::int32_t ParseInt32(const Text& text);

}  // namespace tarvik
