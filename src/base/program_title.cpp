#include "base/program_title.h"

#include <cstddef>

namespace tarvik {

namespace {
// Lower case of the Windows-1251 code page: Latin letters, Cyrillic А..Я and
// the letters of the other Cyrillic alphabets the page holds (Ё, Ї, Ў, Ђ...),
// as the system's own lower-casing gives them.
char LowerCp1251(char c) {
    static const unsigned char kOtherUpper[] = {0x80, 0x81, 0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0xA1,
                                                0xA3, 0xA5, 0xA8, 0xAA, 0xAF, 0xB2, 0xBD};
    static const unsigned char kOtherLower[] = {0x90, 0x83, 0x9A, 0x9C, 0x9D, 0x9E, 0x9F, 0xA2,
                                                0xBC, 0xB4, 0xB8, 0xBA, 0xBF, 0xB3, 0xBE};
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
    if (u >= 0xC0 && u <= 0xDF) return static_cast<char>(u + 32);
    for (std::size_t i = 0; i < sizeof kOtherUpper; ++i)
        if (u == kOtherUpper[i]) return static_cast<char>(kOtherLower[i]);
    return c;
}
}  // namespace

Text ProgramTitle(const Text& programPath) {
    const std::size_t slash = programPath.rfind('\\');
    Text name = slash == Text::npos ? programPath : programPath.substr(slash + 1);
    const std::size_t dot = name.find('.');
    if (dot != Text::npos) name.resize(dot);
    for (std::size_t i = 1; i < name.size(); ++i) name[i] = LowerCp1251(name[i]);
    return name;
}

}  // namespace tarvik
