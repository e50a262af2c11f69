// Runs with doubles of ICMP.DLL (lacking IcmpSendEcho) and NetApi32.dll
// (lacking NetMessageBufferSend) beside the program, and Wine told to prefer
// such files to its own: loaded by bare name, they would run in the program.
#include <gtest/gtest.h>

#include <windows.h>

#include "framework/box_recorder_win.h"
#include "framework/handles_win.h"
#include "monitor/address_probe.h"
#include "monitor/alert_sender.h"

namespace tarvik {
namespace {

TEST(PlantedLibraries, AreNotLoadedTheSystemsOwnAre) {
    {
        testing::BoxRecorder recorder;
        EXPECT_EQ(AddressProbe("127.0.0.1"), "Есть связь");
        // Wine's own service is only a stub and refuses.
        EXPECT_FALSE(SendAlertMessage("host", "text"));
        EXPECT_TRUE(recorder.boxes.empty()) << "neither library was found lacking an entry point";
    }
    // The doubles are there, and a bare name reaches them.
    for (const char* name : {"ICMP.DLL", "NetApi32.dll"}) {
        SCOPED_TRACE(name);
        const fw::LibraryHandle planted(LoadLibraryA(name));
        ASSERT_TRUE(planted);
        EXPECT_EQ(GetProcAddress(planted.Get(), "IcmpSendEcho"), nullptr);
        EXPECT_EQ(GetProcAddress(planted.Get(), "NetMessageBufferSend"), nullptr);
    }
}

}  // namespace
}  // namespace tarvik
