// The name that one running copy of the program claims for its settings
// file, so that a second start of the same program file can tell that a
// copy already runs.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

// "Tarvik-" and the 16 hexadecimal digits of a 64-bit FNV-1a hash of the
// path's UTF-16 code units, each taken as two bytes, low byte first. The
// caller folds the case first: Windows compares paths without regard to case.
// ASCII only and without "\", so it serves as a kernel object's name and
// as a window's title.
std::string CopyName(std::u16string_view foldedPath);

}  // namespace tarvik
