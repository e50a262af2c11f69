// Errors of system calls, reported with the system's own reason.
#pragma once

#include <windows.h>

#include "base/text.h"

namespace tarvik::fw {

// "<what>: <the system's text for code> (<code>)", or just `what` for code 0
// (a call that failed without saying why).
Text SystemErrorText(const Text& what, DWORD code);

// Throws tarvik::Error with SystemErrorText. Read GetLastError() right after
// the failing call and pass it in: building `what` may change it.
[[noreturn]] void ThrowSystemError(const Text& what, DWORD code);

}  // namespace tarvik::fw
