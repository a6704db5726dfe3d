// Numbers, names and sizes a damaged or hostile skin may hold, at the places
// they enter the engine.
#include <gtest/gtest.h>

#include <string>

#include "skin/SkinBounds.h"
#include "skin/SkinEnumManager.h"
#include "skin/SkinImage.h"
#include "skin/SkinReader.h"
#include "tests/skin/SkinTestFiles.h"
#include "tests/support/TestPaths.h"

static bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

namespace {

using namespace nsSkin;

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

TEST(SkinPathRule, NamesResolveInsideTheSkinFolderOnly) {
    const std::wstring folder = L"C:\\skins\\blue\\";
    struct Case {
        const wchar_t* name;
        bool inside;
    } cases[] = {
        {L"main.bmp", true},
        {L"pictures\\over.bmp", true},
        {L"pictures/down.bmp", true},
        {L".\\main.bmp", true},
        {L"my.main.bmp", true},
        {L"", false},
        {L"..\\..\\elsewhere\\x.bmp", false},
        {L"pictures\\..\\..\\x.bmp", false},
        {L"a/../b.bmp", false},
        {L"..", false},
        {L"...\\x.bmp", false},
        {L". .\\x.bmp", false},
        {L"C:\\Windows\\x.bmp", false},
        {L"C:x.bmp", false},
        {L"\\\\server\\share\\x.bmp", false},
        {L"\\x.bmp", false},
        {L"/etc/x.bmp", false},
        {L"main.bmp:hidden", false},
    };
    for (const Case& c : cases) {
        std::wstring resolved = ResolveSkinFile(folder, c.name);
        EXPECT_EQ(c.inside ? folder + c.name : std::wstring(), resolved) << Narrow(c.name);
    }
}

TEST(SkinBounds, BorderNumbersAreCutToThePictureTheyCut) {
    const SIZE picture{960, 620};
    struct Case {
        const wchar_t* value;
        bool horizontal;
        int size, extent, a, aLength, b, bLength;
    } cases[] = {
        {L"960,88,220,216,524,216", true, 960, 88, 220, 216, 524, 216},    // the default skin: unchanged
        {L"1,502,288,1,531,1", false, 1, 502, 288, 1, 531, 1},
        {L"960,-2000000000,0,0,0,0", true, 960, 0, 0, 0, 0, 0},              // the repaint that hung
        {L"99999,99999,900,500,-5,2147483647", true, 960, 620, 900, 60, 0, 960},
        {L"1,0,88,1,0,0", false, 1, 0, 88, 1, 0, 0},
        {L"5,400,600,100,0,0", false, 5, 400, 600, 20, 0, 0},               // cut points run along the height
    };
    for (const Case& c : cases) {
        SkinBorderParam p = BoundBorderParam(ParseBorderParam(c.value), picture, c.horizontal);
        EXPECT_EQ(c.size, p.size) << Narrow(c.value);
        EXPECT_EQ(c.extent, p.extent) << Narrow(c.value);
        EXPECT_EQ(c.a, p.a) << Narrow(c.value);
        EXPECT_EQ(c.aLength, p.aLength) << Narrow(c.value);
        EXPECT_EQ(c.b, p.b) << Narrow(c.value);
        EXPECT_EQ(c.bLength, p.bLength) << Narrow(c.value);
    }
    // Without a picture there is nothing to cut: the border is empty.
    SkinBorderParam none = BoundBorderParam(ParseBorderParam(L"960,88,220,216,524,216"), SIZE{0, 0}, true);
    EXPECT_EQ(0, none.size);
    EXPECT_EQ(0, none.extent);
}

TEST(SkinBounds, ControlSizesFontSizesAndRangesOfAWindowDescription) {
    SkinWindowDescription d;
    d.buttons.push_back(ParseButtonEntry(1, L"BIG, 0, 0, 4096, 4096"));
    d.buttons.push_back(ParseButtonEntry(2, L"FAR, -2147483648, 2147483647, 10, -10"));
    d.buttons.push_back(ParseButtonEntry(3, L"OK, 10, 38, 66, 48"));
    d.labels.push_back(ParseLabelEntry(1, L"Information, , 0, 0, 30000, 36, 0,0,0, 0,0,290,28, text"));
    d.staticTexts.push_back(ParseStaticTextEntry(1, L"Title, 0,0,150,36, -30000, 700, 36, 0,0,0"));
    d.trackbars.push_back(ParseTrackbarEntry(1, L"VOL, A, B, C, D, 0,0,100,10, H, 0, , 2147483647, -2147483648"));
    d.window.maskOffset = SIZE{2147483647, -2147483647};
    BoundWindowDescription(d, SIZE{960, 620});
    EXPECT_EQ((RECT{0, 0, 960, 620}), d.buttons[0].rect);
    EXPECT_EQ((RECT{-kMaxSkinExtent, kMaxSkinExtent, -kMaxSkinExtent + 10, kMaxSkinExtent}), d.buttons[1].rect);
    EXPECT_EQ((RECT{10, 38, 76, 86}), d.buttons[2].rect);
    EXPECT_EQ(kMaxPointSize, d.labels[0].pointSize);
    EXPECT_EQ(-kMaxPointSize, d.staticTexts[0].pointSize);
    EXPECT_LE(d.trackbars[0].rangeMin, d.trackbars[0].rangeMax);
    EXPECT_EQ(kMaxSkinExtent, d.window.maskOffset.cx);
    EXPECT_EQ(-kMaxSkinExtent, d.window.maskOffset.cy);
}

TEST(SkinBudget, ChargesUpToTheLimitAndStaysExceeded) {
    CSkinBudget budget(100);
    EXPECT_TRUE(budget.Charge(60));
    EXPECT_TRUE(budget.Charge(40));
    EXPECT_FALSE(budget.Charge(1));
    EXPECT_FALSE(budget.Charge(0));
    EXPECT_TRUE(budget.Exceeded());
    budget.Reset();
    EXPECT_FALSE(budget.Exceeded());
    EXPECT_FALSE(budget.Charge(~0ull));
    EXPECT_EQ(0ull, PictureBytes(-5, 10));
    EXPECT_EQ(4096ull * 4096 * 4, PictureBytes(4096, 4096));
}

// Two ENUMS lines of 65,536 copies of a 4,000-character token took 2 GB.
TEST(SkinBudget, EnumStringsAreCountedInBytes) {
    std::wstring token(4000, L'x');
    std::wstring value = L"HUGE, 0, 0, 65536, " + token;
    CSkinBudget budget;
    CSkinEnum huge;
    huge.Parse(value, &budget);
    EXPECT_TRUE(huge.List().empty());
    EXPECT_TRUE(budget.Exceeded());
    CSkinBudget roomy;
    CSkinEnum small;
    small.Parse(L"ICONS, 1, 3, 2, Alpha, Beta, Gamma", &roomy);
    EXPECT_EQ(6u, small.List().size());
    EXPECT_FALSE(roomy.Exceeded());
}

// A 1 KB compressed bitmap that declares 16384 x 16384 pixels is refused from
// its header, before the decoder allocates a gigabyte.
TEST(SkinBudget, PictureHeadersAreCheckedBeforeDecoding) {
    testsupport::ScratchFolder scratch(L"bounds");
    struct Case {
        LONG width, height;
        DWORD compression;
    } cases[] = {{16384, 16384, BI_RLE8}, {20000, 2, BI_RLE8}, {64, -16384 * 4, BI_RLE8}, {16384, 16384, BI_RGB}};
    for (const Case& c : cases) {
        std::string file(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + 256 * 4, '\0');
        BITMAPINFOHEADER info{sizeof(info), c.width, c.height, 1, 8, c.compression, 0, 0, 0, 256, 0};
        BITMAPFILEHEADER head{0x4D42, 0, 0, 0, static_cast<DWORD>(file.size())};
        file += std::string("\x00\x01", 2);  // end of bitmap
        head.bfSize = static_cast<DWORD>(file.size());
        std::copy_n(reinterpret_cast<const char*>(&head), sizeof(head), file.begin());
        std::copy_n(reinterpret_cast<const char*>(&info), sizeof(info), file.begin() + sizeof(head));
        std::wstring path = scratch.path() + L"rle.bmp";
        ASSERT_TRUE(testsupport::WriteFileBytes(path, file));
        CSkinBudget budget;
        platform::UniqueBitmap picture = LoadImageFile(path, &budget);
        EXPECT_FALSE(picture) << c.width << "x" << c.height;
        EXPECT_EQ(0ull, budget.Used());
    }
    // A picture within the limits is charged for the decoder's copy and ours;
    // one within the size limit but over the budget is refused.
    std::wstring path = scratch.path() + L"plain.bmp";
    ASSERT_TRUE(skintest::WriteBmp(path, 64, 64, [](int, int) { return RGB(1, 2, 3); }));
    CSkinBudget roomy;
    EXPECT_TRUE(LoadImageFile(path, &roomy));
    EXPECT_EQ(2 * PictureBytes(64, 64), roomy.Used());
    CSkinBudget tight(1000);
    EXPECT_FALSE(LoadImageFile(path, &tight));
}

}  // namespace
