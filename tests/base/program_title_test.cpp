#include <gtest/gtest.h>

#include "base/program_title.h"

namespace tarvik {
namespace {

TEST(ProgramTitle, NameCutAtFirstDotAndLowered) {
    const struct { Text in, out; } cases[] = {
        {"C:\\Programs\\TARVIK.EXE", "Tarvik"},
        {"Z:\\a.b\\Tarvik.exe", "Tarvik"},
        {"tarvik.backup.exe", "tarvik"},
        {"C:\\ТАРВИК.EXE", "Тарвик"},
        {"NOEXT", "Noext"},
        {"ЁЇЎЂЄІЈЅ.EXE", "Ёїўђєіјѕ"},
    };
    for (const auto& c : cases) EXPECT_EQ(ProgramTitle(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace tarvik
