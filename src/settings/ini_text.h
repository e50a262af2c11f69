// The settings file's text, read and written the way the platform's
// private-profile functions do it, for the systems where those functions
// would damage Windows-1251 values (see settings/inilib.h). Portable: the
// file's bytes come and go as text.
//
// The file is taken as the platform takes it: UTF-16 after FF FE (or FE FF),
// UTF-8 after EF BB BF, else 8-bit text (here Windows-1251). Lines end at
// any run of CR and LF; blanks (tab, LF, VT, FF, CR, space and ^Z) around a
// line are dropped, and blank lines mean nothing. "[name]" (up to the last
// "]") starts a section; any other line is a key, with its value after the
// first "=" or without one. There are no comments: a line starting with ";"
// is a key like any other. Names compare without regard to case; the first
// section of a name and the first key of a name in it count.
#pragma once

#include <cstddef>

#include "base/text.h"

namespace tarvik {

// True when the file starts with a UTF-16 or UTF-8 byte-order mark.
bool IniTextHasByteOrderMark(const Text& content);

// What a read of `key` in `section` gives back; ""
// when the section or the key is missing or the key's line has no "=". One
// pair of matching quotes (' or ") around the value is dropped; the value is
// cut at `limit` characters. Names are ASCII.
Text IniTextValue(const Text& content, const Text& section, const Text& key, std::size_t limit = 2047);

// The file's bytes with `key` set to `value` (its leading blanks dropped):
// `content` itself when the key already holds that value, else the whole
// file written afresh in its own encoding: each section's header and its
// keys, "KEY=value" or a bare key, CR LF after each, blank lines gone. A
// new key goes after its section's last, a new section at the end.
Text IniTextWithValue(const Text& content, const Text& section, const Text& key, const Text& value);

}  // namespace tarvik
