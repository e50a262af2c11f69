// Move-only owners of Windows handles: each kind is released the one way it
// must be, exactly once, on every path out.
#pragma once

#include <windows.h>

#include <utility>

namespace tarvik::fw {

// Traits: `Type`, `static Type Null()`, `static void Close(Type)`.
template <class Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Type Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Null(); }
    Type Release() { return std::exchange(handle_, Traits::Null()); }
    void Reset(Type handle = Traits::Null()) {
        Type old = std::exchange(handle_, handle);
        if (old != Traits::Null()) Traits::Close(old);
    }

private:
    Type handle_ = Traits::Null();
};

struct WindowTraits {
    using Type = HWND;
    static Type Null() { return nullptr; }
    static void Close(Type h) { DestroyWindow(h); }
};
// One owner per kind of GDI object, so that a brush is never handed on as a
// bitmap and no cast stands between the owner and its use.
template <class Handle>
struct GdiObjectTraits {
    using Type = Handle;
    static Type Null() { return nullptr; }
    static void Close(Type h) { DeleteObject(h); }
};
struct MemoryDcTraits {
    using Type = HDC;
    static Type Null() { return nullptr; }
    static void Close(Type h) { DeleteDC(h); }
};
struct IconTraits {
    using Type = HICON;
    static Type Null() { return nullptr; }
    static void Close(Type h) { DestroyIcon(h); }
};
struct MenuTraits {
    using Type = HMENU;
    static Type Null() { return nullptr; }
    static void Close(Type h) { DestroyMenu(h); }
};
struct LibraryTraits {
    using Type = HMODULE;
    static Type Null() { return nullptr; }
    static void Close(Type h) { FreeLibrary(h); }
};
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Null() { return nullptr; }
    static void Close(Type h) { CloseHandle(h); }
};
// CreateFile's: it reports failure with INVALID_HANDLE_VALUE, not null.
struct FileHandleTraits {
    using Type = HANDLE;
    static Type Null() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { CloseHandle(h); }
};

using WindowHandle = UniqueHandle<WindowTraits>;
using BitmapHandle = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using BrushHandle = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using FontHandle = UniqueHandle<GdiObjectTraits<HFONT>>;
using PenHandle = UniqueHandle<GdiObjectTraits<HPEN>>;
using MemoryDc = UniqueHandle<MemoryDcTraits>;  // CreateCompatibleDC
using IconHandle = UniqueHandle<IconTraits>;
using MenuHandle = UniqueHandle<MenuTraits>;
using LibraryHandle = UniqueHandle<LibraryTraits>;
using KernelHandle = UniqueHandle<KernelHandleTraits>;
using FileHandle = UniqueHandle<FileHandleTraits>;

}  // namespace tarvik::fw
