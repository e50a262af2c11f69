#include "framework/common_controls_win.h"

#include <commctrl.h>

#include "framework/system_library_win.h"

namespace tarvik::fw {

bool InitCommonControlClasses(DWORD classes) {
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    static const InitFunction init = []() -> InitFunction {
        const HMODULE library = LoadSystemLibrary("comctl32.dll").Release();  // never released
        return library ? FindEntry<InitFunction>(library, "InitCommonControlsEx") : nullptr;
    }();
    if (!init) return false;
    INITCOMMONCONTROLSEX request{sizeof request, classes};
    return init(&request) != FALSE;
}

}  // namespace tarvik::fw
