// The program's exception: a message in Windows-1251. Handlers let it escape;
// the application catches it at the window procedure and shows the error box.
#pragma once

#include <stdexcept>

#include "base/text.h"

namespace tarvik {

class Error : public std::runtime_error {
public:
    explicit Error(const Text& message) : std::runtime_error(message) {}
};

// Replaces the first "%s" of a message pattern (not named FormatMessage,
// which <windows.h> defines as a macro); the message texts of the
// framework ("'%s' is not a valid integer value") are kept in that form.
Text FormatPattern(const Text& pattern, const Text& argument);

// The error box's text: the message with "." appended when it is not empty
// and its last character comes after "." in the code page.
Text ErrorBoxText(const Text& message);

}  // namespace tarvik
