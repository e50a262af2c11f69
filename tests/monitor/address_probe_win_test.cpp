#include <gtest/gtest.h>

#include <winsock2.h>

#include "framework/box_recorder_win.h"
#include "monitor/address_probe.h"

namespace tarvik {
namespace {

using testing::BoxRecorder;

struct LookupCase {
    const char* name;
    const char* target;
    bool reachable;
};

class AddressLookupTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(AddressLookupTest, AsksTheNameService) {
    BoxRecorder recorder;
    EXPECT_EQ(AddressProbe(GetParam().target), GetParam().reachable ? "Есть связь" : "");
    EXPECT_TRUE(recorder.boxes.empty());  // the real ICMP library is complete
}

INSTANTIATE_TEST_SUITE_P(
    Probe, AddressLookupTest,
    ::testing::Values(LookupCase{"name", "localhost", true},
                      LookupCase{"address", "127.0.0.1", true},
                      LookupCase{"blanks_around", "  127.0.0.1  ", true},
                      LookupCase{"blanks_inside", "127. 0 .0.1", true},
                      LookupCase{"blanks_inside_name", "local host", true},
                      LookupCase{"unknown_name", "no-such-host.invalid", false},
                      LookupCase{"only_blanks", "   ", false},
                      // Not told apart from a non-address: looked up as a
                      // name, which the resolver takes as numeric.
                      LookupCase{"broadcast_goes_by_name", "255.255.255.255", true},
                      // A tab is not a blank and stays in the name.
                      LookupCase{"tab_kept", "local\thost", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AddressProbe, EmptyTargetIsReported) {
    BoxRecorder recorder;
    EXPECT_EQ(AddressProbe(""), "");
    ASSERT_EQ(recorder.boxes.size(), 1u);
    const fw::MessageBoxRequest& box = recorder.boxes[0];
    EXPECT_EQ(box.kind, fw::MessageBoxRequest::Kind::Application);
    EXPECT_EQ(box.text, "Digite um HostName ou um End. IP");
    EXPECT_EQ(box.caption, Text("Error"));
    EXPECT_EQ(box.style, 0u);
}

// A long run must not pile up library references or WinSock starts.
TEST(AddressProbe, HoldsNothingAfterwards) {
    ASSERT_EQ(GetModuleHandleA("icmp.dll"), nullptr);
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(AddressProbe(i % 2 ? "127.0.0.1" : "no-such-host.invalid"), i % 2 ? "Есть связь" : "");
    }
    EXPECT_EQ(GetModuleHandleA("icmp.dll"), nullptr);
    // With every start undone, WinSock refuses to work.
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    EXPECT_EQ(s, INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
    if (s != INVALID_SOCKET) closesocket(s);
}

}  // namespace
}  // namespace tarvik
