#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "base/error.h"
#include "stored_values.h"
#include "support/holder_win.h"
#include "system/wide_text_win.h"
#include "settings/inilib.h"
#include "stored_values.h"
#include "system/wide_text_win.h"

namespace tarvik {
namespace {

// A fresh directory per test under the temporary directory: the profile
// functions would put a bare file name into the Windows directory. Its name
// is Cyrillic, as a user's folder may be on a Windows of any language.
class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        const DWORD length = GetTempPathW(MAX_PATH, temp);
        ASSERT_NE(length, 0u);
        static int counter = 0;
        dir = fw::Narrow(temp, length) + "tarvik-settings-" +
              IntToText(static_cast<std::int32_t>(GetCurrentProcessId())) + "-" + IntToText(++counter) + "-Сергей\\";
        ASSERT_TRUE(CreateDirectoryW(fw::Wide(dir).c_str(), nullptr)) << dir;
        file = fw::Wide(dir + "Tarvik.ini");
    }
    void TearDown() override {
        DeleteFileW(file.c_str());
        RemoveDirectoryW(fw::Wide(dir).c_str());
    }

    void WriteBytes(const Text& bytes) {
        std::ofstream out(file.c_str(), std::ios::binary);
        out << bytes;
    }
    Text ReadBytes() {
        std::ifstream in(file.c_str(), std::ios::binary);
        return Text(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Loads the file, returning what arrived and the error text, if any.
    StoredValues Load(Text* error = nullptr) {
        StoredValues loaded;
        loaded.settings.IntervalSeconds = loaded.settings.AlertThreshold = -999;
        loaded.settings.AlertComputer = "untouched";
        IniFileStore store(file);
        try {
            LoadSettings(store, loaded.settings, loaded.status, nullptr);
        } catch (const Error& e) {
            if (error) *error = e.what();
            else ADD_FAILURE() << e.what();
        }
        return loaded;
    }

    Text dir;  // Windows-1251
    std::wstring file;
};

const char kFileBody[] =
    "IP=10.1.2.3\r\nHOST=example.test/page\r\nINTERVAL=30\r\nACTIONS=3\r\n"
    "COMPUTER=PC-1\r\nMESSAGE=Произошла ошибка.\r\nSTATUS=1\r\n";

TEST_F(IniFileTest, FirstStartDeliversEmptyAddressesThenFailsAtTheInterval) {
    Text error;
    const StoredValues loaded = Load(&error);
    EXPECT_EQ(error, "'' is not a valid integer value");
    EXPECT_EQ(loaded.settings.ProbeAddress, "");
    EXPECT_EQ(loaded.settings.ProbeUrl, "");
    EXPECT_EQ(loaded.settings.IntervalSeconds, -999);
    EXPECT_EQ(loaded.settings.AlertComputer, "untouched");
    EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);  // reading creates nothing
}

TEST_F(IniFileTest, LoadsAHandWrittenFileWithLowerCaseSection) {
    WriteBytes(Text("[setup]\r\n") + kFileBody);
    const StoredValues loaded = Load();
    EXPECT_EQ(loaded.settings.ProbeAddress, "10.1.2.3");
    EXPECT_EQ(loaded.settings.ProbeUrl, "example.test/page");
    EXPECT_EQ(loaded.settings.IntervalSeconds, 30);
    EXPECT_EQ(loaded.settings.AlertThreshold, 3);
    EXPECT_EQ(loaded.settings.AlertComputer, "PC-1");
    EXPECT_EQ(loaded.settings.AlertText, "\xCF\xF0\xEE\xE8\xE7\xEE\xF8\xEB\xE0 \xEE\xF8\xE8\xE1\xEA\xE0.");
    EXPECT_TRUE(loaded.status);
}

TEST_F(IniFileTest, IntervalFormsAsTheFileHoldsThem) {
    // The profile functions drop blanks around a value, so a blank on
    // either side of the number never reaches the conversion.
    const struct {
        Text line;
        bool loads;
        std::int32_t value;  // when it loads
        Text quoted;         // the text the failure quotes otherwise
    } cases[] = {
        {"INTERVAL=$1E", true, 30, ""},  {"INTERVAL=x1E", true, 30, ""}, {"INTERVAL=0X1E", true, 30, ""},
        {"INTERVAL= 7", true, 7, ""},    {"INTERVAL=7 ", true, 7, ""},   {"INTERVAL=0", true, 0, ""},
        {"INTERVAL=-0x80000000", true, INT32_MIN, ""},
        {"INTERVAL=7.5", false, 0, "7.5"}, {"INTERVAL=", false, 0, ""},  {"INTERVAL=7 s", false, 0, "7 s"},
    };
    for (const auto& c : cases) {
        WriteBytes("[SETUP]\r\n" + c.line + "\r\nACTIONS=1\r\n");
        Text error;
        const StoredValues loaded = Load(&error);
        if (c.loads) {
            EXPECT_EQ(error, "") << c.line;
            EXPECT_EQ(loaded.settings.IntervalSeconds, c.value) << c.line;
        } else {
            EXPECT_EQ(error, "'" + c.quoted + "' is not a valid integer value") << c.line;
            EXPECT_EQ(loaded.settings.IntervalSeconds, -999) << c.line;
        }
    }
}

TEST_F(IniFileTest, StatusIsOnOnlyForOne) {
    const struct {
        Text text;
        bool on;
    } cases[] = {{"1", true}, {"0", false}, {"yes", false}, {"11", false}};
    for (const auto& c : cases) {
        WriteBytes("[SETUP]\r\nINTERVAL=5\r\nACTIONS=5\r\nSTATUS=" + c.text + "\r\n");
        EXPECT_EQ(Load().status, c.on) << c.text;
    }
}

TEST_F(IniFileTest, FreshSaveWritesTheKeysInOrderAndLoadsBack) {
    const StoredValues saved = Stored("192.168.1.1", "example.test/", 5, -7, "LocalHost", "Произошла ошибка.", true);
    IniFileStore store(file);
    Save(store, saved);
    // Read straight from the disk: every write has been flushed already.
    EXPECT_EQ(ReadBytes(),
              "[SETUP]\r\nIP=192.168.1.1\r\nHOST=example.test/\r\nINTERVAL=5\r\nACTIONS=-7\r\n"
              "COMPUTER=LocalHost\r\nMESSAGE=\xCF\xF0\xEE\xE8\xE7\xEE\xF8\xEB\xE0 \xEE\xF8\xE8\xE1\xEA\xE0.\r\n"
              "STATUS=1\r\n");
    EXPECT_TRUE(Load() == saved);
}

// Whatever the system's code page: its private-profile functions or the
// program's own reading and writing keep every Windows-1251 byte.
TEST_F(IniFileTest, ALoadAndASaveGiveTheFileBackByteForByte) {
    Text message = "Нет связи с сервером!";
    for (int byte = 0x80; byte <= 0xFF; ++byte) message += static_cast<char>(byte);
    const Text body = "IP=10.0.0.1\r\nHOST=example.test/\r\nACTIONS=3\r\nCOMPUTER=ПК-1\r\nMESSAGE=" + message +
                      "\r\nSTATUS=1\r\n";
    // "05" is saved as "5": the file really is written again.
    WriteBytes("[SETUP]\r\nINTERVAL=05\r\n" + body);
    IniFileStore store(file);
    const StoredValues loaded = Load();
    EXPECT_EQ(loaded.settings.AlertText, message);
    Save(store, loaded);
    EXPECT_EQ(ReadBytes(), "[SETUP]\r\nINTERVAL=5\r\n" + body);
}

TEST_F(IniFileTest, SaveRewritesPresentKeysInPlaceAndKeepsOthers) {
    WriteBytes("[setup]\r\nSTATUS=1\r\nEXTRA=kept\r\nIP=old\r\n");
    IniFileStore store(file);
    Save(store, Stored("new", "", 1, 2, "", "", false));
    const Text bytes = ReadBytes();
    EXPECT_EQ(bytes.find("[setup]\r\nSTATUS=0\r\nEXTRA=kept\r\nIP=new\r\nHOST="), 0u) << bytes;
    EXPECT_EQ(IniReadValue(file, "Setup", "EXTRA"), "kept");
}

TEST_F(IniFileTest, RefusedWriteStopsTheSaveAtTheFirstKey) {
    struct CountingStore : IniFileStore {
        using IniFileStore::IniFileStore;
        int writes = 0;
        void Write(const Text& section, const Text& key, const Text& value) override {
            ++writes;
            IniFileStore::Write(section, key, value);
        }
    };
    const Text missing = dir + "no such directory\\Tarvik.ini";
    CountingStore store(fw::Wide(missing));
    try {
        Save(store, Stored("a", "b", 1, 2, "c", "d", true));
        ADD_FAILURE() << "the save reported success";
    } catch (const Error& e) {
        EXPECT_EQ(Text(e.what()), "Unable to write to " + missing);
    }
    EXPECT_EQ(store.writes, 1);
    EXPECT_EQ(IniReadValue(fw::Wide(missing), "SETUP", "IP"), "");
}

// Notepad's "Unicode": read, and written back UTF-16, with another
// program's section as it was, on a Windows of any code page.
TEST_F(IniFileTest, AUtf16FileLoadsAndStaysUtf16) {
    const auto utf16 = [](const std::wstring& text) {
        return "\xFF\xFE" + Text(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    };
    const std::wstring other = L"[Другая]\r\nключ=\u4E2D\u6587\r\n";
    WriteBytes(utf16(L"[SETUP]\r\nIP=10.0.0.1\r\nINTERVAL=30\r\nACTIONS=3\r\nMESSAGE=Нет связи\r\n" + other));
    const StoredValues loaded = Load();
    EXPECT_EQ(loaded.settings.ProbeAddress, "10.0.0.1");
    EXPECT_EQ(loaded.settings.IntervalSeconds, 30);
    EXPECT_EQ(loaded.settings.AlertText, "Нет связи");
    IniFileStore store(file);
    Save(store, Stored("10.0.0.2", "", 30, 3, "", "Нет связи", true));
    EXPECT_EQ(ReadBytes(), utf16(L"[SETUP]\r\nIP=10.0.0.2\r\nINTERVAL=30\r\nACTIONS=3\r\nMESSAGE=Нет связи\r\n"
                                 L"HOST=\r\nCOMPUTER=\r\nSTATUS=1\r\n" + other));
}

// Held open by another program with no sharing: the Save fails at its first
// key and the file is left as it was; the Load reads empty values.
TEST_F(IniFileTest, AFileThatCannotBeReadIsNeverReplaced) {
    const Text before = Text("[SETUP]\r\n") + kFileBody + "[Other]\r\nkey=value\r\n";
    WriteBytes(before);
    {
        const testing::Holder holder(L"file", file);
        ASSERT_TRUE(holder.Held());
        EXPECT_EQ(IniReadValue(file, "SETUP", "IP"), "");
        IniFileStore store(file);
        try {
            Save(store, Stored("a", "b", 1, 2, "c", "d", true));
            ADD_FAILURE() << "the save reported success";
        } catch (const Error& e) {
            EXPECT_EQ(Text(e.what()), "Unable to write to " + fw::Narrow(file));
        }
    }
    EXPECT_EQ(ReadBytes(), before);
    EXPECT_EQ(GetFileAttributesW((file + L".new").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(IniFileTest, LongValuesReadBackCutAt2047Characters) {
    const Text longValue(3000, 'a');
    IniWriteValue(file, "SETUP", "MESSAGE", longValue);
    EXPECT_EQ(IniReadValue(file, "SETUP", "MESSAGE"), longValue.substr(0, 2047));
}

TEST(IniPath, IsTheProgramDirectoryPlusTheFileName) {
    wchar_t module[MAX_PATH];
    const std::wstring program(module, GetModuleFileNameW(nullptr, module, MAX_PATH));
    EXPECT_EQ(IniPath(), program.substr(0, program.rfind(L'\\') + 1) + L"Tarvik.ini");
    EXPECT_EQ(&IniPath(), &IniPath());
}

}  // namespace
}  // namespace tarvik
