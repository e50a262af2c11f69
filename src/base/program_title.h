// The program's title, shown as the caption of its error boxes and of its
// hidden main window.
#pragma once

#include "base/text.h"

namespace tarvik {

// The title from the program file's path: the name after the last
// backslash, cut at its first ".", lower case after the first character
// ("Tarvik" for C:\Programs\TARVIK.EXE).
Text ProgramTitle(const Text& programPath);

}  // namespace tarvik
