// The program file's icon and version resource, compiled into this test
// program as into Tarvik.exe.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <vector>

#include "framework/application_win.h"
#include "support/box_recorder_win.h"
#include "framework/common_controls_win.h"
#include "system/wide_text_win.h"
#include "ui/main_form_win.h"
#include "ui/program_icon_win.h"

namespace tarvik {
namespace {

TEST(ProgramResourcesTest, MainFormAndTaskbarWindowShowTheProgramIcon) {
    testing::BoxRecorder boxes;  // the first-start error, with no settings file
    TForm1 form{MonitorServices{}};
    ShowProgramIcon(form);
    for (HWND window : {form.Handle(), fw::Application::Instance().Handle()}) {
        for (WPARAM kind : {ICON_BIG, ICON_SMALL}) {
            SCOPED_TRACE(kind);
            const auto icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, kind, 0));
            ICONINFO info{};
            ASSERT_TRUE(icon && GetIconInfo(icon, &info));
            BITMAP colour{};
            GetObjectA(info.hbmColor, sizeof colour, &colour);
            EXPECT_EQ(colour.bmWidth, GetSystemMetrics(kind == ICON_BIG ? SM_CXICON : SM_CXSMICON));
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
        }
    }
}

// The manifest asks for the common controls 6, which come from Windows' own
// side-by-side store (a copy beside the program is never loaded: the
// program start test plants one).
TEST(ProgramResourcesTest, TheManifestGivesTheCommonControls6FromWindowsOwnFolder) {
    fw::Application::Instance().Initialize();
    const HMODULE library = fw::CommonControlsLibrary();
    ASSERT_NE(library, nullptr);
    struct Version {
        DWORD size, major, minor, build, platform;
    } version{sizeof(Version), 0, 0, 0, 0};
    using GetVersion = HRESULT(CALLBACK*)(Version*);
    const auto get = reinterpret_cast<GetVersion>(reinterpret_cast<void (*)()>(GetProcAddress(library, "DllGetVersion")));
    ASSERT_NE(get, nullptr);
    ASSERT_EQ(get(&version), S_OK);
    // Wine maps the store's copy onto its one builtin library, which always
    // says 5.81; Windows' version 6 says 6.
    const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    if (!wine) EXPECT_EQ(version.major, 6u);

    wchar_t path[MAX_PATH] = {}, windows[MAX_PATH] = {};
    GetModuleFileNameW(library, path, MAX_PATH);
    const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    ASSERT_GT(length, 0u);
    Text file = fw::Narrow(path, wcslen(path));
    CharLowerBuffA(&file[0], static_cast<DWORD>(file.size()));
    EXPECT_EQ(CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, path, length, windows, length), CSTR_EQUAL) << file;
    EXPECT_NE(file.find("\\winsxs\\"), Text::npos) << file;
    EXPECT_NE(file.find("_microsoft.windows.common-controls_6595b64144ccf1df_6."), Text::npos) << file;
}

TEST(ProgramResourcesTest, VersionNamesTheProductInRussianAndEnglish) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, data.data()));

    auto value = [&](const char* block, const char* name) -> Text {
        void* text = nullptr;
        UINT length = 0;
        const Text query = Text("\\StringFileInfo\\") + block + "\\" + name;
        if (!VerQueryValueA(data.data(), query.c_str(), &text, &length) || !length) return {};
        return static_cast<const char*>(text);
    };
    EXPECT_EQ(value("041904E3", "ProductName"), "Tarvik");
    EXPECT_EQ(value("041904E3", "FileDescription"), "Тарвик: сторож связи в области уведомлений");
    EXPECT_EQ(value("040904E4", "ProductName"), "Tarvik");
    EXPECT_EQ(value("040904E4", "FileDescription"), "Tarvik: connectivity watchdog in the notification area");
    EXPECT_EQ(value("040904E4", "FileVersion"), TARVIK_VERSION);

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

}  // namespace
}  // namespace tarvik
