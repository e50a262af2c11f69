// The layout's 96-dpi numbers at other scales.
#include "framework/dpi_scale.h"

#include <gtest/gtest.h>

#include <climits>

namespace tarvik::fw {
namespace {

TEST(DpiScaleTest, ScalesAsMulDivRounds) {
    struct Case {
        int value, dpi, expected;
    } const cases[] = {
        {219, 96, 219},   {312, 96, 312},    // the design scale changes nothing
        {219, 144, 329},  {21, 144, 32},     // 328.5 and 31.5: halves go up
        {17, 120, 21},    {13, 120, 16},     // 21.25, 16.25: down to the nearest
        {219, 192, 438},  {1, 144, 2},       // 1.5 becomes 2
        {-11, 144, -17},  {-13, 144, -20},   // font heights: halves away from zero
        {-11, 120, -14},  {-7, 192, -14},
        {0, 144, 0},      {0, 192, 0},       // zero sizes stay zero
        {-1, 120, -1},    {5, 72, 4},        // 3.75
        {INT_MAX, 192, INT_MAX},             // saturates rather than wraps
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScaleToDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
}

TEST(DpiScaleTest, BetweenTwoScalesAndAgainstANonPositiveOne) {
    EXPECT_EQ(ScaleBetween(329, 192, 144), 439);  // 438.67
    EXPECT_EQ(ScaleBetween(-17, 96, 144), -11);   // -11.33
    EXPECT_EQ(ScaleBetween(42, 144, 0), 42);
}

TEST(DpiScaleTest, PixelFactorIsWholeAndAtLeastOne) {
    const int cases[][2] = {{72, 1}, {96, 1}, {120, 1}, {144, 1}, {168, 1}, {192, 2}, {240, 2}, {288, 3}};
    for (const auto& [dpi, factor] : cases) EXPECT_EQ(PixelFactor(dpi), factor) << dpi;
}

}  // namespace
}  // namespace tarvik::fw
