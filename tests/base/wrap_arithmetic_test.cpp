#include <gtest/gtest.h>

#include <climits>

#include "base/wrap_arithmetic.h"

namespace tarvik {
namespace {

TEST(WrapArithmetic, TwosComplement) {
    EXPECT_EQ(WrapAdd(INT32_MAX, 1), INT32_MIN);
    EXPECT_EQ(WrapMul(5000000, 1000), 705032704);
    EXPECT_EQ(static_cast<std::uint32_t>(WrapMul(-1, 1000)), 4294966296u);
}

}  // namespace
}  // namespace tarvik
