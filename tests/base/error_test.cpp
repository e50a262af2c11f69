#include <gtest/gtest.h>

#include "base/error.h"

namespace tarvik {
namespace {

TEST(ErrorBoxText, AppendsDotOnlyAfterCharactersAboveDot) {
    const struct { Text in, out; } cases[] = {
        {"'' is not a valid integer value", "'' is not a valid integer value."},
        {"", ""},
        {"done.", "done."},
        {"what?", "what?."},       // '?' comes after '.', so it gets one
        {"a-", "a-"},             // '-' comes before '.'
        {"Ошибка", "Ошибка."},    // Cyrillic bytes are above '.'
        {"x)", "x)"},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorBoxText(c.in), c.out) << c.in;
}

TEST(FormatPattern, ReplacesFirstPlaceholder) {
    EXPECT_EQ(FormatPattern("'%s' is not a valid integer value", "7.5"), "'7.5' is not a valid integer value");
    EXPECT_EQ(FormatPattern("Unable to write to %s", "C:\\x %s"), "Unable to write to C:\\x %s");
}

}  // namespace
}  // namespace tarvik
