#include "framework/window.h"

#include <map>
#include <utility>

#include "base/error.h"
#include "framework/application.h"

namespace tarvik::fw {

namespace {
// The system procedure behind each superclass, by class atom: messages that
// arrive before WM_NCCREATE (when no object is attached yet) still need it.
std::map<ATOM, WNDPROC>& SuperclassProcs() {
    static std::map<ATOM, WNDPROC> procs;
    return procs;
}

WNDPROC ClassProcOf(HWND window) {
    const auto atom = static_cast<ATOM>(GetClassLongPtrA(window, GCW_ATOM));
    const auto found = SuperclassProcs().find(atom);
    return found == SuperclassProcs().end() ? &DefWindowProcA : found->second;
}
}  // namespace

WindowBase* WindowBase::FromHandle(HWND window) {
    if (!window) return nullptr;
    // Only windows of our classes carry an object in their user data.
    if (GetWindowLongPtrA(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&Trampoline)) return nullptr;
    return reinterpret_cast<WindowBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void WindowBase::RegisterOwnClass(const char* className, UINT classStyle, HBRUSH background) {
    WNDCLASSA existing{};
    if (GetClassInfoA(GetModuleHandleA(nullptr), className, &existing)) return;
    WNDCLASSA windowClass{};
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = &Trampoline;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className;
    if (!RegisterClassA(&windowClass)) throw Error(Text("Unable to register the window class ") + className);
}

void WindowBase::RegisterSuperclass(const char* className, const char* baseClass) {
    WNDCLASSA existing{};
    if (GetClassInfoA(GetModuleHandleA(nullptr), className, &existing)) return;
    WNDCLASSA windowClass{};
    if (!GetClassInfoA(nullptr, baseClass, &windowClass))
        throw Error(Text("No window class ") + baseClass);
    const WNDPROC systemProc = windowClass.lpfnWndProc;
    windowClass.lpfnWndProc = &Trampoline;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    windowClass.style &= ~CS_GLOBALCLASS;
    const ATOM atom = RegisterClassA(&windowClass);
    if (!atom) throw Error(Text("Unable to register the window class ") + className);
    SuperclassProcs()[atom] = systemProc;
}

WindowBase::~WindowBase() {
    if (window_) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(std::exchange(window_, nullptr));
    }
}

void WindowBase::CreateWindowHandle(DWORD exStyle, const char* className, const char* text, DWORD style, int x,
                                    int y, int width, int height, HWND parent, HMENU menuOrId) {
    // The trampoline attaches the window to this object at WM_NCCREATE.
    if (!CreateWindowExA(exStyle, className, text, style, x, y, width, height, parent, menuOrId,
                         GetModuleHandleA(nullptr), this))
        throw Error(Text("Unable to create a window of class ") + className);
}

void WindowBase::DestroyWindowHandle() {
    if (window_) DestroyWindow(window_);  // WM_NCDESTROY clears window_
    window_ = nullptr;
}

LRESULT WindowBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultHandling(message, wParam, lParam);
}

LRESULT WindowBase::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(classProc_, window_, message, wParam, lParam);
}

LRESULT CALLBACK WindowBase::Trampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCCREATE && !self) {
        self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (self) {
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->window_ = window;
            self->classProc_ = ClassProcOf(window);
        }
    }
    if (!self) return CallWindowProcA(ClassProcOf(window), window, message, wParam, lParam);
    LRESULT result = 0;
    try {
        result = self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        Application::Instance().HandleCurrentException();
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        try {
            self->WindowDestroyed();
        } catch (...) {
            Application::Instance().HandleCurrentException();
        }
    }
    return result;
}

}  // namespace tarvik::fw
