// Any file the program reads and writes itself: whatever it holds, a value
// written into it reads back as written, writing it again changes nothing,
// and the other section's value stays as it was.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/ini_text.h"

namespace {

void Check(bool holds, const char* what, const std::string& content) {
    if (holds) return;
    std::fprintf(stderr, "%s, in:\n%s\n", what, content.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    // A value as the program saves one: one line, no blanks or quotes at its ends.
    std::string value = "v";
    for (std::size_t i = 0; i < size && i < 16; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c != '\r' && c != '\n' && c != '\0') value += c;
    }
    value += 'v';
    const std::string other = tarvik::IniTextValue(content, "OTHER", "MESSAGE");
    const std::string written = tarvik::IniTextWithValue(content, "SETUP", "MESSAGE", value);
    Check(tarvik::IniTextValue(written, "Setup", "message") == value, "the value does not read back", content);
    Check(tarvik::IniTextWithValue(written, "SETUP", "MESSAGE", value) == written, "a second write changes the file",
          content);
    Check(tarvik::IniTextValue(written, "OTHER", "MESSAGE") == other, "another section's value changed", content);
    return 0;
}
