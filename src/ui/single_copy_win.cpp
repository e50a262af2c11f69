#include "ui/single_copy_win.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "ui/single_copy.h"

namespace tarvik {

namespace {
const char kListenerClass[] = "TarvikCopy";
const wchar_t kListenerClassWide[] = L"TarvikCopy";
// The listener is found by its class and the claim's name, so a message of
// its own is enough.
constexpr UINT kShowRequest = WM_APP + 1;

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// Started as "C:\PROGRA~1\..." or as "C:\Program Files\...", it is the
// same folder: its long form where the system knows one (the file itself
// may not exist yet).
std::wstring LongForm(const std::wstring& file) {
    const std::size_t slash = file.rfind(L'\\');
    if (slash == std::wstring::npos) return file;
    const std::wstring folder = file.substr(0, slash + 1);
    const DWORD size = GetLongPathNameW(folder.c_str(), nullptr, 0);
    if (!size) return file;
    std::vector<wchar_t> longFolder(size);
    const DWORD length = GetLongPathNameW(folder.c_str(), longFolder.data(), size);
    if (!length || length >= size) return file;
    return std::wstring(longFolder.data(), length) + file.substr(slash + 1);
}

// Upper case as Windows compares file names: by the system's one table,
// whatever the code page or the user's language.
std::u16string Folded(std::wstring path) {
    if (!path.empty()) CharUpperBuffW(&path[0], static_cast<DWORD>(path.size()));
    return std::u16string(path.begin(), path.end());
}

}  // namespace

SingleCopy::SingleCopy(const std::wstring& settingsPath) : name_(CopyName(Folded(LongForm(settingsPath)))) {
    const std::wstring object = L"Local\\" + Widen(name_);
    SetLastError(ERROR_SUCCESS);
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, object.c_str());
    const DWORD error = GetLastError();
    // A copy of another user, or one with higher rights, holds an object
    // that this one may not open: taken too.
    claimed_ = mutex ? error != ERROR_ALREADY_EXISTS : error != ERROR_ACCESS_DENIED;
    if (claimed_) mutex_.Reset(mutex);
    else if (mutex) CloseHandle(mutex);
}

void SingleCopy::AskHolderToShow() const {
    const HWND listener = FindWindowExW(HWND_MESSAGE, nullptr, kListenerClassWide, Widen(name_).c_str());
    if (!listener) return;
    // A program in the background may not take the foreground; this one,
    // just started by the user, may hand that on.
    DWORD holder = 0;
    GetWindowThreadProcessId(listener, &holder);
    if (holder) AllowSetForegroundWindow(holder);
    PostMessageW(listener, kShowRequest, 0, 0);
}

ShowRequestListener::ShowRequestListener(const SingleCopy& copy, std::function<void()> show)
    : show_(std::move(show)) {
    RegisterOwnClass(kListenerClass, 0, nullptr);
    CreateWindowHandle(0, kListenerClass, copy.Name().c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr);
    // A copy started with higher rights hears a plain one's request only when
    // it lets the message in.
    AcceptFromLowerRights(kShowRequest);
}

ShowRequestListener::~ShowRequestListener() { DestroyWindowHandle(); }

LRESULT ShowRequestListener::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kShowRequest) return WindowBase::HandleMessage(message, wParam, lParam);
    if (show_) show_();
    return 0;
}

}  // namespace tarvik
