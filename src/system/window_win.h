// The one window procedure of the framework's own windows. Every window class
// the framework registers (its own, and superclasses of the system's edit,
// button, static and tab controls) has WindowBase::Trampoline as its
// procedure; the object is attached at WM_NCCREATE from the creation
// parameter and detached at WM_NCDESTROY, and no exception ever leaves it.
// The classes and windows are wide ones: their messages carry UTF-16 texts
// and characters, which the framework converts from and to Windows-1251
// (system/wide_text_win.h).
#pragma once

#include <windows.h>

namespace tarvik::fw {

class WindowBase {
public:
    WindowBase() = default;
    // Destroys a window still there, with the object already detached (a
    // derived class destroys its window in its own destructor, while its
    // handlers can still run).
    virtual ~WindowBase();
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND WindowHandleOrNull() const { return window_; }

    // The object behind a window of the framework, or null.
    static WindowBase* FromHandle(HWND window);

protected:
    // Registers (once) a class of our own with the trampoline as procedure.
    static void RegisterOwnClass(const char* className, UINT classStyle, HBRUSH background);
    // Registers (once) `className` as a copy of the system class `baseClass`
    // whose messages go through the trampoline and then on to the system's
    // own procedure.
    static void RegisterSuperclass(const char* className, const char* baseClass);

    // Creates the window with this object attached; throws tarvik::Error
    // when the system refuses.
    void CreateWindowHandle(DWORD exStyle, const char* className, const char* text, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menuOrId);
    void DestroyWindowHandle();
    // Takes the window away from this object, which no longer answers for
    // it (its messages get the class's own handling), so that a new window
    // can be made in its place; Reattach gives it back.
    HWND DetachWindowHandle();
    void ReattachWindowHandle(HWND window);

    // Translates one message into a typed call; exceptions may leave it (the
    // trampoline reports them).
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // What the window's class does with a message we leave alone.
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs after the window is gone (WM_NCDESTROY).
    virtual void WindowDestroyed() {}
    // Lets `message` in from programs with fewer rights (the shell, or a
    // copy of this program started plainly while this one runs elevated),
    // which Windows from Vista on otherwise filters out.
    void AcceptFromLowerRights(UINT message);

private:
    static LRESULT CALLBACK Trampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    HWND window_ = nullptr;  // owned: destroyed with the object
    WNDPROC classProc_ = &DefWindowProcW;
};

}  // namespace tarvik::fw
