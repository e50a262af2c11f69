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

// Claims `object`: taken when another copy holds it. A copy of another user,
// or one with higher rights, holds an object that this one may not open:
// taken too. Where no object could be made for another reason, the claim
// counts as this copy's, so the program still runs.
bool Claim(const std::wstring& object, fw::KernelHandle& held) {
    SetLastError(ERROR_SUCCESS);
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, object.c_str());
    const DWORD error = GetLastError();
    const bool taken = mutex ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
    if (mutex && taken) CloseHandle(mutex);
    else if (mutex) held.Reset(mutex);
    return !taken;
}

}  // namespace

SingleCopy::SingleCopy(const std::wstring& settingsPath) : name_(CopyName(Folded(LongForm(settingsPath)))) {
    // This session's claim first: a copy here gets asked to show its window.
    // Then the whole computer's, which any user may make: a file held there
    // but free here is held by a copy in another session.
    if (!Claim(L"Local\\" + Widen(name_), localMutex_)) holder_ = Holder::ThisSession;
    else if (!Claim(L"Global\\" + Widen(name_), globalMutex_)) holder_ = Holder::OtherSession;
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
