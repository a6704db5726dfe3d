// The image list, enum and font managers and the drop-down history file.
#include <gtest/gtest.h>
#include <ole2.h>

#include "skin/HistoryRecord.h"
#include "skin/SkinEnumManager.h"
#include "skin/SkinFontManager.h"
#include "skin/SkinImage.h"
#include "skin/SkinImageListManager.h"
#include "tests/skin/SkinTestFiles.h"
#include "tests/support/TestPaths.h"

using namespace nsSkin;

namespace {

class SkinManagerTest : public ::testing::Test {
protected:
    void SetUp() override { ::OleInitialize(nullptr); }
    void TearDown() override { ::OleUninitialize(); }
    std::wstring WriteSkin(const std::wstring& text) {
        std::wstring path = folder_.path() + L"skin.ini";
        EXPECT_TRUE(skintest::WriteIni(path, text));
        return path;
    }
    testsupport::ScratchFolder folder_{L"skinmgr"};
};

std::vector<std::wstring> Items(const CSkinEnum& e, int from, int to) {
    std::vector<std::wstring> out;
    for (int k = from; k <= to; ++k) out.push_back(e.Item(k));
    return out;
}

}  // namespace

TEST_F(SkinManagerTest, ImageListFindsLowerCaseNamesInAnyCase) {
    ASSERT_TRUE(::CopyFileW((skintest::DataFolder() + L"pic.bmp").c_str(), (folder_.path() + L"atlas.bmp").c_str(),
                            FALSE));
    std::wstring path = WriteSkin(L"[SKININFO]\r\nImageList=atlas.bmp\r\n[IMAGELISTINFO]\r\n1=thumb, 4, 0, 4, 6\r\n"
                                  L"2=Red,0,0,2,2\r\n4=gap,0,0,1,1\r\n");
    CSkinImageListManager images;
    long before = platform::UniqueBitmap::Live();
    EXPECT_EQ(images.Load(path), 1);
    EXPECT_EQ(images.Names(), (std::vector<std::wstring>{L"THUMB", L"RED"}));
    {
        platform::UniqueBitmap thumb = images.Lookup(L"Thumb");
        ASSERT_TRUE(thumb);
        EXPECT_EQ(BitmapSize(thumb.get()).cx, 4);
        EXPECT_EQ(skintest::PixelOf(thumb.get(), 0, 0), RGB(0, 0, 255));
        EXPECT_TRUE(images.Lookup(L"red"));
        EXPECT_FALSE(images.Lookup(L"gap"));
        EXPECT_FALSE(images.Lookup(L""));
    }
    EXPECT_EQ(platform::UniqueBitmap::Live(), before + 1);  // only the atlas stays
    // The folder itself works as the path; a missing atlas file empties everything.
    EXPECT_EQ(images.Load(folder_.path()), 1);
    EXPECT_EQ(images.Names().size(), 2u);
    WriteSkin(L"[SKININFO]\r\nImageList=gone.bmp\r\n[IMAGELISTINFO]\r\n1=thumb,0,0,1,1\r\n");
    EXPECT_EQ(images.Load(path), 1);
    EXPECT_TRUE(images.Names().empty());
    EXPECT_FALSE(images.Atlas());
    EXPECT_FALSE(images.Lookup(L"thumb"));
}

TEST_F(SkinManagerTest, EnumItemsFirstLastAndRepeat) {
    CSkinEnum icons;
    icons.Parse(L"ICONS, 1, 3, 1, Alpha, Beta, Gamma");
    EXPECT_EQ(Items(icons, 0, 4), (std::vector<std::wstring>{L"", L"Alpha", L"Beta", L"Gamma", L""}));
    CSkinEnum twice;
    twice.Parse(L"ICONS, 1, 3, 2, Alpha, Beta, Gamma");
    EXPECT_EQ(twice.List(), (std::vector<std::wstring>{L"Alpha", L"Alpha", L"Beta", L"Beta", L"Gamma", L"Gamma"}));
    EXPECT_EQ(twice.Item(3), L"Beta");
    CSkinEnum reversed;
    reversed.Parse(L"R, 5, 2, 1, a, b");
    EXPECT_TRUE(reversed.List().empty());
    EXPECT_EQ(reversed.Item(3), L"");
    CSkinEnum short_;
    short_.Parse(L"S, 0, 2, 1, only");
    EXPECT_EQ(Items(short_, 0, 2), (std::vector<std::wstring>{L"only", L"", L""}));
}

TEST_F(SkinManagerTest, AbsurdEnumSizesAreRefused) {
    CSkinEnum million;
    million.Parse(L"M, 0, 9, 1000000, a");
    EXPECT_TRUE(million.List().empty());
    EXPECT_EQ(million.Item(0), L"");
    CSkinEnum wide;
    wide.Parse(L"W, -2147483648, 2147483647, 1, a");
    EXPECT_TRUE(wide.List().empty());
    CSkinEnum zero;
    zero.Parse(L"Z, -2000000000, 2000000000, 0, a");
    EXPECT_TRUE(zero.List().empty());
    CSkinEnum negative;
    negative.Parse(L"N, 0, 3, -4, a, b, c, d");
    EXPECT_TRUE(negative.List().empty());
    CSkinEnum limit;
    limit.Parse(L"L, 1, 65536, 1");
    EXPECT_EQ(limit.List().size(), 65536u);
}

TEST_F(SkinManagerTest, EnumManagerFirstOfDuplicateNamesAnswers) {
    std::wstring path = WriteSkin(L"[ENUMS]\r\n1=States, 0, 1, 1, first0, first1\r\n2=STATES, 0, 1, 1, x, y\r\n"
                                  L"3=Other, 0, 0, 1, z\r\n");
    CSkinEnumManager enums;
    EXPECT_EQ(enums.Load(path), 1);
    EXPECT_EQ(enums.Count(), 3u);
    EXPECT_EQ(enums.Item(L"states", 1), L"first1");
    EXPECT_EQ(enums.Item(L"other", 0), L"z");
    EXPECT_EQ(enums.Item(L"nothing", 0), L"");
    EXPECT_EQ(enums.Load(folder_.path() + L"missing.ini"), 0);
    EXPECT_EQ(enums.Count(), 3u);  // a missing file keeps what was there
}

TEST_F(SkinManagerTest, FontStylesAreCaseSensitiveAndUseTheBaseFont) {
    std::wstring path = WriteSkin(L"[FONTSINFO]\r\n1=Caption, 12, 700, , 1, 0, 37, 1, 0,0,0, 1, 1, 5,0,0,0, "
                                  L"255,255,255, 1,1,1, 2,2,2, 3,3,3\r\n2=caption, 8, 0, Arial, 0, 1, 36\r\n");
    CSkinFontManager fonts;
    long before = platform::UniqueFont::Live();
    EXPECT_EQ(fonts.Load(path, nullptr), 1);
    EXPECT_EQ(platform::UniqueFont::Live(), before + 2);
    const _SKIN_FONT_INFO* upper = fonts.Lookup(L"Caption");
    const _SKIN_FONT_INFO* lower = fonts.Lookup(L"caption");
    ASSERT_TRUE(upper);
    ASSERT_TRUE(lower);
    EXPECT_NE(upper, lower);
    EXPECT_FALSE(fonts.Lookup(L"CAPTION"));
    EXPECT_EQ(upper->format, 37);
    EXPECT_EQ(upper->textNormal, RGB(255, 255, 255));
    EXPECT_EQ(upper->insets.left, 5);
    LOGFONTW lf{};
    ::GetObjectW(upper->font.get(), sizeof(lf), &lf);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_TRUE(lf.lfUnderline);
    EXPECT_STREQ(lf.lfFaceName, fonts.BaseFont().lfFaceName);  // empty face keeps the base face
    platform::WindowDC screen(nullptr);
    EXPECT_EQ(lf.lfHeight, -::MulDiv(12, ::GetDeviceCaps(screen.get(), LOGPIXELSY), 72));
    ::GetObjectW(lower->font.get(), sizeof(lf), &lf);
    EXPECT_STREQ(lf.lfFaceName, L"Arial");
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_EQ(lf.lfWeight, fonts.BaseFont().lfWeight);
    EXPECT_EQ(fonts.Load(folder_.path() + L"missing.ini", nullptr), 0);
    EXPECT_EQ(fonts.Count(), 2u);
}

TEST_F(SkinManagerTest, FontBaseComesFromTheWindow) {
    LOGFONTW want{};
    want.lfHeight = -20;
    wcscpy(want.lfFaceName, L"Courier New");
    platform::UniqueFont font(::CreateFontIndirectW(&want));
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(edit);
    ::SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    std::wstring path = WriteSkin(L"[FONTSINFO]\r\n1=S, 9\r\n");
    CSkinFontManager fonts;
    EXPECT_EQ(fonts.Load(path, edit), 1);
    EXPECT_STREQ(fonts.BaseFont().lfFaceName, L"Courier New");
    ::DestroyWindow(edit);
}

class HistoryTest : public ::testing::Test {
protected:
    std::wstring Write(const std::string& bytes) {
        std::wstring path = folder_.path() + L"HistroyRecord.bin";
        EXPECT_TRUE(testsupport::WriteFileBytes(path, bytes));
        return path;
    }
    testsupport::ScratchFolder folder_{L"history"};
};

TEST_F(HistoryTest, LaterDuplicateWinsAndOrderIsLastLineFirst) {
    CHistoryRecord h;
    EXPECT_EQ(h.Load(Write("one\r\nTwo\r\ntwo\r\nthree\r\n")), 1);
    EXPECT_EQ(h.Entries(), (std::vector<std::wstring>{L"three", L"two", L"one"}));
}

TEST_F(HistoryTest, ElevenLinesKeepTheLastTen) {
    std::string text;
    for (int i = 1; i <= 11; ++i) text += "line" + std::to_string(i) + "\r\n";
    CHistoryRecord h;
    h.Load(Write(text));
    ASSERT_EQ(h.Entries().size(), 10u);
    EXPECT_EQ(h.Entries().front(), L"line11");
    EXPECT_EQ(h.Entries().back(), L"line2");
}

TEST_F(HistoryTest, SaveWritesReverseOrderAndReloadsTheSame) {
    CHistoryRecord h;
    h.Append(L"alpha");
    h.Append(L"beta");
    h.Append(L"\x4F60\x597D");  // two characters of code page 936
    EXPECT_FALSE(h.Append(L"beta"));
    EXPECT_FALSE(h.Append(L""));
    EXPECT_TRUE(h.Append(L"Beta"));  // exact comparison when appending
    std::wstring path = folder_.path() + L"saved.bin";
    EXPECT_EQ(h.Save(path), 1);
    EXPECT_EQ(testsupport::ReadFileBytes(path), "Beta\r\n\xC4\xE3\xBA\xC3\r\nbeta\r\nalpha\r\n");
    CHistoryRecord again;
    EXPECT_EQ(again.Load(path), 1);
    // Loading drops the case duplicate "beta", keeping the one nearer the end.
    EXPECT_EQ(again.Entries(), (std::vector<std::wstring>{L"alpha", L"beta", L"\x4F60\x597D"}));
}

TEST_F(HistoryTest, TextOutsideTheCodePageDoesNotCostTheOtherEntries) {
    CHistoryRecord h;
    h.Append(L"first");
    h.Append(L"arabic\x0627 and \xD83D\xDE00");
    h.Append(L"last");
    std::wstring path = folder_.path() + L"wide.bin";
    EXPECT_EQ(h.Save(path), 1);
    CHistoryRecord again;
    EXPECT_EQ(again.Load(path), 1);
    ASSERT_GE(again.Entries().size(), 2u);
    EXPECT_EQ(again.Entries().front(), L"first");
    EXPECT_EQ(again.Entries().back(), L"last");
}

TEST_F(HistoryTest, MissingFileOrFolder) {
    CHistoryRecord h;
    h.Append(L"x");
    EXPECT_EQ(h.Load(folder_.path() + L"none.bin"), 0);
    EXPECT_TRUE(h.Entries().empty());
    h.Append(L"x");
    EXPECT_EQ(h.Save(folder_.path() + L"config\\HistroyRecord.bin"), 0);
    EXPECT_FALSE(testsupport::FileExists(folder_.path() + L"config"));
}

TEST_F(HistoryTest, LongLinesAndInvalidBytesAreHandled) {
    std::string text = "keep1\r\n";
    text.append(100000, 'x');
    text.append("\r\nbad\x81\r\n\xFF\xFE\x80\r\nkeep2");
    CHistoryRecord h;
    EXPECT_EQ(h.Load(Write(text)), 1);
    ASSERT_FALSE(h.Entries().empty());
    EXPECT_EQ(h.Entries().front(), L"keep2");  // last line without a line end still counts
    EXPECT_EQ(h.Entries().back(), L"keep1");
    for (const auto& e : h.Entries()) EXPECT_LE(e.size(), CHistoryRecord::kMaxLineLength);
}

TEST_F(HistoryTest, ManyLinesAreReadWithBoundedWork) {
    std::string text;
    for (int i = 0; i < 200000; ++i) {
        text += 'e';
        text += static_cast<char>('0' + i % 7);
        text += "\r\n";
    }
    CHistoryRecord h;
    EXPECT_EQ(h.Load(Write(text)), 1);
    EXPECT_EQ(h.Entries().size(), 7u);
    EXPECT_EQ(h.Entries().front(), L"e" + std::to_wstring(199999 % 7));
}

TEST_F(HistoryTest, SuggestionsAreLongerEntriesWithThePrefixInAnyCase) {
    CHistoryRecord h;
    h.Append(L"ab");
    h.Append(L"ABC");
    h.Append(L"xab");
    EXPECT_EQ(h.Suggestions(L"ab"), (std::vector<std::wstring>{L"ABC"}));
}

TEST_F(HistoryTest, PathDefaultsBesideTheProgramAndCanBeRedirected) {
    std::wstring def = HistoryFilePath();
    EXPECT_EQ(def, testsupport::TestDirectory() + L"config\\HistroyRecord.bin");
    {
        ScopedHistoryPath redirect(folder_.path() + L"h.bin");
        EXPECT_EQ(HistoryFilePath(), folder_.path() + L"h.bin");
    }
    EXPECT_EQ(HistoryFilePath(), def);
}
