#include "monitor/system_library_win.h"

#include <windows.h>

#include "base/text.h"

namespace tarvik {

fw::LibraryHandle LoadSystemLibrary(const char* fileName) {
    char directory[MAX_PATH];
    const UINT length = GetSystemDirectoryA(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return fw::LibraryHandle();
    Text path(directory, length);
    if (path.back() != '\\') path += '\\';
    path += fileName;
    return fw::LibraryHandle(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace tarvik
