#include "base/error.h"

#include <cstddef>

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

}  // namespace tarvik
