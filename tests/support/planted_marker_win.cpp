// Stands in for a Windows library planted beside a program (built as
// COMCTL32.DLL and WININET.DLL). Should it ever be loaded, it leaves
// "<its own path>.loaded" behind; its one export tells a test that a handle
// is this double and not Windows' own library.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH + 8] = {};
        if (GetModuleFileNameA(instance, path, MAX_PATH)) {
            lstrcatA(path, ".loaded");
            const HANDLE mark = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
        }
    }
    return TRUE;
}

extern "C" __declspec(dllexport) int WINAPI TarvikPlantedLibrary() { return 1; }
