// Checks the spin field's text rules against a second reading of them: the
// float grammar as a regular expression, and each integer the field writes
// reading back as itself.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>

#include "controls/spin_value.h"

namespace {

// Blanks, a sign, digits with the separator (at least one digit or the
// separator), an exponent with digits, blanks.
bool FloatGrammar(const std::string& text) {
    static const std::regex grammar("^ *[+-]?([0-9]+(,[0-9]*)?|,[0-9]*)([eE][+-]?[0-9]+)? *$");
    return std::regex_match(text, grammar);
}

void Check(bool condition, const char* what, const std::string& text) {
    if (condition) return;
    std::fprintf(stderr, "%s: '%s'\n", what, text.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 64) return 0;  // the field's texts are short; keep the regex fast
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (text.find('\0') != std::string::npos) return 0;

    const auto value = tarvik::ParseSpinText(text, tarvik::vtFloat, ',');
    if (value) Check(FloatGrammar(text), "parsed outside the grammar", text);
    // Inside the grammar only a number too large for the type fails.
    if (!value && FloatGrammar(text)) {
        std::string c = text;
        for (char& ch : c)
            if (ch == ',') ch = '.';
        Check(std::isinf(std::strtold(c.c_str(), nullptr)), "grammar text refused", text);
    }

    // Whatever reads as an integer writes back to a text reading the same.
    for (tarvik::TValueType type : {tarvik::vtInteger, tarvik::vtHex}) {
        if (const auto number = tarvik::ParseSpinText(text, type, ',')) {
            const std::string written = tarvik::FormatSpinValue(*number, type, 0, ',');
            const auto again = tarvik::ParseSpinText(written, type, ',');
            // A negative hexadecimal number writes 16 digits, which do not fit in 32 bits.
            if (type == tarvik::vtHex && *number < 0) Check(!again, "negative hex read back", text);
            else Check(again && *again == *number, "integer did not read back", text);
        }
    }
    return 0;
}
