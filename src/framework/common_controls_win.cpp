#include "framework/common_controls_win.h"

#include <commctrl.h>

#include "system/system_library_win.h"

namespace tarvik::fw {

namespace {
// The program's manifest asks for the common controls 6, which Windows keeps
// in its side-by-side store and gives only to a load by name (a full path is
// never redirected). So by name where the process's activation context
// redirects "comctl32.dll": the library then comes from the store, and the
// program's folder is not looked at. Otherwise (no manifest, as in a test
// program) by full path from the system folder, the common controls 5.
HMODULE LoadCommonControls() {
    using Find = BOOL(WINAPI*)(DWORD, const GUID*, ULONG, LPCWSTR, PACTCTX_SECTION_KEYED_DATA);
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const Find find = kernel ? FindEntry<Find>(kernel, "FindActCtxSectionStringW") : nullptr;
    ACTCTX_SECTION_KEYED_DATA redirection{};
    redirection.cbSize = sizeof redirection;
    if (find && find(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll", &redirection)) {
        if (const HMODULE library = LoadLibraryW(L"comctl32.dll")) return library;
    }
    return LoadSystemLibrary("comctl32.dll").Release();
}
}  // namespace

HMODULE CommonControlsLibrary() {
    static const HMODULE library = LoadCommonControls();  // never released
    return library;
}

bool InitCommonControlClasses(DWORD classes) {
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    static const InitFunction init = []() -> InitFunction {
        const HMODULE library = CommonControlsLibrary();
        return library ? FindEntry<InitFunction>(library, "InitCommonControlsEx") : nullptr;
    }();
    if (!init) return false;
    INITCOMMONCONTROLSEX request{sizeof request, classes};
    return init(&request) != FALSE;
}

}  // namespace tarvik::fw
