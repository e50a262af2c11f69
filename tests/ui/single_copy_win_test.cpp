// The claim on a settings file and the request of a later start, in one
// process: each SingleCopy stands for one start of the program.
#include <gtest/gtest.h>

#include <windows.h>

#include "support/window_test_support_win.h"
#include "support/holder_win.h"
#include "ui/single_copy_win.h"

namespace tarvik {
namespace {

using testing::PumpUntil;

// The same file written as another start may see it: other case, Cyrillic
// included, whatever the code page.
const wchar_t kFile[] = L"Z:\\tmp\\Тарвик копия\\Tarvik.ini";
const wchar_t kSameFile[] = L"z:\\TMP\\ТАРВИК КОПИЯ\\TARVIK.INI";
const wchar_t kOtherFolder[] = L"Z:\\tmp\\Тарвик копия 2\\Tarvik.ini";

TEST(SingleCopy, OneClaimPerFileUntilItsHolderEnds) {
    {
        const SingleCopy first(kFile);
        EXPECT_TRUE(first.Claimed());
        EXPECT_FALSE(SingleCopy(kSameFile).Claimed());
        EXPECT_TRUE(SingleCopy(kOtherFolder).Claimed()) << "a copy in another folder has a file of its own";
    }
    EXPECT_TRUE(SingleCopy(kSameFile).Claimed()) << "the claim ends with its holder";
}

// A helper that takes only the whole computer's name stands for a copy in
// another Windows session.
TEST(SingleCopy, AClaimHeldInAnotherSessionIsTold) {
    const std::string claim = SingleCopy(kFile).Name();
    const std::wstring name = L"Global\\" + std::wstring(claim.begin(), claim.end());
    {
        const testing::Holder otherSession(L"mutex", name);
        ASSERT_TRUE(otherSession.Held());
        const SingleCopy second(kSameFile);
        EXPECT_FALSE(second.Claimed());
        EXPECT_EQ(second.HeldBy(), SingleCopy::Holder::OtherSession);
        EXPECT_TRUE(SingleCopy(kOtherFolder).Claimed());
    }
    const SingleCopy first(kFile);
    EXPECT_TRUE(first.Claimed());
    EXPECT_EQ(SingleCopy(kSameFile).HeldBy(), SingleCopy::Holder::ThisSession);
}

TEST(SingleCopy, ASecondStartAsksTheHolderOfItsOwnFileOnly) {
    const SingleCopy first(kFile), other(kOtherFolder);
    const SingleCopy second(kSameFile);
    ASSERT_FALSE(second.Claimed());
    second.AskHolderToShow();  // nobody listens yet: nothing happens

    int firstAsked = 0, otherAsked = 0;
    {
        const ShowRequestListener firstListens(first, [&] { ++firstAsked; });
        const ShowRequestListener otherListens(other, [&] { ++otherAsked; });
        second.AskHolderToShow();
        EXPECT_TRUE(PumpUntil([&] { return firstAsked == 1; }));
        testing::Pump(200);
        EXPECT_EQ(firstAsked, 1);
        EXPECT_EQ(otherAsked, 0);
    }
    second.AskHolderToShow();  // the listener has gone
    testing::Pump(200);
    EXPECT_EQ(firstAsked, 1);
}

}  // namespace
}  // namespace tarvik
