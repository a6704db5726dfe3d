// Picture decoding, bitmap cuts, mask regions and cursors.
#include <gtest/gtest.h>
#include <ole2.h>

#include <chrono>
#include <cmath>

#include "skin/SkinImage.h"
#include "tests/skin/SkinTestFiles.h"
#include "tests/support/TestPaths.h"

using namespace nsSkin;
using skintest::PixelOf;

namespace {

class SkinImageTest : public ::testing::Test {
protected:
    void SetUp() override { ::OleInitialize(nullptr); }
    void TearDown() override { ::OleUninitialize(); }
    testsupport::ScratchFolder folder_{L"skinimage"};
};

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

COLORREF WhiteFrameAroundDisc(int x, int y, void*) {
    // A disc of radius 300 with a notch and slanted slots: kept pixels are not white.
    int dx = x - 512, dy = y - 384;
    bool inside = dx * dx + dy * dy < 300 * 300 && !(dx > 0 && std::abs(dy) < 40) && (x + 2 * y) % 97 > 8;
    return inside ? RGB(20, 40, 60) : RGB(255, 255, 255);
}

COLORREF Checkerboard(int x, int y, void*) { return ((x + y) & 1) ? RGB(0, 0, 0) : RGB(255, 255, 255); }

}  // namespace

TEST_F(SkinImageTest, DecodesBmpGifAndJpeg) {
    for (const wchar_t* name : {L"pic.bmp", L"pic.gif"}) {
        SCOPED_TRACE(testing::Message() << name);
        platform::UniqueBitmap b = LoadImageFile(skintest::DataFolder() + name);
        ASSERT_TRUE(b);
        SIZE size = BitmapSize(b.get());
        EXPECT_EQ(size.cx, 8);
        EXPECT_EQ(size.cy, 6);
        EXPECT_EQ(PixelOf(b.get(), 0, 0), RGB(255, 0, 0));
        EXPECT_EQ(PixelOf(b.get(), 7, 0), RGB(0, 0, 255));
        EXPECT_EQ(PixelOf(b.get(), 3, 5), RGB(0, 255, 0));
    }
    platform::UniqueBitmap jpeg = LoadImageFile(skintest::DataFolder() + L"pic.jpg");
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(BitmapSize(jpeg.get()).cx, 16);
    EXPECT_TRUE(Near(PixelOf(jpeg.get(), 8, 8), RGB(40, 160, 220), 6));
}

TEST_F(SkinImageTest, IconsAreDrawnIntoABitmap) {
    platform::UniqueBitmap icon = LoadImageFile(skintest::DataFolder() + L"pic.ico");
    ASSERT_TRUE(icon);
    EXPECT_EQ(BitmapSize(icon.get()).cx, 16);
    EXPECT_EQ(BitmapSize(icon.get()).cy, 16);
    EXPECT_EQ(PixelOf(icon.get(), 8, 8), RGB(10, 200, 30));
}

TEST_F(SkinImageTest, MissingTruncatedAndGarbageFilesYieldNoPicture) {
    long before = platform::UniqueBitmap::Live();
    EXPECT_FALSE(LoadImageFile(L""));
    EXPECT_FALSE(LoadImageFile(folder_.path() + L"missing.bmp"));
    EXPECT_FALSE(LoadImageFile(folder_.path()));  // a folder
    EXPECT_FALSE(LoadImageFile(skintest::DataFolder() + L"garbage.jpg"));
    EXPECT_FALSE(LoadImageFile(skintest::DataFolder() + L"truncated.bmp"));
    ASSERT_TRUE(testsupport::WriteFileBytes(folder_.path() + L"empty.bmp", ""));
    EXPECT_FALSE(LoadImageFile(folder_.path() + L"empty.bmp"));
    // A cut JPEG may decode partially or not at all; it must not crash or leak.
    LoadImageFile(skintest::DataFolder() + L"truncated.jpg");
    EXPECT_EQ(platform::UniqueBitmap::Live(), before);
}

TEST_F(SkinImageTest, CopyBitmapRectCutsAndClips) {
    platform::UniqueBitmap pic = LoadImageFile(skintest::DataFolder() + L"pic.bmp");
    ASSERT_TRUE(pic);
    platform::UniqueBitmap right = CopyBitmapRect(pic.get(), RECT{4, 0, 8, 6});
    ASSERT_TRUE(right);
    EXPECT_EQ(BitmapSize(right.get()).cx, 4);
    EXPECT_EQ(PixelOf(right.get(), 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(right.get(), 0, 5), RGB(0, 255, 0));
    // Parts beyond the source are black, never garbage.
    platform::UniqueBitmap beyond = CopyBitmapRect(pic.get(), RECT{6, 4, 10, 8});
    ASSERT_TRUE(beyond);
    EXPECT_EQ(PixelOf(beyond.get(), 3, 3), RGB(0, 0, 0));
    EXPECT_FALSE(CopyBitmapRect(pic.get(), RECT{5, 5, 5, 9}));
    EXPECT_FALSE(CopyBitmapRect(pic.get(), RECT{0, 0, -3, 2}));
    EXPECT_FALSE(CopyBitmapRect(pic.get(), RECT{0, 0, 2147483647, 2147483647}));
    EXPECT_FALSE(CopyBitmapRect(nullptr, RECT{0, 0, 2, 2}));
}

TEST_F(SkinImageTest, WhiteAndRedKeysWithTolerance) {
    // Row 0: white, near-white (240), light grey (238), red, reddish (255,16,16), (255,17,0), black.
    const COLORREF row[] = {RGB(255, 255, 255), RGB(240, 250, 255), RGB(238, 255, 255), RGB(255, 0, 0),
                            RGB(255, 16, 16), RGB(255, 17, 0), RGB(0, 0, 0)};
    struct Ctx {
        const COLORREF* row;
    } ctx{row};
    platform::UniqueBitmap mask = skintest::MakeBitmap(
        7, 1, [](int x, int, void* c) { return static_cast<Ctx*>(c)->row[x]; }, &ctx);
    ASSERT_TRUE(mask);
    platform::UniqueRegion white = BitmapToRegion(mask.get(), kWindowMaskKey);
    ASSERT_TRUE(white);
    // Only pure white goes: a white key with tolerance stays capped at 255.
    EXPECT_FALSE(::PtInRegion(white.get(), 0, 0));
    EXPECT_TRUE(::PtInRegion(white.get(), 1, 0));
    EXPECT_TRUE(::PtInRegion(white.get(), 6, 0));
    platform::UniqueRegion red = BitmapToRegion(mask.get(), kControlMaskKey);
    ASSERT_TRUE(red);
    EXPECT_TRUE(::PtInRegion(red.get(), 0, 0));
    EXPECT_FALSE(::PtInRegion(red.get(), 3, 0));
    EXPECT_FALSE(::PtInRegion(red.get(), 4, 0));
    EXPECT_TRUE(::PtInRegion(red.get(), 5, 0));
    EXPECT_TRUE(::PtInRegion(red.get(), 6, 0));
}

TEST_F(SkinImageTest, EmptyOrAllKeyMasksGiveNoRegion) {
    platform::UniqueBitmap allWhite =
        skintest::MakeBitmap(20, 10, [](int, int, void*) { return RGB(255, 255, 255); }, nullptr);
    EXPECT_FALSE(BitmapToRegion(allWhite.get(), kWindowMaskKey));
    EXPECT_FALSE(BitmapToRegion(nullptr, kWindowMaskKey));
}

TEST_F(SkinImageTest, IrregularMaskRegionMatchesItsPixels) {
    platform::UniqueBitmap mask = skintest::MakeBitmap(1024, 768, WhiteFrameAroundDisc, nullptr);
    ASSERT_TRUE(mask);
    double best = 1e9;
    platform::UniqueRegion region;
    for (int run = 0; run < 5; ++run) {
        auto start = std::chrono::steady_clock::now();
        region = BitmapToRegion(mask.get(), kWindowMaskKey);
        best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("[ timing ] BitmapToRegion 1024x768 irregular mask: best of 5 %.1f ms, %zu rects\n", best,
                skintest::RegionRectCount(region.get()));
    ASSERT_TRUE(region);
    for (int y = 0; y < 768; y += 7)
        for (int x = 0; x < 1024; x += 5)
            ASSERT_EQ(::PtInRegion(region.get(), x, y) != 0, WhiteFrameAroundDisc(x, y, nullptr) != RGB(255, 255, 255))
                << x << "," << y;
    RECT box{};
    ::GetRgnBox(region.get(), &box);
    EXPECT_EQ(box.left, 512 - 299);
    EXPECT_GT(skintest::RegionRectCount(region.get()), 2000u);
}

TEST_F(SkinImageTest, HugeCheckerboardMaskIsBuiltInBoundedTime) {
    platform::UniqueBitmap mask = skintest::MakeBitmap(4000, 4000, Checkerboard, nullptr);
    ASSERT_TRUE(mask);
    auto start = std::chrono::steady_clock::now();
    platform::UniqueRegion region = BitmapToRegion(mask.get(), kWindowMaskKey);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_TRUE(region);
    EXPECT_EQ(skintest::RegionRectCount(region.get()), 8000000u);
    EXPECT_TRUE(::PtInRegion(region.get(), 1, 0));
    EXPECT_FALSE(::PtInRegion(region.get(), 0, 0));
    EXPECT_TRUE(::PtInRegion(region.get(), 3998, 3999));
    std::printf("[ timing ] 4000x4000 checkerboard: %.2f s\n", seconds);
}

TEST_F(SkinImageTest, OversizedMasksAreRefused) {
    platform::UniqueBitmap wide = skintest::MakeBitmap(kMaxImageSide + 1, 1, Checkerboard, nullptr);
    ASSERT_TRUE(wide);
    EXPECT_FALSE(BitmapToRegion(wide.get(), kWindowMaskKey));
}

TEST_F(SkinImageTest, MaskFromABmpFileOnDisk) {
    std::wstring path = folder_.path() + L"mask.bmp";
    ASSERT_TRUE(skintest::WriteBmp(path, 10, 4, [](int x, int) { return x < 3 ? RGB(255, 255, 255) : RGB(9, 9, 9); }));
    platform::UniqueBitmap mask = LoadImageFile(path);
    ASSERT_TRUE(mask);
    platform::UniqueRegion region = BitmapToRegion(mask.get(), kWindowMaskKey);
    ASSERT_TRUE(region);
    RECT box{};
    ::GetRgnBox(region.get(), &box);
    EXPECT_EQ(box.left, 3);
    EXPECT_EQ(box.right, 10);
    EXPECT_EQ(box.bottom, 4);
}

TEST_F(SkinImageTest, CursorFromFileElseSystemHand) {
    long before = platform::UniqueCursor::Live();
    {
        SkinCursor own = LoadSkinCursor(skintest::DataFolder(), L"hand.cur");
        EXPECT_TRUE(own.owned);
        EXPECT_EQ(own.handle, own.owned.get());
        SkinCursor missing = LoadSkinCursor(skintest::DataFolder(), L"missing.cur");
        EXPECT_FALSE(missing.owned);
        EXPECT_EQ(missing.handle, ::LoadCursorW(nullptr, IDC_HAND));
        SkinCursor none = LoadSkinCursor(skintest::DataFolder(), L"");
        EXPECT_EQ(none.handle, ::LoadCursorW(nullptr, IDC_HAND));
    }
    EXPECT_EQ(platform::UniqueCursor::Live(), before);
}
