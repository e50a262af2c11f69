// Runs with NetApi32.dll disabled, or (TARVIK_EXPECT_NO_ENTRY) replaced in the
// system folder by a double that lacks NetMessageBufferSend.
#include <gtest/gtest.h>

#include "support/box_recorder_win.h"
#include "monitor/alert_sender.h"

namespace tarvik {
namespace {

TEST(AlertSender, MissingServiceIsReportedSystemModal) {
    testing::BoxRecorder recorder;
    EXPECT_FALSE(SendAlertMessage("host", "text"));
    ASSERT_EQ(recorder.boxes.size(), 1u);
    const fw::MessageBoxRequest& box = recorder.boxes[0];
    EXPECT_EQ(box.kind, fw::MessageBoxRequest::Kind::Platform);
#ifdef TARVIK_EXPECT_NO_ENTRY
    EXPECT_EQ(box.text, "Функция NetMessageBufferSend не обнаружена.");
    EXPECT_EQ(GetModuleHandleA("NetApi32.dll"), nullptr);
#else
    EXPECT_EQ(box.text, "NetApi32.dll не загружена.");
#endif
    EXPECT_FALSE(box.caption.has_value());
    EXPECT_EQ(box.style, 0x1010u);
}

}  // namespace
}  // namespace tarvik
