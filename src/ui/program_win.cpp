// The program: initialise the application, build the main window (which
// loads the settings), run the message loop until the window has closed.
#include <windows.h>

#include <memory>

#include "framework/application_win.h"
#include "framework/system_library_win.h"
#include "ui/main_form_win.h"
#include "ui/program_icon_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything loads a library: none may come from the program's
    // folder or the current directory.
    tarvik::fw::RestrictLibrarySearch();
    auto& application = tarvik::fw::Application::Instance();
    try {
        application.Initialize();
        auto Form1 = std::make_unique<tarvik::TForm1>();
        tarvik::ShowProgramIcon(*Form1);
        application.Run();
    } catch (...) {
        application.HandleCurrentException();
        return 1;
    }
    return 0;
}
