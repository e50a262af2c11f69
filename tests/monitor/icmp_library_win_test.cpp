// Runs with ICMP.DLL replaced: TARVIK_EXPECT_INCOMPLETE_ICMP set means a test
// double lacking IcmpSendEcho stands in the system folder, otherwise the library
// is disabled and does not load at all. Either way the probe goes on, on the
// name service's word alone.
#include <gtest/gtest.h>

#include "support/box_recorder_win.h"
#include "monitor/address_probe.h"

namespace tarvik {
namespace {

using testing::BoxRecorder;

TEST(IcmpLibrary, ProbeGoesOn) {
    BoxRecorder recorder;
    EXPECT_EQ(AddressProbe("127.0.0.1"), "Есть связь");
#ifdef TARVIK_EXPECT_INCOMPLETE_ICMP
    ASSERT_EQ(recorder.boxes.size(), 1u);
    const fw::MessageBoxRequest& box = recorder.boxes[0];
    EXPECT_EQ(box.kind, fw::MessageBoxRequest::Kind::Application);
    EXPECT_EQ(box.text, "Erro pegando endere\xE7os ICMP");
    EXPECT_EQ(box.caption, Text("Error"));
    EXPECT_EQ(box.style, 0u);
    EXPECT_EQ(GetModuleHandleA("icmp.dll"), nullptr);  // released after the check
#else
    EXPECT_TRUE(recorder.boxes.empty());
#endif
}

// With no echo to send, whether the name service knows the target decides.
TEST(IcmpLibrary, LookUpDecides) {
    BoxRecorder recorder;
    EXPECT_EQ(AddressProbe("localhost"), "Есть связь");
    EXPECT_EQ(AddressProbe("no-such-host.invalid"), "");
}

}  // namespace
}  // namespace tarvik
