#include "system/window_win.h"

#include <map>
#include <utility>

#include "base/error.h"
#include "system/error_report_win.h"
#include "system/system_error_win.h"
#include "system/system_library_win.h"
#include "system/wide_text_win.h"

namespace tarvik::fw {

namespace {
// The system procedure behind each superclass, by class atom: messages that
// arrive before WM_NCCREATE (when no object is attached yet) still need it.
std::map<ATOM, WNDPROC>& SuperclassProcs() {
    static std::map<ATOM, WNDPROC> procs;
    return procs;
}

// The object behind a window of ours hangs on the window as a property: the
// window procedure is no test, since anyone may subclass a window (an edit
// hooked by its spin field) and the parent must still find the object.
const char kObjectProperty[] = "Tarvik.WindowBase";

WindowBase* AttachedObject(HWND window) { return static_cast<WindowBase*>(GetPropA(window, kObjectProperty)); }

WNDPROC ClassProcOf(HWND window) {
    const auto atom = static_cast<ATOM>(GetClassLongPtrW(window, GCW_ATOM));
    const auto found = SuperclassProcs().find(atom);
    return found == SuperclassProcs().end() ? &DefWindowProcW : found->second;
}
}  // namespace

WindowBase* WindowBase::FromHandle(HWND window) {
    return window ? AttachedObject(window) : nullptr;
}

// Every class is a wide one, so its windows hold their texts in UTF-16: an
// edit box keeps typed Cyrillic on a system of any code page.
void WindowBase::RegisterOwnClass(const char* className, UINT classStyle, HBRUSH background) {
    const std::wstring name = Wide(className);
    WNDCLASSW existing{};
    if (GetClassInfoW(GetModuleHandleW(nullptr), name.c_str(), &existing)) return;
    WNDCLASSW windowClass{};
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = &Trampoline;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name.c_str();
    if (!RegisterClassW(&windowClass))
        ThrowSystemError(Text("Unable to register the window class ") + className, GetLastError());
}

void WindowBase::RegisterSuperclass(const char* className, const char* baseClass) {
    const std::wstring name = Wide(className);
    WNDCLASSW existing{};
    if (GetClassInfoW(GetModuleHandleW(nullptr), name.c_str(), &existing)) return;
    WNDCLASSW windowClass{};
    if (!GetClassInfoW(nullptr, Wide(baseClass).c_str(), &windowClass))
        ThrowSystemError(Text("No window class ") + baseClass, GetLastError());
    const WNDPROC systemProc = windowClass.lpfnWndProc;
    windowClass.lpfnWndProc = &Trampoline;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = name.c_str();
    windowClass.style &= ~CS_GLOBALCLASS;
    const ATOM atom = RegisterClassW(&windowClass);
    if (!atom) ThrowSystemError(Text("Unable to register the window class ") + className, GetLastError());
    SuperclassProcs()[atom] = systemProc;
}

WindowBase::~WindowBase() {
    if (window_) {
        RemovePropA(window_, kObjectProperty);
        DestroyWindow(std::exchange(window_, nullptr));
    }
}

void WindowBase::CreateWindowHandle(DWORD exStyle, const char* className, const char* text, DWORD style, int x,
                                    int y, int width, int height, HWND parent, HMENU menuOrId) {
    // The trampoline attaches the window to this object at WM_NCCREATE.
    if (!CreateWindowExW(exStyle, Wide(className).c_str(), Wide(text).c_str(), style, x, y, width, height, parent,
                         menuOrId, GetModuleHandleW(nullptr), this))
        ThrowSystemError(Text("Unable to create a window of class ") + className, GetLastError());
}

void WindowBase::DestroyWindowHandle() {
    if (window_) DestroyWindow(window_);  // WM_NCDESTROY clears window_
    window_ = nullptr;
}

HWND WindowBase::DetachWindowHandle() {
    if (window_) RemovePropA(window_, kObjectProperty);
    return std::exchange(window_, nullptr);
}

void WindowBase::ReattachWindowHandle(HWND window) {
    if (!window || !SetPropA(window, kObjectProperty, this)) return;
    window_ = window;
    classProc_ = ClassProcOf(window);
}

LRESULT WindowBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultHandling(message, wParam, lParam);
}

LRESULT WindowBase::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(classProc_, window_, message, wParam, lParam);
}

LRESULT CALLBACK WindowBase::Trampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    WindowBase* self = AttachedObject(window);
    if (message == WM_NCCREATE && !self) {
        self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self && !SetPropA(window, kObjectProperty, self)) self = nullptr;
        if (self) {
            self->window_ = window;
            self->classProc_ = ClassProcOf(window);
        }
    }
    if (!self) return CallWindowProcW(ClassProcOf(window), window, message, wParam, lParam);
    LRESULT result = 0;
    try {
        result = self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        ReportCurrentException();
    }
    if (message == WM_NCDESTROY) {
        RemovePropA(window, kObjectProperty);
        self->window_ = nullptr;
        try {
            self->WindowDestroyed();
        } catch (...) {
            ReportCurrentException();
        }
    }
    return result;
}

void WindowBase::AcceptFromLowerRights(UINT message) {
    // Looked up at run time: Windows before 7 lacks the call (and the
    // program must still start there), Windows before Vista needs none.
    using FilterFunction = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    constexpr DWORD kMessageFilterAllow = 1;  // MSGFLT_ALLOW
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!window_ || !user32) return;
    const auto filter = FindEntry<FilterFunction>(user32, "ChangeWindowMessageFilterEx");
    if (filter) filter(window_, message, kMessageFilterAllow, nullptr);
}

}  // namespace tarvik::fw
