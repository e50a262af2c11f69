#include <gtest/gtest.h>

#include <vector>

#include "base/error.h"
#include "framework/application_win.h"
#include "system/message_box_win.h"

namespace tarvik::fw {
namespace {

TEST(ErrorBox, ShowsMessageWithDotTitleAndStopIcon) {
    std::vector<MessageBoxRequest> seen;
    SetMessageBoxHook([&](const MessageBoxRequest& r) { seen.push_back(r); return IDOK; });
    try {
        throw Error("'' is not a valid integer value");
    } catch (...) {
        Application::Instance().HandleCurrentException();
    }
    SetMessageBoxHook(nullptr);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].kind, MessageBoxRequest::Kind::Application);
    EXPECT_EQ(seen[0].text, "'' is not a valid integer value.");
    EXPECT_EQ(seen[0].caption, Text("framework_tests"));
    EXPECT_EQ(seen[0].style, 0x10u);
}

}  // namespace
}  // namespace tarvik::fw
