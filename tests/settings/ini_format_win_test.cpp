// The program's own reading and writing of the settings file against the
// platform's private-profile functions, on the same files. Under code page
// 1251 those functions keep every byte, so values and files compare directly.
#include <gtest/gtest.h>

#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "base/cp1251.h"
#include "base/integer_text.h"
#include "settings/ini_text.h"

namespace tarvik {
namespace {

class IniFormatTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetACP() != 1251) GTEST_SKIP() << "the platform keeps the bytes under 1251 only";
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        file = Text(temp) + "tarvik-format-" + IntToText(static_cast<std::int32_t>(GetCurrentProcessId())) + ".ini";
    }
    void TearDown() override { DeleteFileA(file.c_str()); }

    void Put(const Text* bytes) {
        DeleteFileA(file.c_str());
        if (!bytes) return;
        const HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(handle, bytes->data(), static_cast<DWORD>(bytes->size()), &written, nullptr);
        CloseHandle(handle);
    }
    Text Bytes() {
        const HANDLE handle = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        Text bytes;
        char chunk[4096];
        DWORD got = 0;
        while (ReadFile(handle, chunk, sizeof chunk, &got, nullptr) && got) bytes.append(chunk, got);
        CloseHandle(handle);
        return bytes;
    }
    Text PlatformValue(const Text& section, const Text& key) {
        std::vector<char> buffer(2048);
        const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(), 2048,
                                                      file.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
        return Text(buffer.data(), length);
    }
    Text PlatformWrite(const Text& section, const Text& key, const Text& value) {
        EXPECT_TRUE(WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()));
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
        return Bytes();
    }

    // Every read and one write of each kind agree on `content` (none: no file).
    void Compare(const Text* content, const Text& label) {
        const Text bytes = content ? *content : Text();
        Put(content);
        for (const char* section : {"SETUP", "Setup", "B", "Сеть"})
            for (const char* key : {"IP", "HOST", "INTERVAL", "MESSAGE", "STATUS", "k", ";IP"}) {
                EXPECT_EQ(IniTextValue(bytes, section, key), PlatformValue(section, key))
                    << label << " [" << section << "] " << key;
            }
        const struct {
            const char *section, *key, *value;
        } writes[] = {{"SETUP", "IP", "  10.0.0.1 "}, {"Setup", "MESSAGE", "Нет связи"}, {"SETUP", "NEW", ""},
                      {"Other", "IP", "\"q\""},      {"SETUP", "HOST", "x"}};
        for (const auto& w : writes) {
            Put(content);
            EXPECT_EQ(IniTextWithValue(bytes, w.section, w.key, w.value), PlatformWrite(w.section, w.key, w.value))
                << label << " write [" << w.section << "] " << w.key;
        }
    }

    Text file;
};

Text Wide(const std::u16string& text, bool bigEndian = false) {
    Text bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

Text Utf8(const Text& cp1251) {
    const std::u16string wide = Utf16FromCp1251(cp1251);
    Text bytes = "\xEF\xBB\xBF";
    for (const char16_t c : wide) {
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c < 0x800) {
            bytes += static_cast<char>(0xC0 | (c >> 6));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes += static_cast<char>(0xE0 | (c >> 12));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return bytes;
}

TEST_F(IniFormatTest, TheCasesOfTheTable) {
    const Text body = "[SETUP]\r\nIP=10.0.0.1\r\nMESSAGE=Нет связи\r\nSTATUS=1\r\n";
    Text big = "[B]\r\n";
    while (big.size() < 70000) big += "k" + IntToText(static_cast<std::int32_t>(big.size())) + "=" + Text(60, 'v') + "\r\n";
    const Text cases[] = {
        "",
        body,
        "[Other]\r\nIP=1\r\n",                                         // no such section
        "[SETUP]\r\nHOST=h\r\n",                                       // no such key
        "[SETUP]\r\nIP=1\r\nIP=2\r\n",                                 // a key twice
        "[SETUP]\r\nIP=1\r\n[B]\r\nk=v\r\n[setup]\r\nIP=2\r\nHOST=3\r\n",  // a section twice
        "[SETUP]\r\nIP  =\t 1 2 \t\r\nHOST= x\r\n",                    // blanks around "="
        "[SETUP]\r\nIP=\"1\"\r\nHOST='h'\r\nMESSAGE=\"\"\r\nSTATUS=\"1'\r\nk=\"\r\n",  // quotes
        "; top\r\n[SETUP]\r\n;IP=c\r\n; k = v \r\nIP=1\r\n",           // comments
        "[SETUP]\r\nIP\r\nIP=2\r\nHOST\r\n",                           // a bare key line
        "[SETUP]\r\nIP=1\r\nHOST=2",                                   // no final line end
        "[SETUP]\nIP=1\nHOST=2\n\n[B]\nk=v\n",                         // LF alone
        big + body,                                                    // over 64 KB
        Utf8(body + "[Сеть]\r\nk=ё\r\n"),                              // UTF-8 mark
        Wide(Utf16FromCp1251(body) + u"[B]\r\nk=\u4E2D\u6587\r\n"),     // UTF-16 mark
        Wide(Utf16FromCp1251(body), true),
    };
    Compare(nullptr, "no file");
    for (const Text& c : cases) Compare(&c, c.substr(0, 60));
}

// Where Wine and Microsoft's documentation part, the program keeps to the
// documentation: quotes around a value are dropped, then a value too long for
// the 2048-character buffer is cut to 2047. Wine drops a character more from
// a quoted value of exactly 2047.
TEST_F(IniFormatTest, DocumentedBehaviourWhereWineDiffers) {
    const Text value(2047, 'a');
    EXPECT_EQ(IniTextValue("[SETUP]\r\nIP=\"" + value + "\"\r\n", "SETUP", "IP"), value);
}

// Files made of the pieces that the cases above are made of, in any order.
TEST_F(IniFormatTest, GeneratedFiles) {
    std::mt19937 random(20240611);
    const char* const pieces[] = {
        "[SETUP]", "[ setup ]", "[Setup] x", "[SETUP]x]", "[B]", "[]", "[Сеть]", "[SETUP", "IP=1", "ip = 2 ",
        "IP", "HOST=\"h\"", "HOST='h", "MESSAGE=Нет связи с сервером!", "STATUS=1", " =e", "=f", ";IP=c", "; k = v",
        "k", "k=\x1Av\x1A", "\tINTERVAL=\t5", "MESSAGE=\xA0\x85\x98\xFF", "", " ", "INTERVAL=\"\"", "IP=a=b"};
    const char* const ends[] = {"\r\n", "\n", "\r", "\r\n\r\n", "\n\r"};
    for (int n = 0; n < 150; ++n) {
        Text text;
        const int lines = static_cast<int>(random() % 12);
        for (int i = 0; i < lines; ++i)
            text += Text(pieces[random() % std::size(pieces)]) + (i + 1 < lines || random() % 2 ? ends[random() % 5] : "");
        Text bytes = text;
        switch (random() % 6) {
        case 0: bytes = Utf8(text); break;
        case 1: bytes = Wide(Utf16FromCp1251(text)); break;
        case 2: bytes = Wide(Utf16FromCp1251(text), true); break;
        default: break;
        }
        Compare(&bytes, "generated " + IntToText(n) + ": " + text);
        if (HasFailure()) break;
    }
}

}  // namespace
}  // namespace tarvik
