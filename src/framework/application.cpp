#include "framework/application.h"

#include "base/error.h"
#include "framework/message_box.h"

namespace tarvik::fw {

namespace {
const char kApplicationClass[] = "TarvikApplication";

LRESULT CALLBACK ApplicationWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}
}  // namespace

Application& Application::Instance() {
    static Application application;
    return application;
}

HWND Application::Handle() {
    if (!handle_) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &ApplicationWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kApplicationClass;
        RegisterClassA(&windowClass);
        handle_ = CreateWindowExA(0, kApplicationClass, Title().c_str(), WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS,
                                  0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    return handle_;
}

const Text& Application::Title() {
    if (title_.empty()) {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        title_ = ProgramTitle(path);
    }
    return title_;
}

void Application::ShowException(const std::exception& error) {
    AppMessageBox(ErrorBoxText(error.what()), Title(), MB_OK | MB_ICONSTOP);
}

void Application::HandleCurrentException() noexcept {
    try {
        try {
            throw;
        } catch (const std::exception& error) {
            ShowException(error);
        } catch (...) {
            ShowException(Error("Unknown error"));
        }
    } catch (...) {
        // Reporting failed too; nothing is left that could tell the user.
    }
}

}  // namespace tarvik::fw
