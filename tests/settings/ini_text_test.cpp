// The settings file's text where the program reads and writes it itself:
// the same results as the platform's private-profile functions give.
#include <gtest/gtest.h>

#include "settings/ini_text.h"

namespace tarvik {
namespace {

TEST(IniTextValue, FindsTheKeyAsThePlatformDoes) {
    const struct {
        const char* content;
        const char* key;
        Text value;
    } cases[] = {
        {"[setup]\r\nip=1.2.3.4\r\n", "IP", "1.2.3.4"},                 // names without regard to case
        {"[ SETUP ]\nIP =  a b \t\n", "IP", "a b"},                      // blanks around dropped, LF alone
        {"[SETUP]\r\nMESSAGE=\"Нет связи\"\r\n", "MESSAGE", "Нет связи"},  // one pair of quotes
        {"[SETUP]\r\nHOST='x'\r\nCOMPUTER=\"a\r\n", "COMPUTER", "\"a"},  // an unmatched quote stays
        {"[SETUP]\r\n;IP=commented\r\nIP\r\nIP=second\r\n", "IP", "second"},
        {"IP=before any section\r\n[SETUP]\r\n", "IP", ""},
        {"[SETUP]\r\nIP=1\r\n[SETUP]\r\nIP=2\r\n", "IP", "1"},           // the first section
        {"[OTHER]\r\nIP=1\r\n", "IP", ""},
        {"[SETUP]\r\nIP=a=b", "IP", "a=b"},                              // no line break at the end
        {"", "IP", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(IniTextValue(c.content, "SETUP", c.key), c.value) << c.content;
}

TEST(IniTextWithValue, RewritesInPlaceOrAddsAtTheSectionsEnd) {
    const struct {
        const char* before;
        const char* key;
        Text after;
    } cases[] = {
        {"", "IP", "[SETUP]\r\nIP=x\r\n"},
        {"[setup]\r\nSTATUS=1\r\nEXTRA=kept\r\nip = old \r\n", "IP", "[setup]\r\nSTATUS=1\r\nEXTRA=kept\r\nip=x\r\n"},
        {"[SETUP]\nSTATUS=1", "IP", "[SETUP]\r\nSTATUS=1\r\nIP=x\r\n"},
        {"[SETUP]\r\nSTATUS=1\r\n\r\n[Last]\r\nb=2\r\n", "IP", "[SETUP]\r\nSTATUS=1\r\nIP=x\r\n\r\n[Last]\r\nb=2\r\n"},
        {"; top\r\n[Other]\r\na=1\r\n", "IP", "; top\r\n[Other]\r\na=1\r\n[SETUP]\r\nIP=x\r\n"},
        {"[SETUP]\r\nnoequals\r\nIP\r\n", "IP", "[SETUP]\r\nnoequals\r\nIP=x\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(IniTextWithValue(c.before, "SETUP", c.key, "x"), c.after) << c.before;
}

TEST(IniTextWithValue, KeepsEveryByteOfACyrillicValue) {
    Text value = "Нет связи с сервером!";
    for (int byte = 0x80; byte <= 0xFF; ++byte) value += static_cast<char>(byte);
    const Text content = IniTextWithValue("[SETUP]\r\nIP=\r\n", "SETUP", "MESSAGE", value);
    EXPECT_EQ(content, "[SETUP]\r\nIP=\r\nMESSAGE=" + value + "\r\n");
    EXPECT_EQ(IniTextValue(content, "SETUP", "MESSAGE"), value);
}

}  // namespace
}  // namespace tarvik
