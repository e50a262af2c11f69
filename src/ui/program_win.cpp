// The program: initialise the application, build the main window (which
// loads the settings), run the message loop until the window has closed.
#include <windows.h>

#include <memory>

#include "framework/application_win.h"
#include "settings/inilib.h"
#include "system/message_box_win.h"
#include "system/system_library_win.h"
#include "ui/main_form_win.h"
#include "ui/program_icon_win.h"
#include "ui/single_copy_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything loads a library: none may come from the program's
    // folder or the current directory.
    tarvik::fw::RestrictLibrarySearch();
    // One copy per settings file. A second start reads and writes nothing
    // and shows nothing of its own: the running copy shows its window.
    const tarvik::SingleCopy copy(tarvik::IniPath());
    if (copy.HeldBy() == tarvik::SingleCopy::Holder::ThisSession) {
        copy.AskHolderToShow();
        return 0;
    }
    auto& application = tarvik::fw::Application::Instance();
    try {
        application.Initialize();
        // A copy in another Windows session cannot be asked to show itself.
        if (copy.HeldBy() == tarvik::SingleCopy::Holder::OtherSession) {
            tarvik::fw::AppMessageBox("Тарвик уже работает с этим файлом настроек в другом сеансе Windows.",
                                      application.Title(), MB_OK | MB_ICONINFORMATION);
            return 0;
        }
        auto Form1 = std::make_unique<tarvik::TForm1>();
        tarvik::ShowProgramIcon(*Form1);
        tarvik::UseDrawnTrayPictures(*Form1->TrayIcon1);
        // Heard only once the window is built: a start during the first
        // start's box just ends. Gone before the window is. The window
        // comes back also when minimised or behind other windows.
        const tarvik::ShowRequestListener requests(copy, [&form = *Form1] { form.BringToFront(); });
        application.Run();
    } catch (...) {
        application.HandleCurrentException();
        return 1;
    }
    return 0;
}
