#include <gtest/gtest.h>

#include <climits>

#include "base/text.h"

namespace tarvik {
namespace {

TEST(Trim, RemovesEverythingUpToBlankAtBothEndsOnly) {
    const struct { Text in, out; } cases[] = {
        {"", ""},
        {"   ", ""},
        {"\t\r\n 127.0.0.1 \x01", "127.0.0.1"},
        {" a b ", "a b"},
        {"\xC0\xE1", "\xC0\xE1"},  // Cyrillic bytes are above 32 and stay
        {Text("\0x\0", 3), "x"},
    };
    for (const auto& c : cases) EXPECT_EQ(Trim(c.in), c.out) << c.in;
}

TEST(IntToText, PlainDecimal) {
    EXPECT_EQ(IntToText(0), "0");
    EXPECT_EQ(IntToText(-5), "-5");
    EXPECT_EQ(IntToText(INT32_MIN), "-2147483648");
}

TEST(Literals, AreWindows1251) {
    // "Тарвик" in Windows-1251.
    EXPECT_EQ(Text("Тарвик"), "\xD2\xE0\xF0\xE2\xE8\xEA");
    EXPECT_EQ(Text("з")[0], '\xE7');
}

}  // namespace
}  // namespace tarvik
