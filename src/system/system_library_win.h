// Loading the libraries of Windows' own that the program does not import.
#pragma once

#include <windows.h>

#include "system/handles_win.h"

namespace tarvik::fw {

// Takes the program's folder and the current directory out of the search
// for libraries loaded later by name: SetDllDirectoryA("") (XP SP1 and
// later), and the system folder only where SetDefaultDllDirectories exists
// (Windows 8, and earlier ones with the update that adds it). Both are
// looked up, so the program still starts where they are missing. The
// program calls it first thing.
void RestrictLibrarySearch();

// Loads `fileName` from the system directory only, never by the search
// order that starts beside the program: a file of that name in a downloads
// folder or on a share would otherwise run inside the program. Its own
// dependencies are looked for in the system directory first too. A null
// handle when it does not load.
LibraryHandle LoadSystemLibrary(const char* fileName);

// The entry point `name` of `library` as a function pointer; null when the
// library lacks it.
template <class Function>
Function FindEntry(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

}  // namespace tarvik::fw
