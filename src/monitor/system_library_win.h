// Loading a library of Windows' own.
#pragma once

#include "framework/handles_win.h"

namespace tarvik {

// Loads `fileName` from the system directory only, never by the search
// order that starts beside the program: a file of that name in a downloads
// folder or on a share would otherwise run inside the program. Its own
// dependencies are looked for in the system directory first too. A null
// handle when it does not load.
fw::LibraryHandle LoadSystemLibrary(const char* fileName);

}  // namespace tarvik
