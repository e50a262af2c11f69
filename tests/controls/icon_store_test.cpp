#include "controls/icon_store.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "base/little_endian.h"
#include "support/resource_files.h"

namespace tarvik {
namespace {

using testing::AlarmIconImage;
using testing::StillIconImage;
using testing::StoredFrames;

Bytes Int32(std::int32_t value) {
    Bytes bytes;
    AppendLE32(bytes, static_cast<std::uint32_t>(value));
    return bytes;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

TEST(IconStore, ProgramFramesDecodeToBothPicturesAndEncodeBackByteForByte) {
    const Bytes stored = StoredFrames();
    ASSERT_EQ(stored.size(), 3968u);
    const std::vector<StoredIcon> entries = DecodeIconStore(stored);
    ASSERT_EQ(entries.size(), 2u);
    ASSERT_TRUE(entries[0] && entries[1]);
    EXPECT_EQ(entries[0]->size(), 2550u);
    EXPECT_EQ(*entries[0], StillIconImage());
    EXPECT_EQ(entries[1]->size(), 1406u);
    EXPECT_EQ(*entries[1], AlarmIconImage());
    EXPECT_EQ(EncodeIconStore(entries), stored);
}

TEST(IconStore, EmptySlotsAreSizeZeroAndNonPositiveSizesReadAsEmpty) {
    const Bytes image{1, 2, 3};
    EXPECT_EQ(EncodeIconStore({std::nullopt, image, Bytes{}}),
              Join({Int32(3), Int32(0), Int32(3), image, Int32(0)}));

    const auto entries = DecodeIconStore(Join({Int32(4), Int32(0), Int32(-1), Int32(INT32_MIN), Int32(2), {9, 8}}));
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_FALSE(entries[0]);
    EXPECT_FALSE(entries[1]);
    EXPECT_FALSE(entries[2]);
    EXPECT_EQ(entries[3], Bytes({9, 8}));

    EXPECT_TRUE(DecodeIconStore(Int32(0)).empty());
    EXPECT_EQ(EncodeIconStore({}), Int32(0));
}

TEST(IconStore, RefusesTruncatedAndAbsurdData) {
    const Bytes whole = StoredFrames();
    struct Case {
        const char* what;
        Bytes data;
    } cases[] = {
        {"nothing", {}},
        {"half a count", {1, 0}},
        {"negative count", Int32(-1)},
        {"count without sizes", Int32(1)},
        {"count far beyond the data", Join({Int32(0x7FFFFFFF), Int32(0)})},
        {"size beyond the data", Join({Int32(1), Int32(5), {1, 2, 3, 4}})},
        {"huge size", Join({Int32(1), Int32(0x7FFFFFFF), {1}})},
        {"second size cut", Join({Int32(2), Int32(1), {7}, {0, 0}})},
        {"bytes after the last entry", Join({Int32(1), Int32(1), {7}, {0}})},
        {"program frames cut by one byte", Bytes(whole.begin(), whole.end() - 1)},
        {"program frames cut inside entry 1", Bytes(whole.begin(), whole.begin() + 100)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            DecodeIconStore(c.data);
            ADD_FAILURE() << "accepted";
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find("Stored icon list"), std::string::npos) << error.what();
        }
    }
}

}  // namespace
}  // namespace tarvik
