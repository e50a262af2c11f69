#include "base/integer_text.h"

#include "base/error.h"

namespace tarvik {

namespace {

int DigitValue(char c, int base) {
    int digit = 16;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    return digit < base ? digit : -1;
}

bool IsHexMark(char c) { return c == '$' || c == 'x' || c == 'X'; }

}  // namespace

bool TryParseInt32(const Text& text, std::int32_t& value) {
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n && text[i] == ' ') ++i;

    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    int base = 10;
    if (i < n && IsHexMark(text[i])) {
        base = 16;
        i += 1;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == n) return false;  // no digits at all: "", "+", "$", "0x"

    // Decimal may reach 2^31 (for the "-" case); hexadecimal 2^32 - 1. The
    // check after every digit keeps the accumulator far from overflowing
    // however many leading zeros or digits come.
    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull : 0x80000000ull;
    std::uint64_t magnitude = 0;
    for (; i < n; ++i) {
        const int digit = DigitValue(text[i], base);
        if (digit < 0) return false;
        magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (magnitude > limit) return false;
    }
    if (base == 10 && !negative && magnitude == limit) return false;  // 2147483648

    // Two's complement in 32 bits: hexadecimal wraps, and the decimal range
    // check above leaves only values that are exact.
    std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    value = bits > 0x7FFFFFFFu ? -static_cast<std::int32_t>(~bits) - 1 : static_cast<std::int32_t>(bits);
    return true;
}

std::int32_t ParseInt32(const Text& text) {
    std::int32_t value = 0;
    if (!TryParseInt32(text, value)) throw Error(FormatPattern("'%s' is not a valid integer value", text));
    return value;
}

}  // namespace tarvik
