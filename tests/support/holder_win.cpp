// Stands for another program, or a copy in another Windows session, in the
// tests: holds what it is told to hold until it is told to let go.
//   holder file <path> <event>   the file open with no sharing at all
//   holder mutex <name> <event>  a mutex of that name
// Sets the event <event> once it holds (and says "held"), and ends when <event>-release is set
// (or after ten minutes, should a test never say so).
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) return 2;
    const std::wstring what = argv[1];
    HANDLE held = nullptr;
    if (what == L"file")
        held = CreateFileW(argv[2], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    else if (what == L"mutex")
        held = CreateMutexW(nullptr, TRUE, argv[2]);
    if (!held || held == INVALID_HANDLE_VALUE) return 3;
    const HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, argv[3]);
    const HANDLE release = CreateEventW(nullptr, TRUE, FALSE, (std::wstring(argv[3]) + L"-release").c_str());
    if (!ready || !release) return 4;
    SetEvent(ready);
    std::printf("held\n");  // for a script, which cannot wait for the event
    std::fflush(stdout);
    WaitForSingleObject(release, 10 * 60 * 1000);
    CloseHandle(held);
    return 0;
}
