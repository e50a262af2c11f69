#include <gtest/gtest.h>

#include <set>

#include "base/cp1251.h"

namespace tarvik {
namespace {

TEST(Cp1251, EveryByteHasACharacterOfItsOwnAndComesBack) {
    Text all;
    for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
    const std::u16string wide = Utf16FromCp1251(all);
    ASSERT_EQ(wide.size(), 256u);
    EXPECT_EQ(std::set<char16_t>(wide.begin(), wide.end()).size(), 256u);
    EXPECT_EQ(Cp1251FromUtf16(wide), all);
}

TEST(Cp1251, TheProgramsLettersAreTheirUnicodeOnes) {
    const struct {
        Text narrow;
        std::u16string wide;
    } cases[] = {
        {"Тарвик", u"Тарвик"},
        {"Ёё Її Ўў Ђђ Ґґ", u"Ёё Її Ўў Ђђ Ґґ"},
        {"№ « » – — € ™", u"№ « » – — € ™"},
        {"Нет связи.\r\n", u"Нет связи.\r\n"},
        {Text("\0a", 2), std::u16string(u"\0a", 2)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf16FromCp1251(c.narrow), c.wide) << c.narrow;
        EXPECT_EQ(Cp1251FromUtf16(c.wide), c.narrow) << c.narrow;
    }
}

TEST(Cp1251, ACharacterThePageLacksIsOneQuestionMark) {
    const struct {
        std::u16string wide;
        Text narrow;
    } cases[] = {
        {u"中文", "??"},
        {u"é ß", "? ?"},
        {u"a\U0001F600b", "a?b"},             // a pair of surrogates is one character
        {std::u16string(u"\xD800x"), "?x"},   // a lone high surrogate
        {std::u16string(u"\xDC00"), "?"},     // a lone low one
        {std::u16string(u"x\xD800"), "x?"},   // a high one at the end
        {u"\u0081", "?"},                     // 0x81 is Ѓ here, not this control
    };
    for (const auto& c : cases) EXPECT_EQ(Cp1251FromUtf16(c.wide), c.narrow) << c.narrow;
}

}  // namespace
}  // namespace tarvik
