// Runs with doubles of ICMP.DLL (lacking IcmpSendEcho), NetApi32.dll
// (lacking NetMessageBufferSend), COMCTL32.DLL and WININET.DLL (marked)
// beside the program, and Wine told to prefer such files to its own: loaded
// by bare name, they would run in the program.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include "base/text.h"
#include "support/box_recorder_win.h"
#include "framework/common_controls_win.h"
#include "support/http_test_server_win.h"
#include "system/handles_win.h"
#include "system/system_library_win.h"
#include "monitor/address_probe.h"
#include "monitor/alert_sender.h"
#include "monitor/web_probe.h"
#include "system/handles_win.h"
#include "system/system_library_win.h"

namespace tarvik {
namespace {

const char* const kPlanted[] = {"ICMP.DLL", "NetApi32.dll", "COMCTL32.DLL", "WININET.DLL"};

Text Lower(Text text) {
    CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// The program's own folder, with its backslash.
Text ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const Text program = Lower(path);
    return program.substr(0, program.rfind('\\') + 1);
}

// The libraries of this process that come from the program's folder.
std::vector<Text> LibrariesBesideTheProgram() {
    std::vector<Text> found;
    const fw::KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId()));
    if (!snapshot || snapshot.Get() == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "no module list";
        return found;
    }
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    const Text folder = ProgramFolder();
    for (BOOL more = Module32First(snapshot.Get(), &module); more; more = Module32Next(snapshot.Get(), &module)) {
        const Text path = Lower(module.szExePath);
        if (path.compare(0, folder.size(), folder) == 0 && path.size() > 4 && path.substr(path.size() - 4) == ".dll")
            found.push_back(path);
    }
    return found;
}

TEST(PlantedLibraries, AreNotLoadedTheSystemsOwnAre) {
    // The doubles are there, and a bare name reaches them (first, while
    // nothing of that name is loaded yet).
    for (const char* name : kPlanted) {
        SCOPED_TRACE(name);
        const fw::LibraryHandle planted(LoadLibraryA(name));
        ASSERT_TRUE(planted);
        EXPECT_EQ(GetProcAddress(planted.Get(), "IcmpSendEcho"), nullptr);
        EXPECT_EQ(GetProcAddress(planted.Get(), "NetMessageBufferSend"), nullptr);
        EXPECT_EQ(GetProcAddress(planted.Get(), "InitCommonControlsEx"), nullptr);
        EXPECT_EQ(GetProcAddress(planted.Get(), "InternetOpenA"), nullptr);
    }
    ASSERT_EQ(LibrariesBesideTheProgram(), std::vector<Text>());

    testing::BoxRecorder recorder;
    EXPECT_EQ(AddressProbe("127.0.0.1"), "Есть связь");
    // Wine's own service is only a stub and refuses.
    EXPECT_FALSE(SendAlertMessage("host", "text"));
    EXPECT_TRUE(recorder.boxes.empty()) << "neither library was found lacking an entry point";

    EXPECT_TRUE(fw::InitCommonControlClasses(ICC_TAB_CLASSES | ICC_UPDOWN_CLASS));
    WNDCLASSA tabs{};
    EXPECT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), WC_TABCONTROLA, &tabs));
    testing::HttpTestServer server("127.0.0.30", testing::HttpTestServer::Mode::Answer,
                                   testing::HttpTestServer::Reply("200 OK", "page"));
    EXPECT_EQ(WebProbe("127.0.0.30/"), "page");
    EXPECT_EQ(LibrariesBesideTheProgram(), std::vector<Text>());
}

// What the program does first: later loads by bare name no longer look
// beside it, where Windows has SetDefaultDllDirectories (Wine does).
TEST(PlantedLibraries, BareNamesReachNothingBesideTheProgramOnceTheSearchIsRestricted) {
    fw::RestrictLibrarySearch();
    for (const char* name : kPlanted) {
        SCOPED_TRACE(name);
        const fw::LibraryHandle library(LoadLibraryA(name));
        ASSERT_TRUE(library);
        EXPECT_EQ(GetProcAddress(library.Get(), "TarvikPlantedLibrary"), nullptr);
    }
    EXPECT_EQ(LibrariesBesideTheProgram(), std::vector<Text>());
}

}  // namespace
}  // namespace tarvik
