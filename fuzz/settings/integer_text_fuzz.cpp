// Checks the integer rule against a second, deliberately different reading of
// it: the digits are matched as a whole, their leading zeros dropped, and the
// rest compared as strings against the range ends before converting.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/integer_text.h"

namespace {

struct Expected {
    bool ok;
    std::int64_t value;
};

bool AllDigits(const std::string& s, bool hex) {
    for (unsigned char c : s)
        if (!(hex ? std::isxdigit(c) : std::isdigit(c))) return false;
    return !s.empty();
}

// Compares two digit strings without leading zeros as numbers.
bool NotAbove(const std::string& digits, const std::string& limit) {
    if (digits.size() != limit.size()) return digits.size() < limit.size();
    return digits <= limit;
}

Expected Reference(const std::string& text) {
    std::string rest = text;
    const std::size_t start = rest.find_first_not_of(' ');
    rest = start == std::string::npos ? std::string() : rest.substr(start);
    bool negative = false;
    if (!rest.empty() && (rest[0] == '-' || rest[0] == '+')) {
        negative = rest[0] == '-';
        rest.erase(0, 1);
    }
    bool hex = false;
    if (rest.rfind("0x", 0) == 0 || rest.rfind("0X", 0) == 0) {
        hex = true;
        rest.erase(0, 2);
    } else if (!rest.empty() && (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X')) {
        hex = true;
        rest.erase(0, 1);
    }
    if (!AllDigits(rest, hex)) return {false, 0};
    const std::size_t nonzero = rest.find_first_not_of('0');
    const std::string digits = nonzero == std::string::npos ? std::string("0") : rest.substr(nonzero);

    if (hex) {
        std::string lower;
        for (unsigned char c : digits) lower += static_cast<char>(std::tolower(c));
        if (!NotAbove(lower, "ffffffff")) return {false, 0};
        std::int64_t v = static_cast<std::int64_t>(std::strtoull(digits.c_str(), nullptr, 16));
        if (v >= 0x80000000LL) v -= 0x100000000LL;
        if (negative) v = -v;
        if (v == 0x80000000LL) v = -v;  // -(-2^31) wraps to itself
        return {true, v};
    }
    if (!NotAbove(digits, negative ? "2147483648" : "2147483647")) return {false, 0};
    const std::int64_t v = static_cast<std::int64_t>(std::strtoull(digits.c_str(), nullptr, 10));
    return {true, negative ? -v : v};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Expected expected = Reference(text);
    std::int32_t value = 12345;
    const bool ok = tarvik::TryParseInt32(text, value);
    if (ok != expected.ok || (ok && value != expected.value)) {
        std::fprintf(stderr, "mismatch on '%s': got %d (%d), expected %lld (%d)\n", text.c_str(), ok ? value : 0,
                     ok, static_cast<long long>(expected.value), expected.ok);
        std::abort();
    }
    if (!ok && value != 12345) std::abort();  // a failure leaves the value alone
    return 0;
}
