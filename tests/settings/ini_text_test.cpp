// The settings file's text where the program reads and writes it itself.
// The expected results are what Wine's private-profile functions gave under
// code page 1251 (ini_format_win_test.cpp compares the two on many more).
#include <gtest/gtest.h>

#include "settings/ini_text.h"

namespace tarvik {
namespace {

Text Utf16(const std::u16string& text) {
    Text bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

TEST(IniTextValue, ReadsAsThePlatformDoes) {
    const struct {
        Text content;
        const char* key;
        Text value;
    } cases[] = {
        {"[setup]\r\nip=1.2.3.4\r\n", "IP", "1.2.3.4"},
        {"[ SETUP ]\nIP =  a b \t\n", "IP", "a b"},
        {"[SETUP]\rIP=cr\rHOST=x", "HOST", "x"},                          // CR alone ends a line
        {"[SETUP]\r\nIP=\"q\"\r\nHOST='r'\r\n", "IP", "q"},
        {"[SETUP]\r\nCOMPUTER=\"\r\nSTATUS=\"a'\r\n", "STATUS", "\"a'"},  // no pair, no change
        {"[SETUP]\r\nIP\r\nIP=second\r\n", "IP", ""},                     // the bare line is the key
        {"[SETUP]\r\n;IP=c\r\nIP=a\r\n", "IP", "a"},
        {"[SETUP]\r\nIP=\x1Av\x0B\r\nHOST=\xA0v\x85\r\n", "IP", "v"},
        {"[SETUP]\r\nHOST=\xA0v\x85\r\n", "HOST", "\xA0v\x85"},
        {"[SETUP] junk\r\nIP=j\r\n", "IP", "j"},                          // the name ends at "]"
        {"[SETUP]x]\r\nIP=j\r\n", "IP", ""},                              // ... at the last one
        {"IP=top\r\n[SETUP]\r\nIP=1\r\n[setup]\r\nIP=2\r\nHOST=2\r\n", "HOST", ""},
        {"\xEF\xBB\xBF[SETUP]\r\nIP=\xD0\x9F\xD1\x80\r\n", "IP", "\xCF\xF0"},
        {Utf16(u"[SETUP]\r\nIP=\u041f\u4E2D\r\n"), "IP", "\xCF?"},
        {"", "IP", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(IniTextValue(c.content, "SETUP", c.key), c.value) << c.content;
    EXPECT_EQ(IniTextValue("[SETUP]\r\nIP=\"" + Text(2047, 'a') + "\"", "SETUP", "IP"), Text(2047, 'a'));
}

TEST(IniTextWithValue, WritesAsThePlatformDoes) {
    const struct {
        Text before;
        Text after;
    } cases[] = {
        {"", "[SETUP]\r\nIP=x \r\n"},
        {"[SETUP]\r\nIP\r\nIP=second\r\n", "[SETUP]\r\nIP=x \r\nIP=second\r\n"},
        {"[SETUP]\r\n;IP=c\r\n; x = y \r\nIP = a \r\n\r\n\r\n[B]\r\n\r\nk = v",
         "[SETUP]\r\n;IP=c\r\n; x=y\r\nIP=x \r\n[B]\r\nk=v\r\n"},
        {"top=1\r\n[Other]\r\na=1\r\n", "top=1\r\n[Other]\r\na=1\r\n[SETUP]\r\nIP=x \r\n"},
        {"[SETUP]\r\n=v\r\n =w\r\nIP=1\r\n", "[SETUP]\r\n=v\r\nIP=x \r\n"},
        {"\xEF\xBB\xBF[SETUP]\r\nIP=\xD0\x9F\r\n", "\xEF\xBB\xBF[SETUP]\r\nIP=x \r\n"},
        {Utf16(u"[A]\r\nk=\u4E2D\r\n[SETUP]\r\n"), Utf16(u"[A]\r\nk=\u4E2D\r\n[SETUP]\r\nIP=x \r\n")},
        // A first line "юя" once its blanks go: not written as a mark of UTF-16.
        {"\t\xFE\xFF\r\n", " \xFE\xFF\r\n[SETUP]\r\nIP=x \r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(IniTextWithValue(c.before, "SETUP", "IP", "  x "), c.after) << c.before;
    // A value already held leaves the file as it was, blank lines and all.
    const Text same = "[SETUP]\r\n\r\nIP = x\r\n";
    EXPECT_EQ(IniTextWithValue(same, "Setup", "ip", " x"), same);
}

TEST(IniTextWithValue, KeepsEveryByteOfACyrillicValue) {
    Text value = "Нет связи с сервером!";
    for (int byte = 0x80; byte <= 0xFF; ++byte) value += static_cast<char>(byte);
    const Text content = IniTextWithValue("[SETUP]\r\nIP=\r\n", "SETUP", "MESSAGE", value);
    EXPECT_EQ(content, "[SETUP]\r\nIP=\r\nMESSAGE=" + value + "\r\n");
    EXPECT_EQ(IniTextValue(content, "SETUP", "MESSAGE"), value);
    const Text wide = IniTextWithValue(Utf16(u"[SETUP]\r\n"), "SETUP", "MESSAGE", value);
    EXPECT_EQ(IniTextValue(wide, "SETUP", "MESSAGE"), value);
}

}  // namespace
}  // namespace tarvik
