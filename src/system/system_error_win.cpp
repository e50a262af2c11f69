#include "system/system_error_win.h"

#include <string>

#include "base/error.h"
#include "system/wide_text_win.h"

namespace tarvik::fw {

Text SystemErrorText(const Text& what, DWORD code) {
    if (code == 0) return what;
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    Text reason = length && buffer ? Trim(Narrow(buffer, length)) : Text();
    if (buffer) LocalFree(buffer);
    // The system's texts end in a full stop; the error box adds its own.
    while (!reason.empty() && reason.back() == '.') reason.pop_back();
    if (reason.empty()) reason = "system error";
    return what + ": " + reason + " (" + std::to_string(code) + ")";
}

void ThrowSystemError(const Text& what, DWORD code) { throw Error(SystemErrorText(what, code)); }

}  // namespace tarvik::fw
