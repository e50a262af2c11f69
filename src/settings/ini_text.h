// The settings file's text, read and written the way the platform's
// private-profile functions do it, for the systems where those functions
// would damage Windows-1251 values (see settings/inilib.h): one section
// header in square brackets per section, KEY=value lines, section and key
// names compared without regard to case, lines starting with ";" comments.
// Portable: the file's bytes come and go as text.
#pragma once

#include "base/text.h"

namespace tarvik {

// The value of `key` in the first section named `section`, blanks (space,
// tab) around it dropped and one pair of matching quotes around it too; ""
// when either is missing.
Text IniTextValue(const Text& content, const Text& section, const Text& key);

// `content` with `key` set to `value` (taken as it stands): the key's line
// rewritten in its place, or a new line after the section's last one, or a
// new section at the end. Every line then ends in CR LF.
Text IniTextWithValue(const Text& content, const Text& section, const Text& key, const Text& value);

}  // namespace tarvik
