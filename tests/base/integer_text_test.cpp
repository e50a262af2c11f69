#include <gtest/gtest.h>

#include <climits>

#include "base/error.h"
#include "base/integer_text.h"

namespace tarvik {
namespace {

TEST(TryParseInt32, AcceptsTheNumberForms) {
    const struct {
        Text text;
        std::int32_t value;
    } cases[] = {
        {"0", 0},
        {"30", 30},
        {"   7", 7},
        {"+7", 7},
        {"-3", -3},
        {"007", 7},
        {"-0", 0},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"000000000002147483647", INT32_MAX},
        {"$1E", 30},
        {"x1E", 30},
        {"X1e", 30},
        {"0x1E", 30},
        {"0X1e", 30},
        {"$0", 0},
        {"$7FFFFFFF", INT32_MAX},
        {"$80000000", INT32_MIN},
        {"$FFFFFFFF", -1},
        {"0xffffffff", -1},
        {"-0x80000000", INT32_MIN},
        {"-$FFFFFFFF", 1},
        {"-x10", -16},
        {" +$10", 16},
        {"0x000000000000FFFFFFFF", -1},
    };
    for (const auto& c : cases) {
        std::int32_t value = 99;
        EXPECT_TRUE(TryParseInt32(c.text, value)) << "'" << c.text << "'";
        EXPECT_EQ(value, c.value) << "'" << c.text << "'";
    }
}

TEST(TryParseInt32, RejectsAnythingElseAndLeavesTheValue) {
    const Text cases[] = {
        "", " ", "+", "-", "--1", "+-1", "- 1", "$", "x", "0x", "0X", "-0x", "$-1", "0x-1",
        "7.5", "7 ", "7\t", "\t7", "1-2", "1e3", "abc", "12a", "$G", "0b1", "00x1",
        "2147483648", "-2147483649", "99999999999999999999",
        "$100000000", "0x1FFFFFFFF", "x000100000000",
        Text("7\0", 2), "\xB7",
    };
    for (const auto& text : cases) {
        std::int32_t value = 99;
        EXPECT_FALSE(TryParseInt32(text, value)) << "'" << text << "'";
        EXPECT_EQ(value, 99) << "'" << text << "'";
    }
}

TEST(ParseInt32, FailureCarriesTheTextInTheMessage) {
    EXPECT_EQ(ParseInt32(" -$10"), -16);
    const Text cases[] = {"", "7.5", "%s"};
    for (const auto& text : cases) {
        try {
            ParseInt32(text);
            ADD_FAILURE() << "no error for '" << text << "'";
        } catch (const Error& e) {
            EXPECT_EQ(Text(e.what()), "'" + text + "' is not a valid integer value");
        }
    }
}

}  // namespace
}  // namespace tarvik
