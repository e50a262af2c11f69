// Looks at a running Tarvik.exe from outside, the way the shell and a user
// see it; program_start.sh drives it.
//
//   program_probe box <caption> <seconds>  wait for a message box with that
//       caption, print its text and press its OK button
//   program_probe icon <seconds>            wait until the shell knows the
//       program's notification-area icon
//   program_probe menu <seconds>            right-click the icon (as the shell
//       reports it) and print the centre of the pop-up menu that opens
//   program_probe icons <count> <seconds>   wait until exactly that many
//       copies of the program have an icon that the shell knows
//   program_probe listener <seconds>        wait until a copy listens for the
//       requests of later starts
// Exit status 0 when found, 1 otherwise (with the reason on stderr).
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace {

constexpr UINT kTrayCallbackMessage = 0xB054;

bool WaitFor(int seconds, const std::function<bool()>& found) {
    const DWORD start = GetTickCount();
    while (!found()) {
        if (GetTickCount() - start > static_cast<DWORD>(seconds) * 1000) return false;
        Sleep(100);
    }
    return true;
}

HWND TrayWindow() { return FindWindowA("TarvikTrayWindow", nullptr); }

bool ShellKnowsIcon(HWND window) {
    NOTIFYICONDATAA record{};
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = window;
    record.uID = 0;
    // Modifying nothing succeeds only for an icon the shell has.
    return Shell_NotifyIconA(NIM_MODIFY, &record) != FALSE;
}

int IconCount() {
    int count = 0;
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "TarvikTrayWindow", nullptr)))
        if (ShellKnowsIcon(window)) ++count;
    return count;
}

int Box(const char* caption, int seconds) {
    HWND box = nullptr;
    if (!WaitFor(seconds, [&] {
            box = FindWindowA("#32770", caption);
            return box && IsWindowVisible(box);
        })) {
        std::fprintf(stderr, "program_probe: no message box \"%s\" within %d s\n", caption, seconds);
        return 1;
    }
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // a message box's text
    std::fwrite(text, 1, std::strlen(text), stdout);
    std::fflush(stdout);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return 0;
}

int Icon(int seconds) {
    if (!WaitFor(seconds, [] { return TrayWindow() && ShellKnowsIcon(TrayWindow()); })) {
        std::fprintf(stderr, "program_probe: the shell has no icon of the program within %d s\n", seconds);
        return 1;
    }
    return 0;
}

int Menu(int seconds) {
    HWND tray = TrayWindow();
    if (!tray) {
        std::fprintf(stderr, "program_probe: the program has no notification-area window\n");
        return 1;
    }
    PostMessageA(tray, kTrayCallbackMessage, 0, WM_RBUTTONDOWN);
    PostMessageA(tray, kTrayCallbackMessage, 0, WM_RBUTTONUP);
    HWND menu = nullptr;
    if (!WaitFor(seconds, [&] {
            menu = FindWindowA("#32768", nullptr);
            return menu && IsWindowVisible(menu);
        })) {
        std::fprintf(stderr, "program_probe: no pop-up menu within %d s\n", seconds);
        return 1;
    }
    RECT bounds{};
    GetWindowRect(menu, &bounds);
    std::printf("%ld %ld\n", (bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
    return 0;
}

int Icons(int count, int seconds) {
    if (!WaitFor(seconds, [count] { return IconCount() == count; })) {
        std::fprintf(stderr, "program_probe: %d icons of the program, not %d, after %d s\n", IconCount(), count,
                     seconds);
        return 1;
    }
    return 0;
}

int Listener(int seconds) {
    HWND listener = nullptr;
    if (!WaitFor(seconds, [&] { return (listener = FindWindowExA(HWND_MESSAGE, nullptr, "TarvikCopy", nullptr)); })) {
        std::fprintf(stderr, "program_probe: no copy listens for later starts within %d s\n", seconds);
        return 1;
    }
    char name[64] = "";
    GetWindowTextA(listener, name, sizeof name);  // the claim's name
    std::printf("%s\n", name);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* what = argc > 1 ? argv[1] : "";
    if (argc == 4 && std::strcmp(what, "box") == 0) return Box(argv[2], std::atoi(argv[3]));
    if (argc == 3 && std::strcmp(what, "icon") == 0) return Icon(std::atoi(argv[2]));
    if (argc == 3 && std::strcmp(what, "menu") == 0) return Menu(std::atoi(argv[2]));
    if (argc == 4 && std::strcmp(what, "icons") == 0) return Icons(std::atoi(argv[2]), std::atoi(argv[3]));
    if (argc == 3 && std::strcmp(what, "listener") == 0) return Listener(std::atoi(argv[2]));
    std::fprintf(stderr,
                 "usage: program_probe box <caption> <seconds> | icon <seconds> | menu <seconds> | "
                 "icons <count> <seconds> | listener <seconds>\n");
    return 2;
}
