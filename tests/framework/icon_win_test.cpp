#include "framework/icon_win.h"

#include <gtest/gtest.h>

#include <cstring>

#include "base/error.h"
#include "base/little_endian.h"
#include "support/resource_files.h"

namespace tarvik::fw {
namespace {

using Bytes = std::vector<std::uint8_t>;
using tarvik::testing::AlarmIconImage;
using tarvik::testing::StillIconImage;


// The icon drawn at 16x16 into a white 32-bit bitmap: (r, g, b) per pixel.
struct Pixels {
    std::uint32_t bgr[16 * 16];
    std::uint32_t At(int x, int y) const { return bgr[(15 - y) * 16 + x] & 0xFFFFFF; }
};
Pixels Draw(HICON icon) {
    Pixels out{};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = 16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    std::memset(bits, 0xFF, sizeof out.bgr);
    DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    GdiFlush();
    std::memcpy(out.bgr, bits, sizeof out.bgr);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return out;
}
constexpr std::uint32_t Bgr(int r, int g, int b) { return std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | b; }

SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return {0, 0};
    BITMAP bitmap{};
    GetObjectA(info.hbmMask, sizeof bitmap, &bitmap);
    SIZE size{bitmap.bmWidth, info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2};
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    return size;
}

TEST(Icon, ProgramPicturesReadAtSmallIconSizeAndWriteBackUnchanged) {
    struct Case {
        const char* name;
        Bytes image;
        std::uint32_t screen;  // colour of the screen area at (5, 5)
    } cases[] = {{"still", StillIconImage(), Bgr(40, 110, 220)}, {"alarm", AlarmIconImage(), Bgr(220, 30, 30)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Icon icon;
        int notices = 0;
        icon.OnChange = [&](Icon& sender) {
            EXPECT_EQ(&sender, &icon);
            ++notices;
        };
        EXPECT_FALSE(icon.HasImage());
        EXPECT_TRUE(icon.SaveToImage().empty());
        icon.LoadFromImage(c.image);
        EXPECT_EQ(notices, 1);
        ASSERT_TRUE(icon.HasImage());
        const SIZE size = IconSize(icon.Handle());
        EXPECT_EQ(size.cx, 16);
        EXPECT_EQ(size.cy, 16);
        EXPECT_EQ(icon.SaveToImage(), c.image);
        const Pixels pixels = Draw(icon.Handle());
        EXPECT_EQ(pixels.At(0, 0), Bgr(255, 255, 255)) << "transparent corner";
        EXPECT_EQ(pixels.At(1, 1), Bgr(32, 32, 48)) << "outline";
        EXPECT_EQ(pixels.At(5, 5), c.screen);
    }
}

TEST(Icon, AssignCopiesIntoItsOwnHandleAndReleasesTheOldOne) {
    Icon source;
    source.LoadFromImage(StillIconImage());
    Icon copy;
    copy.LoadFromImage(AlarmIconImage());
    const HICON replaced = copy.Handle();
    int notices = 0;
    copy.OnChange = [&](Icon&) { ++notices; };

    copy.Assign(source);
    EXPECT_EQ(notices, 1);
    EXPECT_TRUE(copy.HasImage());
    EXPECT_NE(copy.Handle(), source.Handle());
    EXPECT_EQ(copy.SaveToImage(), StillIconImage());
    ICONINFO info{};
    EXPECT_FALSE(GetIconInfo(replaced, &info)) << "the replaced handle is destroyed";

    Icon empty;
    copy.Assign(empty);
    EXPECT_EQ(notices, 2);
    EXPECT_FALSE(copy.HasImage());
    EXPECT_TRUE(source.HasImage());
}

TEST(Icon, RefusesWhatIsNotAWholeIconFileImageAndKeepsItsPicture) {
    const Bytes good = StillIconImage();
    auto with = [&](auto change) {
        Bytes bytes = good;
        change(bytes);
        return bytes;
    };
    struct Case {
        const char* what;
        Bytes data;
    } cases[] = {
        {"nothing", {}},
        {"header cut", Bytes(good.begin(), good.begin() + 5)},
        {"cursor type", with([](Bytes& b) { WriteLE16(b.data() + 2, 2); })},
        {"type 0xFFFF", with([](Bytes& b) { WriteLE16(b.data() + 2, 0xFFFF); })},
        {"no images", with([](Bytes& b) { WriteLE16(b.data() + 4, 0); })},
        {"directory past the end", with([](Bytes& b) { WriteLE16(b.data() + 4, 200); })},
        {"image past the end", with([](Bytes& b) { WriteLE32(b.data() + 6 + 8, 5000); })},
        {"offset past the end", with([](Bytes& b) { WriteLE32(b.data() + 6 + 12, 0xFFFFFFF0u); })},
        {"image smaller than its header", with([](Bytes& b) { WriteLE32(b.data() + 6 + 16 + 8, 12); })},
        {"data cut inside the second image", Bytes(good.begin(), good.end() - 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Icon icon;
        icon.LoadFromImage(AlarmIconImage());
        int notices = 0;
        icon.OnChange = [&](Icon&) { ++notices; };
        try {
            icon.LoadFromImage(c.data);
            ADD_FAILURE() << "accepted";
        } catch (const Error& error) {
            EXPECT_STREQ(error.what(), "Icon image is not valid");
        }
        EXPECT_EQ(notices, 0);
        EXPECT_EQ(icon.SaveToImage(), AlarmIconImage());
    }
}

TEST(Icon, AcceptsTypeZeroHeaders) {
    Bytes image = StillIconImage();
    WriteLE16(image.data() + 2, 0);
    Icon icon;
    icon.LoadFromImage(image);
    EXPECT_TRUE(icon.HasImage());
    EXPECT_EQ(icon.SaveToImage(), image);
}

TEST(Icon, PlatformIconIsCopiedAndWrittenAsAnImageThatReadsBack) {
    const HICON shared = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    ASSERT_NE(shared, nullptr);
    {
        Icon icon;
        icon.LoadFromHandle(shared);
        ASSERT_TRUE(icon.HasImage());
        EXPECT_NE(icon.Handle(), shared);
        const Bytes image = icon.SaveToImage();
        ASSERT_GT(image.size(), 22u);
        Icon again;
        again.LoadFromImage(image);
        EXPECT_TRUE(again.HasImage());
        icon.LoadFromHandle(nullptr);
        EXPECT_FALSE(icon.HasImage());
    }
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(shared, &info)) << "the shared system icon is left alone";
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
}

}  // namespace
}  // namespace tarvik::fw
