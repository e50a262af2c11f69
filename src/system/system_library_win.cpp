#include "system/system_library_win.h"

#include "base/text.h"

namespace tarvik::fw {

namespace {
// Not in the headers for XP: the flag of SetDefaultDllDirectories.
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
}  // namespace

void RestrictLibrarySearch() {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return;
    if (const auto setDirectory = FindEntry<BOOL(WINAPI*)(LPCSTR)>(kernel, "SetDllDirectoryA")) setDirectory("");
    if (const auto setDefaults = FindEntry<BOOL(WINAPI*)(DWORD)>(kernel, "SetDefaultDllDirectories"))
        setDefaults(kSearchSystem32);
}

LibraryHandle LoadSystemLibrary(const char* fileName) {
    char directory[MAX_PATH];
    const UINT length = GetSystemDirectoryA(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return LibraryHandle();
    Text path(directory, length);
    if (path.back() != '\\') path += '\\';
    path += fileName;
    return LibraryHandle(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace tarvik::fw
