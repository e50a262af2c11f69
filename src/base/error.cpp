#include "base/error.h"

namespace tarvik {

Text FormatPattern(const Text& pattern, const Text& argument) {
    Text result = pattern;
    const std::size_t at = result.find("%s");
    if (at != Text::npos) result.replace(at, 2, argument);
    return result;
}

Text ErrorBoxText(const Text& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
    return message;
}

namespace {
// Lower case of the Windows-1251 code page: Latin letters, Cyrillic А..Я and Ё.
char LowerCp1251(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
    if (u >= 0xC0 && u <= 0xDF) return static_cast<char>(u + 32);
    if (u == 0xA8) return static_cast<char>(0xB8);
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
