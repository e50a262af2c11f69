#include "controls/spin_value.h"

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "base/integer_text.h"

namespace tarvik {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// 2^63: the first value past the 64-bit integers, exact in every binary
// floating-point type.
constexpr Extended kTwoTo63 = 9223372036854775808.0L;

// Ties to even is the default rounding of the floating-point environment.
std::int64_t RoundToInt64(Extended value) {
    if (std::isnan(value)) return 0;
    const Extended rounded = std::nearbyint(value);
    if (rounded >= kTwoTo63) return std::numeric_limits<std::int64_t>::max();
    if (rounded < -kTwoTo63) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(rounded);
}

std::int64_t TruncateToInt64(Extended value) {
    if (std::isnan(value)) return 0;
    const Extended truncated = std::trunc(value);
    if (truncated >= kTwoTo63) return std::numeric_limits<std::int64_t>::max();
    if (truncated < -kTwoTo63) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(truncated);
}

std::optional<Extended> ParseFloat(const Text& text, char separator) {
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n && text[i] == ' ') ++i;
    // The number is copied in the C library's own notation for strtold.
    Text number;
    if (i < n && (text[i] == '+' || text[i] == '-')) number += text[i++];
    bool mantissa = false;  // a digit or the separator
    while (i < n && IsDigit(text[i])) number += text[i++], mantissa = true;
    if (i < n && text[i] == separator) {
        ++i;
        number += *std::localeconv()->decimal_point;
        mantissa = true;
        while (i < n && IsDigit(text[i])) number += text[i++];
    }
    if (!mantissa) return std::nullopt;
    if (number.back() == *std::localeconv()->decimal_point &&
        (number.size() == 1 || !IsDigit(number[number.size() - 2])))
        number.insert(number.size() - 1, "0");  // "." and "-." stand for zero
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        number += text[i++];
        if (i < n && (text[i] == '+' || text[i] == '-')) number += text[i++];
        if (i == n || !IsDigit(text[i])) return std::nullopt;
        while (i < n && IsDigit(text[i])) number += text[i++];
    }
    while (i < n && text[i] == ' ') ++i;
    if (i != n) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const Extended value = std::strtold(number.c_str(), &end);
    if (end != number.c_str() + number.size() || std::isinf(value)) return std::nullopt;
    return value;
}

// Fifteen significant digits and an exponent, "1,5E+20", worked out on the
// extended value itself: beyond the double range a double would be
// infinite and print as "INF", which does not read back. An infinite value
// is written as the largest one.
Text GeneralNotation(Extended value, char separator) {
    const bool negative = value < 0;
    Extended magnitude = std::fabs(value);
    if (std::isinf(magnitude)) magnitude = std::numeric_limits<Extended>::max();
    int exponent = static_cast<int>(std::floor(std::log10(magnitude)));
    Extended mantissa = magnitude / std::pow(10.0L, exponent);
    if (mantissa >= 10) mantissa /= 10, ++exponent;
    if (mantissa < 1) mantissa *= 10, --exponent;
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.14f", static_cast<double>(mantissa));
    if (digits[0] == '1' && digits[1] == '0') {  // 9.999... rounded up
        ++exponent;
        std::snprintf(digits, sizeof digits, "%.14f", 1.0);
    }
    Text text = digits;
    text.erase(text.find_last_not_of('0') + 1);
    if (!IsDigit(text.back())) text.pop_back();
    for (char& c : text)
        if (c == '.' || c == ',') c = separator;
    std::snprintf(digits, sizeof digits, "E%c%02d", exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
    return (negative ? "-" : "") + text + digits;
}

}  // namespace

std::optional<Extended> ParseSpinText(const Text& text, TValueType type, char separator) {
    std::int32_t integer = 0;
    switch (type) {
    case vtInteger:
        if (TryParseInt32(text, integer)) return integer;
        return std::nullopt;
    case vtHex:
        if (TryParseInt32("$" + text, integer)) return integer;
        return std::nullopt;
    case vtFloat:
        return ParseFloat(text, separator);
    }
    return std::nullopt;
}

Extended ReadSpinValue(const Text& text, TValueType type, char separator, Extended minValue) {
    if (const auto value = ParseSpinText(text, type, separator)) return *value;
    return type == vtFloat ? minValue : std::trunc(minValue);
}

Extended ClampSpinValue(Extended value, Extended minValue, Extended maxValue) {
    if (minValue == maxValue) return value;
    if (value < minValue) return minValue;
    if (value > maxValue) return maxValue;
    return value;
}

Text FormatSpinValue(Extended value, TValueType type, int decimals, char separator) {
    char buffer[400];
    if (type == vtHex) {
        std::snprintf(buffer, sizeof buffer, "%llX", static_cast<unsigned long long>(RoundToInt64(value)));
        return buffer;
    }
    if (type == vtInteger) {
        std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(RoundToInt64(value)));
        return buffer;
    }
    if (std::isnan(value)) return "0";
    if (std::fabs(value) >= 1e15L) return GeneralNotation(value, separator);
    // Fifteen significant digits are exact in a double, which every C
    // library formats the same way.
    // Cut to 15 significant digits; places past them are written as zeros
    // rather than as the binary noise of the double.
    const double number = static_cast<double>(value);
    std::snprintf(buffer, sizeof buffer, "%.14e", number);
    const double cut = std::strtod(buffer, nullptr);
    const int exponent = std::atoi(std::strchr(buffer, 'e') + 1);
    const int wanted = decimals < 0 ? 0 : decimals > 300 ? 300 : decimals;
    const int exact = std::min(wanted, std::max(0, 14 - exponent));
    std::snprintf(buffer, sizeof buffer, "%.*f", exact, cut);
    Text text = buffer;
    if (wanted > exact) {
        if (exact == 0) text += '.';
        text.append(static_cast<std::size_t>(wanted - exact), '0');
    }
    for (char& c : text)
        if (c == '.' || c == ',') c = separator;
    if (text.size() > 1 && text[0] == '-' && text.find_first_not_of("0.,-") == Text::npos) text.erase(0, 1);  // no "-0"
    return text;
}

std::int32_t SpinIntegerValue(Extended value) {
    const auto bits = static_cast<std::uint32_t>(static_cast<std::uint64_t>(TruncateToInt64(value)));
    return bits > 0x7FFFFFFFu ? -static_cast<std::int32_t>(~bits) - 1 : static_cast<std::int32_t>(bits);
}

Extended IntegerIncrement(Extended increment) {
    const Extended rounded = std::nearbyint(increment);
    return rounded == 0 ? 1 : rounded;
}

bool AcceptsSpinChar(char c, TValueType type, const Text& currentText, char separator, bool editorEnabled) {
    const auto code = static_cast<unsigned char>(c);
    bool accepted = c == '+' || c == '-' || IsDigit(c) || code < 32;
    if (type == vtFloat) {
        if (c == separator && currentText.find(separator) == Text::npos) accepted = true;
        bool hasE = false;
        for (char t : currentText) hasE = hasE || UpperAscii(t) == 'E';
        if ((c == 'E' || c == 'e') && !hasE) accepted = true;
    } else if (type == vtHex) {
        if ((c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')) accepted = true;
    }
    if (accepted && !editorEnabled && (code >= 32 || code == 8)) accepted = false;
    return accepted;
}

bool SameTextIgnoringCase(const Text& a, const Text& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

}  // namespace tarvik
