#include <gtest/gtest.h>

#include "embedded_layout.h"
#include "framework/layout.h"

namespace tarvik::fw {
namespace {

TEST(EmbeddedLayout, CarriesWindows1251TextAndTheNamedFileAsBytes) {
    const LayoutObject root = ParseLayout(EmbeddedSampleLayout());
    EXPECT_EQ(root.name, "Sample");
    ASSERT_EQ(root.properties.size(), 2u);
    EXPECT_EQ(root.properties[0].value.text, "Тарвик");  // compiled to Windows-1251 as well
    EXPECT_EQ(root.properties[0].value.text, "\xD2\xE0\xF0\xE2\xE8\xEA");
    // Only a file(...) in value position is replaced; in a string it is text.
    EXPECT_EQ(root.properties[1].value.text, "file(\"no-such-file\")");

    ASSERT_EQ(root.children.size(), 1u);
    const LayoutObject& tray = root.children[0];
    ASSERT_EQ(tray.properties.size(), 2u);
    EXPECT_EQ(tray.properties[0].name, "Icons.Icons");
    EXPECT_EQ(tray.properties[0].value.kind, LayoutValue::Kind::Binary);
    EXPECT_EQ(tray.properties[0].value.bytes,
              (std::vector<std::uint8_t>{0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF, 0x0A, 0x0D, ';', '[', ']', '\\'}));
    // Lines still count as in the source, so errors point into it.
    EXPECT_EQ(tray.properties[0].line, 7);
    EXPECT_EQ(tray.properties[1].line, 8);
}

}  // namespace
}  // namespace tarvik::fw
