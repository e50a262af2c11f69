// The common controls (the tab control, the up-down control) come from
// COMCTL32.DLL, never from beside the program: it is not one of the
// libraries Windows protects on every version. With the program's manifest
// it is version 6 from Windows' side-by-side store, else version 5 from the
// system folder.
#pragma once

#include <windows.h>

namespace tarvik::fw {

// Registers the common-control classes (ICC_* flags); false when the library
// or its entry point is missing. The library stays loaded from the first
// call on: the classes it registers are its own.
bool InitCommonControlClasses(DWORD classes);

// The library, loaded on the first call; null when it does not load.
HMODULE CommonControlsLibrary();

}  // namespace tarvik::fw
