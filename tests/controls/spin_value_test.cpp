#include "controls/spin_value.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

constexpr char kComma = ',';  // the Russian decimal separator

TEST(SpinValue, IntegerValueOfTheProgramsFields) {
    const struct { Text text; std::int32_t value; } cases[] = {
        {"", 0}, {"abc", 0}, {"-3", -3}, {"2.7", 0}, {" 12", 12}, {"12 ", 0}, {"+7", 7}, {"007", 7},
        {"$10", 16}, {"0x10", 16}, {"x10", 16}, {"1-2", 0}, {"2147483648", 0}, {"2147483647", 2147483647},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SpinIntegerValue(ReadSpinValue(c.text, vtInteger, kComma, 0)), c.value) << "'" << c.text << "'";
}

TEST(SpinValue, ReadingEachNotation) {
    const struct { Text text; TValueType type; bool parses; Extended value; } cases[] = {
        {"FFFFFFFF", vtHex, true, -1},       {"1f", vtHex, true, 31},
        {"FFFFFFFFFFFFFFFF", vtHex, false, 0}, {"", vtHex, false, 0},
        {" 1F", vtHex, false, 0},            {"-1", vtHex, false, 0},
        {" -2,5e1 ", vtFloat, true, -25},    {",5", vtFloat, true, 0.5L},
        {"5,", vtFloat, true, 5},            {",", vtFloat, true, 0},
        {"1e", vtFloat, false, 0},           {"e5", vtFloat, false, 0},
        {"2.5", vtFloat, false, 0},          {"1,2,3", vtFloat, false, 0},
        {"1e99999", vtFloat, false, 0},      {"\t1", vtFloat, false, 0},
        {"1,5E+4000", vtFloat, true, 1.5e4000L},
    };
    for (const auto& c : cases) {
        const auto value = ParseSpinText(c.text, c.type, kComma);
        ASSERT_EQ(value.has_value(), c.parses) << "'" << c.text << "'";
        if (c.parses) {
            EXPECT_EQ(*value, c.value) << "'" << c.text << "'";
        }
    }
    // The failure value: MinValue, truncated for the integer notations.
    EXPECT_EQ(ReadSpinValue("abc", vtFloat, kComma, 1.75L), 1.75L);
    EXPECT_EQ(ReadSpinValue("xyz", vtHex, kComma, -1.75L), -1);
}

TEST(SpinValue, WritingEachNotation) {
    const struct { Extended value; TValueType type; int decimals; Text text; } cases[] = {
        {2.5L, vtInteger, 0, "2"},   {3.5L, vtInteger, 0, "4"},  {-2.5L, vtInteger, 0, "-2"},
        {2147483648.0L, vtInteger, 0, "2147483648"},            {-1, vtHex, 0, "FFFFFFFFFFFFFFFF"},
        {255, vtHex, 0, "FF"},       {0, vtHex, 0, "0"},         {1.005L, vtFloat, 2, "1,00"},
        {-0.4L, vtFloat, 0, "0"},    {5, vtFloat, 2, "5,00"},    {-1234.5L, vtFloat, 1, "-1234,5"},
        {0.1L, vtFloat, 20, "0,10000000000000000000"},           {1e20L, vtFloat, 2, "1E+20"},
        {1e30L, vtInteger, 0, "9223372036854775807"},          {-1.5e15L, vtFloat, 2, "-1,5E+15"},
        {1e400L, vtFloat, 2, "1E+400"},                           {9.9999999999999999e999L, vtFloat, 0, "1E+1000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatSpinValue(c.value, c.type, c.decimals, kComma), c.text) << static_cast<double>(c.value);
}

TEST(SpinValue, ClampWithBoundsEqualBoundsAndCrossedBounds) {
    const struct { Extended value, min, max, result; } cases[] = {
        {0, 1, 10, 1}, {11, 1, 10, 10}, {5, 1, 10, 5}, {-7, 5, 5, -7}, {100, 0, 0, 100},
        {3, 10, 1, 10}, {20, 10, 1, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(ClampSpinValue(c.value, c.min, c.max), c.result);
}

TEST(SpinValue, SteppingPastTheLargestIntegerAndIncrements) {
    // 2147483647 + 1 writes a text that no longer reads, so the next step starts from 0.
    const Text up = FormatSpinValue(ReadSpinValue("2147483647", vtInteger, kComma, 0) + 1, vtInteger, 0, kComma);
    EXPECT_EQ(up, "2147483648");
    EXPECT_EQ(FormatSpinValue(ReadSpinValue(up, vtInteger, kComma, 0) + 1, vtInteger, 0, kComma), "1");
    EXPECT_EQ(SpinIntegerValue(4294967297.9L), 1);
    EXPECT_EQ(SpinIntegerValue(-2.9L), -2);
    EXPECT_EQ(IntegerIncrement(0.4L), 1);
    EXPECT_EQ(IntegerIncrement(2.5L), 2);
    EXPECT_EQ(IntegerIncrement(-1.5L), -2);
}

TEST(SpinValue, KeyFilter) {
    const struct { char c; TValueType type; Text text; bool editorEnabled; bool accepted; } cases[] = {
        {'5', vtInteger, "", true, true},   {'-', vtInteger, "5", true, true}, {'a', vtInteger, "", true, false},
        {'a', vtHex, "", true, true},       {'G', vtHex, "", true, false},     {',', vtFloat, "1", true, true},
        {',', vtFloat, "1,5", true, false}, {'e', vtFloat, "1", true, true},   {'E', vtFloat, "1e5", true, false},
        {'.', vtFloat, "", true, false},    {'\x08', vtInteger, "", true, true}, {'\x01', vtInteger, "", false, true},
        {'5', vtInteger, "", false, false}, {'\x08', vtInteger, "", false, false}, {'\xE0', vtInteger, "", true, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AcceptsSpinChar(c.c, c.type, c.text, kComma, c.editorEnabled), c.accepted)
            << int(static_cast<unsigned char>(c.c)) << " in '" << c.text << "'";
}

TEST(SpinValue, CaseOfLettersOnly) {
    EXPECT_TRUE(SameTextIgnoringCase("a", "A"));
    EXPECT_TRUE(SameTextIgnoringCase("1f", "1F"));
    EXPECT_FALSE(SameTextIgnoringCase("\xE0", "\xC0"));  // Cyrillic letters compare as they are
    EXPECT_FALSE(SameTextIgnoringCase("1", "10"));
}

}  // namespace
}  // namespace tarvik
