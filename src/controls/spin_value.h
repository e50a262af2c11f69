// The numeric spin field's rules between its text and its number: reading,
// writing, bounds, the key filter. Portable: the field on the platform side
// passes in the locale's decimal separator and its own state.
#pragma once

#include <cstdint>
#include <optional>

#include "base/text.h"

namespace tarvik {

// The field's number: the platform's extended floating point.
using Extended = long double;

enum TValueType { vtInteger, vtFloat, vtHex };

// The text as a number of the given notation, or nothing when it does not
// parse. vtInteger: the integer rule of the settings file. vtHex: hexadecimal
// digits only, fitting in 32 bits. vtFloat: blanks, a sign, digits with
// `separator` and an exponent, blanks; too large a number fails.
std::optional<Extended> ParseSpinText(const Text& text, TValueType type, char separator);

// What reading the field gives: the parsed number, or on failure MinValue
// (truncated toward zero for the integer notations).
Extended ReadSpinValue(const Text& text, TValueType type, char separator, Extended minValue);

// The bounds: equal bounds mean none; below MinValue gives MinValue, else
// above MaxValue gives MaxValue.
Extended ClampSpinValue(Extended value, Extended minValue, Extended maxValue);

// The text of an already clamped number. vtFloat: fixed notation with
// `decimals` digits after `separator`, at most 15 significant digits, an
// exponent beyond 15 integer digits. vtHex and vtInteger: rounded to a 64-bit
// integer, ties to even (saturated outside that range); hexadecimal in upper
// case, a negative number as its 16-digit two's complement.
Text FormatSpinValue(Extended value, TValueType type, int decimals, char separator);

// The low 32 bits of the number truncated toward zero (saturated to 64 bits
// first), as a signed integer.
std::int32_t SpinIntegerValue(Extended value);

// The increment after a switch to an integer notation: rounded, ties to
// even; 0 becomes 1.
Extended IntegerIncrement(Extended increment);

// The key filter for one typed character, given the text as it stands.
bool AcceptsSpinChar(char c, TValueType type, const Text& currentText, char separator, bool editorEnabled);

// Equal texts when the letters a to z are compared without regard to case.
bool SameTextIgnoringCase(const Text& a, const Text& b);

}  // namespace tarvik
