// Runs with a WS2_32.DLL beside the program whose WSAStartup always fails
// while its name service would still answer.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "support/box_recorder_win.h"
#include "monitor/address_probe.h"

namespace tarvik {
namespace {

TEST(AddressProbe, FailedWinSockStartIsReportedAndTheProbeFails) {
    const auto getCounts = reinterpret_cast<void(WINAPI*)(int*)>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("ws2_32.dll"), "TestGetCounts")));
    ASSERT_NE(getCounts, nullptr) << "the refusing double is not the library in use";

    testing::BoxRecorder recorder;
    EXPECT_EQ(AddressProbe("127.0.0.1"), "");

    // The ICMP library may report first where it depends on this double.
    ASSERT_FALSE(recorder.boxes.empty());
    const fw::MessageBoxRequest& box = recorder.boxes.back();
    EXPECT_EQ(box.kind, fw::MessageBoxRequest::Kind::Application);
    EXPECT_EQ(box.text, "Нет ip адреса");
    EXPECT_EQ(box.caption, Text("WSAStartup"));
    EXPECT_EQ(box.style, 0u);
    EXPECT_EQ(std::count_if(recorder.boxes.begin(), recorder.boxes.end(),
                            [](const fw::MessageBoxRequest& b) { return b.caption == Text("WSAStartup"); }),
              1);

    int counts[3] = {};
    getCounts(counts);
    EXPECT_EQ(counts[0], 1);  // one start asked for
    EXPECT_EQ(counts[1], 0);  // a start that failed is not undone
    EXPECT_EQ(counts[2], 0);  // and nothing is looked up
}

}  // namespace
}  // namespace tarvik
