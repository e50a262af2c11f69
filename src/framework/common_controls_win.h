// The common controls (the tab control, the up-down control) come from
// COMCTL32.DLL, loaded from the system folder only, never from beside the
// program: it is not one of the libraries Windows protects on every version.
#pragma once

#include <windows.h>

namespace tarvik::fw {

// Registers the common-control classes (ICC_* flags); false when the library
// or its entry point is missing. The library stays loaded from the first
// call on: the classes it registers are its own.
bool InitCommonControlClasses(DWORD classes);

}  // namespace tarvik::fw
