#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "ui/single_copy.h"

namespace tarvik {
namespace {

TEST(CopyName, OneNamePerPathFitForAKernelObject) {
    // Paths that differ only in a high byte (Cyrillic "а" is U+0430, "0" is
    // U+0030) or only in their folder must not share a name.
    const std::u16string paths[] = {
        u"",
        u"C:\\TARVIK\\TARVIK.INI",
        u"C:\\TARVIK2\\TARVIK.INI",
        u"D:\\TARVIK\\TARVIK.INI",
        u"C:\\0\\TARVIK.INI",
        u"C:\\\u0430\\TARVIK.INI",
        u"\\\\SERVER\\SHARE\\ТАРВИК\\TARVIK.INI",
        std::u16string(32767, u'\u0416'),
    };
    std::set<std::string> names;
    for (const auto& path : paths) {
        const std::string name = CopyName(path);
        EXPECT_TRUE(std::regex_match(name, std::regex("Tarvik-[0-9a-f]{16}"))) << name;
        EXPECT_EQ(CopyName(path), name) << "the same path always gives the same name";
        names.insert(name);
    }
    EXPECT_EQ(names.size(), std::size(paths));
    // FNV-1a's starting value: a later version finds an earlier one's claim.
    EXPECT_EQ(CopyName(u""), "Tarvik-cbf29ce484222325");
}

}  // namespace
}  // namespace tarvik
