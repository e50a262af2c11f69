#include "controls/icon_list_win.h"

#include <gtest/gtest.h>

#include <functional>

#include "base/error.h"
#include "base/little_endian.h"
#include "framework/font_win.h"
#include "support/resource_files.h"

namespace tarvik {
namespace {

using tarvik::testing::AlarmIconImage;
using tarvik::testing::StillIconImage;
using tarvik::testing::StoredFrames;

class IconListTest : public ::testing::Test {
public:
    void SetUp() override {
        still.LoadFromImage(StillIconImage());
        alarm.LoadFromImage(AlarmIconImage());
        list.OnListChanged = [this](TIconList& sender) {
            EXPECT_EQ(&sender, &list);
            ++notices;
        };
    }
    // Two entries (still, alarm), notices reset.
    void Fill() {
        list.AppendIcon(&still);
        list.AppendIcon(&alarm);
        notices = 0;
    }
    Bytes ImageAt(int index) { return list.IconAt(index)->SaveToImage(); }

    fw::Icon still;
    fw::Icon alarm;
    TIconList list;
    int notices = 0;
};

TEST_F(IconListTest, EveryOperationGivesOneNotice) {
    const HINSTANCE system = nullptr;
    const auto application = reinterpret_cast<LPCSTR>(IDI_APPLICATION);
    struct Case {
        const char* what;
        std::function<void(IconListTest&)> run;
        int count;  // entries afterwards
    } cases[] = {
        {"AppendIcon", [](IconListTest& t) { EXPECT_EQ(t.list.AppendIcon(&t.still), 2); }, 3},
        {"AppendIcon none", [](IconListTest& t) { t.list.AppendIcon(nullptr); }, 3},
        {"AppendResourceIcon",
         [&](IconListTest& t) { EXPECT_EQ(t.list.AppendResourceIcon(system, application), 2); }, 3},
        {"InsertIcon", [](IconListTest& t) { t.list.InsertIcon(0, &t.alarm); }, 3},
        {"InsertResourceIcon", [&](IconListTest& t) { t.list.InsertResourceIcon(2, system, application); }, 3},
        {"SetIconAt", [](IconListTest& t) { t.list.SetIconAt(0, &t.alarm); }, 2},
        {"SetIconAt at the end", [](IconListTest& t) { t.list.SetIconAt(2, &t.alarm); }, 3},
        {"RemoveIcon", [](IconListTest& t) { t.list.RemoveIcon(0); }, 1},
        {"ClearIcons", [](IconListTest& t) { t.list.ClearIcons(); }, 0},
        {"SwapIcons", [](IconListTest& t) { t.list.SwapIcons(0, 1); }, 2},
        {"MoveIcon", [](IconListTest& t) { t.list.MoveIcon(1, 0); }, 2},
        {"CopyFrom none", [](IconListTest& t) { t.list.CopyFrom(nullptr); }, 0},
        {"CopyFrom an icon", [](IconListTest& t) { t.list.CopyFrom(&t.alarm); }, 1},
        {"ReadIcons", [](IconListTest& t) { t.list.ReadIcons(StoredFrames()); }, 2},
        {"an entry edited in place", [](IconListTest& t) { t.list.IconAt(1)->Clear(); }, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        list.ClearIcons();
        Fill();
        c.run(*this);
        EXPECT_EQ(notices, 1);
        EXPECT_EQ(list.IconCount(), c.count);
        EXPECT_EQ(list.HoldCount(), 0);
    }
}

TEST_F(IconListTest, OperationsPutEntriesWhereTheySay) {
    Fill();
    list.InsertIcon(1, nullptr);  // still, (no image), alarm
    EXPECT_FALSE(list.IconAt(1)->HasImage());
    list.MoveIcon(0, 2);  // (no image), alarm, still
    EXPECT_EQ(ImageAt(1), AlarmIconImage());
    EXPECT_EQ(ImageAt(2), StillIconImage());
    list.SwapIcons(0, 2);  // still, alarm, (no image)
    EXPECT_EQ(ImageAt(0), StillIconImage());
    EXPECT_FALSE(list.IconAt(2)->HasImage());
    list.SetIconAt(2, &still);
    EXPECT_EQ(ImageAt(2), StillIconImage());
    EXPECT_NE(list.IconAt(2)->Handle(), still.Handle()) << "entries are copies";

    fw::Icon* second = list.IconAt(1);
    EXPECT_EQ(list.FindIcon(second), 1);
    EXPECT_EQ(list.FindIcon(&alarm), -1) << "only that very object counts";
    list.RemoveIcon(1);
    EXPECT_EQ(list.FindIcon(list.IconAt(1)), 1);
    EXPECT_EQ(list.IconCount(), 2);
}

TEST_F(IconListTest, BatchesGiveOneNoticeAtTheEndOfTheOutermost) {
    Fill();
    list.HoldChanges();
    list.AppendIcon(&still);
    list.HoldChanges();
    list.RemoveIcon(0);
    list.SwapIcons(0, 1);
    list.ReleaseChanges();
    EXPECT_EQ(notices, 0);
    list.ReleaseChanges();
    EXPECT_EQ(notices, 1);

    list.HoldChanges();
    list.ReleaseChanges();
    EXPECT_EQ(notices, 2) << "an empty batch still gives its notice";
}

TEST_F(IconListTest, IndexOutsideTheListFailsAndClosesTheBatch) {
    Fill();
    struct Case {
        const char* message;
        std::function<void(TIconList&)> run;
    } cases[] = {
        {"List index out of bounds (-1)", [](TIconList& l) { l.IconAt(-1); }},
        {"List index out of bounds (2)", [](TIconList& l) { l.IconAt(2); }},
        {"List index out of bounds (3)", [](TIconList& l) { l.SetIconAt(3, nullptr); }},
        {"List index out of bounds (-1)", [](TIconList& l) { l.SetIconAt(-1, nullptr); }},
        {"List index out of bounds (3)", [](TIconList& l) { l.InsertIcon(3, nullptr); }},
        {"List index out of bounds (2)", [](TIconList& l) { l.RemoveIcon(2); }},
        {"List index out of bounds (5)", [](TIconList& l) { l.SwapIcons(0, 5); }},
        {"List index out of bounds (2)", [](TIconList& l) { l.MoveIcon(2, 0); }},
        {"List index out of bounds (-7)", [](TIconList& l) { l.MoveIcon(0, -7); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        try {
            c.run(list);
            ADD_FAILURE() << "no error";
        } catch (const Error& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
        EXPECT_EQ(list.HoldCount(), 0);
        EXPECT_EQ(list.IconCount(), 2);
    }
}

TEST_F(IconListTest, CopyFromTakesCopiesOfAListOrAnIconAndRefusesOtherObjects) {
    TIconList source;
    source.ReadIcons(StoredFrames());
    list.CopyFrom(&source);
    EXPECT_EQ(notices, 1);
    ASSERT_EQ(list.IconCount(), 2);
    EXPECT_NE(list.IconAt(0), source.IconAt(0));
    EXPECT_EQ(list.WriteIcons(), StoredFrames());

    list.CopyFrom(&alarm);
    ASSERT_EQ(list.IconCount(), 1);
    EXPECT_EQ(ImageAt(0), AlarmIconImage());

    fw::Font font;
    try {
        list.CopyFrom(&font);
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Cannot assign a TFont to a TIconList");
    }
    EXPECT_EQ(list.IconCount(), 1);
    EXPECT_EQ(list.HoldCount(), 0);
}

// Copying from itself, or from one of its own icons, used to clear the list
// before reading the source: the copy came out empty, or read a destroyed icon.
TEST_F(IconListTest, CopyFromItselfOrItsOwnIconKeepsThePictures) {
    Fill();
    list.CopyFrom(&list);
    EXPECT_EQ(notices, 1);
    ASSERT_EQ(list.IconCount(), 2);
    EXPECT_EQ(ImageAt(0), StillIconImage());
    EXPECT_EQ(ImageAt(1), AlarmIconImage());

    list.CopyFrom(list.IconAt(1));
    ASSERT_EQ(list.IconCount(), 1);
    EXPECT_EQ(ImageAt(0), AlarmIconImage());
}

TEST_F(IconListTest, ProgramFramesReadAsOneNoticeAndWriteBackTheSameBytes) {
    list.ReadIcons(StoredFrames());
    EXPECT_EQ(notices, 1);
    ASSERT_EQ(list.IconCount(), 2);
    EXPECT_EQ(ImageAt(0), StillIconImage());
    EXPECT_EQ(ImageAt(1), AlarmIconImage());
    const Bytes written = list.WriteIcons();
    EXPECT_EQ(written.size(), 3968u);
    EXPECT_EQ(written, StoredFrames());
}

TEST_F(IconListTest, EmptySlotsAndImagelessIconsStoreAsSizeZero) {
    // count 3: an empty slot, the still icon, a negative size (empty too)
    Bytes stored{3, 0, 0, 0, 0, 0, 0, 0};
    const Bytes image = StillIconImage();
    const auto size = static_cast<std::uint32_t>(image.size());
    AppendLE32(stored, size);
    stored.insert(stored.end(), image.begin(), image.end());
    stored.insert(stored.end(), {0xFF, 0xFF, 0xFF, 0xFF});
    list.ReadIcons(stored);
    ASSERT_EQ(list.IconCount(), 3);
    EXPECT_EQ(list.IconAt(0), nullptr);
    EXPECT_EQ(list.IconAt(2), nullptr);
    Bytes expected = stored;
    std::fill(expected.end() - 4, expected.end(), 0);
    EXPECT_EQ(list.WriteIcons(), expected);

    // Copies of empty slots are icons without image, not empty slots.
    TIconList copy;
    copy.CopyFrom(&list);
    ASSERT_NE(copy.IconAt(0), nullptr);
    EXPECT_FALSE(copy.IconAt(0)->HasImage());
    EXPECT_EQ(copy.WriteIcons(), expected);

    // Setting an empty slot gives it an icon of its own.
    list.SetIconAt(0, &alarm);
    ASSERT_NE(list.IconAt(0), nullptr);
    EXPECT_EQ(ImageAt(0), AlarmIconImage());
}

TEST_F(IconListTest, BadStoredDataIsRefusedAndLeavesTheList) {
    Fill();
    const Bytes frames = StoredFrames();
    Bytes notAnIcon = frames;
    notAnIcon[8 + 2] = 2;  // entry 1's type field: a cursor
    struct Case {
        const char* what;
        Bytes data;
        const char* message;
    } cases[] = {
        {"entry not an icon", notAnIcon, "Icon image is not valid"},
        {"cut short", Bytes(frames.begin(), frames.end() - 10), nullptr},
        {"no count", Bytes{}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        notices = 0;
        try {
            list.ReadIcons(c.data);
            ADD_FAILURE() << "accepted";
        } catch (const Error& error) {
            if (c.message) {
                EXPECT_STREQ(error.what(), c.message);
            }
        }
        EXPECT_EQ(list.HoldCount(), 0);
        EXPECT_EQ(notices, 1) << "the batch is closed on the way out";
        ASSERT_EQ(list.IconCount(), 2);
        EXPECT_EQ(ImageAt(0), StillIconImage());
    }
}

}  // namespace
}  // namespace tarvik
