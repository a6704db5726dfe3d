// Reading skin.ini files: the profile reader, the two entry rules, the window
// section and its control sections, and hostile or random files.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "skin/SkinEntries.h"
#include "skin/SkinEnumManager.h"
#include "skin/SkinFontManager.h"
#include "skin/SkinImageListManager.h"
#include "skin/SkinReader.h"
#include "tests/skin/SkinTestFiles.h"
#include "tests/support/TestPaths.h"

using namespace nsSkin;

namespace {

class SkinFileTest : public ::testing::Test {
protected:
    // Writes skin.ini in a fresh folder and returns a profile over it.
    CSkinProfile Skin(const std::wstring& text) {
        path_ = folder_.path() + L"skin.ini";
        EXPECT_TRUE(skintest::WriteIni(path_, text));
        return CSkinProfile(path_);
    }
    testsupport::ScratchFolder folder_{L"skinfile"};
    std::wstring path_;
};

std::vector<int> Numbers(const std::vector<NumberedEntry>& entries) {
    std::vector<int> n;
    for (const auto& e : entries) n.push_back(e.number);
    return n;
}

}  // namespace

TEST_F(SkinFileTest, ReadStringMatchesNamesWithoutCaseAndFallsBackToDefault) {
    CSkinProfile p = Skin(L"[MainDlg]\r\nMain = main.bmp \r\n");
    EXPECT_EQ(p.ReadString(L"MAINDLG", L"main"), L"main.bmp");
    EXPECT_EQ(p.ReadString(L"MAINDLG", L"Over", L"fallback"), L"fallback");
    EXPECT_EQ(CSkinProfile().ReadString(L"a", L"b", L"d"), L"d");
    EXPECT_TRUE(p.Exists());
    EXPECT_FALSE(CSkinProfile(folder_.path() + L"none.ini").Exists());
}

TEST_F(SkinFileTest, ValuesAreCutAt4095Characters) {
    std::wstring exact(4095, L'x');
    std::wstring longer(6000, L'y');
    CSkinProfile p = Skin(L"[S]\r\nexact=" + exact + L"\r\nlonger=" + longer + L"\r\n");
    EXPECT_EQ(p.ReadString(L"S", L"exact"), exact);
    EXPECT_EQ(p.ReadString(L"S", L"longer"), std::wstring(4095, L'y'));
}

TEST_F(SkinFileTest, KeyNamesStopAtTheListBuffer) {
    std::wstring text = L"[Few]\r\nb=1\r\na=2\r\n[Many]\r\n";
    // 2000 names of 9 characters + terminator = 20000 characters: more than the list holds.
    for (int i = 0; i < 2000; ++i) text += L"key" + std::to_wstring(100000 + i) + L"=v\r\n";
    CSkinProfile p = Skin(text);
    std::vector<std::wstring> names;
    EXPECT_TRUE(p.GetKeyNames(L"few", names));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"b", L"a"}));
    EXPECT_TRUE(p.GetKeyNames(L"Many", names));
    EXPECT_GT(names.size(), 1000u);
    EXPECT_LE(names.size(), 16384u / 10u);
    for (const auto& n : names) ASSERT_EQ(n.size(), 9u);  // never a cut name
    EXPECT_FALSE(p.GetKeyNames(L"Missing", names));
    EXPECT_TRUE(names.empty());
}

TEST_F(SkinFileTest, RuleAStopsAtTheGapRuleBCountsKeys) {
    CSkinProfile p = Skin(L"[W/BUTTONS]\r\n1=a,0,0,1,1\r\n2=b,0,0,1,1\r\n4=d,0,0,1,1\r\n"
                          L"[W/TEXTINFO]\r\n1=a\r\n2=b\r\n4=d\r\n"
                          L"[W/EDITS]\r\n1=a\r\n2=\r\n3=c\r\nx=y\r\n");
    EXPECT_EQ(Numbers(ReadEntriesStopAtGap(p, L"W/BUTTONS")), (std::vector<int>{1, 2}));
    EXPECT_EQ(Numbers(ReadEntriesCountKeys(p, L"W/TEXTINFO")), (std::vector<int>{1, 2}));
    // Four keys: 1..4 are read, the empty 2 and the missing 4 skipped.
    EXPECT_EQ(Numbers(ReadEntriesCountKeys(p, L"W/EDITS")), (std::vector<int>{1, 3}));
    EXPECT_EQ(ReadButtons(p, L"W").size(), 2u);
    EXPECT_EQ(ReadLabels(p, L"W").size(), 2u);
    EXPECT_EQ(ReadLabels(p, L"W")[1].entry, 2);
}

TEST_F(SkinFileTest, WindowSectionDefaults) {
    CSkinProfile p = Skin(L"[Bare]\r\nMain=m.bmp\r\nDown=\r\n[Full]\r\nWindowtype=1\r\nMain=m.bmp\r\nOver=o.bmp\r\n"
                          L"MaskOffsetSize=0,30\r\nInvalidteRect=1,2,3,4,5,6,7,8\r\nOtherColor=1,2,3\r\n"
                          L"BKColor=300,0,0\r\nWndMoveType=2\r\nButtonAlpha=1\r\nInitSize=0,0,640,480\r\n"
                          L"TopParam=10,5,1,1,0,0\r\nResizingMask=r.bmp\r\n");
    SkinWindowRecord bare = ReadWindowSection(p, L"Bare");
    EXPECT_EQ(bare.windowType, 0);
    EXPECT_EQ(bare.over, L"m.bmp");
    EXPECT_EQ(bare.down, L"m.bmp");
    EXPECT_EQ(bare.disabled, L"m.bmp");
    EXPECT_EQ(bare.otherColor, kNoColor);
    EXPECT_EQ(bare.bkColor, RGB(0, 0, 0));
    EXPECT_FALSE(bare.buttonAlpha);
    EXPECT_FALSE(bare.top.present);
    EXPECT_TRUE(bare.invalidateRects.empty());
    EXPECT_FALSE(bare.hasInitSize);

    SkinWindowRecord full = ReadWindowSection(p, L"full");
    EXPECT_EQ(full.windowType, 1);
    EXPECT_EQ(full.over, L"o.bmp");
    EXPECT_EQ(full.down, L"m.bmp");
    EXPECT_EQ(full.maskOffset.cx, 0);
    EXPECT_EQ(full.maskOffset.cy, 30);
    ASSERT_EQ(full.invalidateRects.size(), 2u);
    EXPECT_EQ(full.invalidateRects[1].right, 12);
    EXPECT_EQ(full.otherColor, RGB(1, 2, 3));
    EXPECT_EQ(full.bkColor, RGB(44, 0, 0));
    EXPECT_EQ(full.wndMoveType, 2);
    EXPECT_TRUE(full.buttonAlpha);
    EXPECT_TRUE(full.hasInitSize);
    EXPECT_EQ(full.initSize.bottom, 480);
    EXPECT_TRUE(full.top.present);
    EXPECT_EQ(full.top.size, 10);
    EXPECT_EQ(full.resizingMask, L"r.bmp");
    full.maskWithAdvancedPanel = L"with.bmp";
    EXPECT_EQ(PanelMaskOf(full, L"maskwithadvancedpanel"), L"with.bmp");
    EXPECT_EQ(PanelMaskOf(full, L"Main"), L"");
}

TEST_F(SkinFileTest, WholeWindowDescription) {
    CSkinProfile p = Skin(L"[MAINDLG]\r\nMain=main.bmp\r\n"
                          L"[MAINDLG/BUTTONS]\r\n1=CopyToPC, 10, 10, 60, 20, Copy\r\n"
                          L"[MAINDLG/TRACKBARINFO]\r\n1=vol,a,b,c,d,0,0,50,8,H\r\n"
                          L"[MAINDLG/PROGRESSINFO]\r\n1=CopyProgress,,0,0,100,8,H\r\n"
                          L"[MAINDLG/LISTBOXS]\r\n1=l,0,0,1,1\r\n"
                          L"[MAINDLG/COMBOBOXINFO]\r\n1=c,0,0,1,1\r\n"
                          L"[MAINDLG/STRINGSINFO]\r\n1=Title,0,0,50,10,9,700,37,255,255,255\r\n"
                          L"[MAINDLG/APPVIEWS]\r\n1=FileTreeView,0,40,200,300\r\n2=FileListView,200,40,400,300,x\r\n"
                          L"4=Never,0,0,1,1\r\n");
    SkinWindowDescription d = ReadWindowDescription(p, L"MAINDLG");
    EXPECT_EQ(d.window.main, L"main.bmp");
    ASSERT_EQ(d.buttons.size(), 1u);
    EXPECT_EQ(d.buttons[0].name, L"COPYTOPC");
    EXPECT_EQ(d.trackbars.size(), 1u);
    EXPECT_EQ(d.progressBars.size(), 1u);
    EXPECT_EQ(d.listBoxes.size(), 1u);
    EXPECT_EQ(d.comboBoxes.size(), 1u);
    EXPECT_TRUE(d.labels.empty());
    EXPECT_TRUE(d.edits.empty());
    ASSERT_EQ(d.staticTexts.size(), 1u);
    EXPECT_EQ(d.staticTexts[0].color, RGB(255, 255, 255));
    ASSERT_EQ(d.appViews.size(), 2u);  // key 4 is past the gap
    EXPECT_EQ(d.appViews[1].parameter, L"x");
}

TEST_F(SkinFileTest, ThousandsOfKeysAndLongValuesAreReadInBoundedTime) {
    std::wstring text = L"[W/TEXTINFO]\r\n";
    for (int i = 1; i <= 3000; ++i) text += std::to_wstring(i) + L"=l" + std::to_wstring(i) + L",,,,,,,,,,,,,t\r\n";
    text += L"[W/BUTTONS]\r\n";
    for (int i = 1; i <= 3000; ++i) text += std::to_wstring(i) + L"=b,1,1,1,1\r\n";
    std::wstring many;
    for (int i = 0; i < 2047; ++i) many += L"x,";
    text += L"[W/COMBOBOXINFO]\r\n1=c,0,0,1,1," + many + L"\r\n";
    CSkinProfile p = Skin(text);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadLabels(p, L"W").size(), static_cast<size_t>(kMaxEntriesPerSection));
    EXPECT_EQ(ReadButtons(p, L"W").size(), static_cast<size_t>(kMaxEntriesPerSection));
    ASSERT_EQ(ReadComboBoxes(p, L"W").size(), 1u);
    EXPECT_GT(ReadComboBoxes(p, L"W")[0].items.size(), 1000u);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("[ timing ] 3000-key sections read in %.2f s\n", seconds);
}

// Random skin files fed to every reader: nothing may crash, hang or produce
// a record that breaks the format's own invariants.
TEST_F(SkinFileTest, RandomSkinFilesReadSafely) {
    std::mt19937 rng(20261208);
    const std::vector<std::wstring> sections = {
        L"SKININFO", L"IMAGELISTINFO", L"ENUMS", L"FONTSINFO", L"W", L"W/BUTTONS", L"W/TEXTINFO",
        L"W/TRACKBARINFO", L"W/PROGRESSINFO", L"W/EDITS", L"W/LISTBOXS", L"W/COMBOBOXINFO",
        L"W/STRINGSINFO", L"W/APPVIEWS"};
    const std::vector<std::wstring> keys = {L"1", L"2", L"3", L"5", L"Main", L"TopParam", L"LeftParam",
                                            L"RightParam", L"OtherColor", L"InvalidteRect", L"ImageList",
                                            L"MaskOffsetSize", L"x"};
    const std::vector<std::wstring> pieces = {L",", L"\"", L" ", L"-", L"2147483648", L"-99999999999", L"300",
                                              L"group", L"T", L"H", L"\\n", L"0", L"1", L"abc", L"\x4F60"};
    auto randomValue = [&]() {
        std::wstring v;
        int n = static_cast<int>(rng() % 60);
        for (int i = 0; i < n; ++i) v += pieces[rng() % pieces.size()];
        return v;
    };
    for (int round = 0; round < 200; ++round) {
        std::wstring text;
        for (int s = 0; s < 6; ++s) {
            text += L"[" + sections[rng() % sections.size()] + L"]\r\n";
            for (int k = 0; k < 8; ++k) text += keys[rng() % keys.size()] + L"=" + randomValue() + L"\r\n";
        }
        std::wstring path = folder_.path() + L"skin" + std::to_wstring(round) + L".ini";
        ASSERT_TRUE(skintest::WriteIni(path, text));
        CSkinProfile p(path);
        SkinWindowDescription d = ReadWindowDescription(p, L"W");
        for (const auto& b : d.buttons) {
            EXPECT_EQ(b.name, ToUpperText(b.name));
            EXPECT_FALSE(StartsWithNoCase(b.tooltip, L"group") && b.group && b.tooltip.size() == 5);
        }
        for (const auto& c : d.comboBoxes)
            for (const auto& item : c.items) EXPECT_FALSE(item.empty());
        EXPECT_LE(d.window.invalidateRects.size(), 2u);
        ComputeBorderLayout(d.window);
        ReadSkinInfo(p);
        ReadImageList(p);
        ReadFontStyles(p);
        CSkinEnumManager enums;
        EXPECT_EQ(enums.Load(path), 1);
        for (size_t i = 0; i < enums.Count(); ++i) enums.Item(L"x", static_cast<int>(i));
        CSkinFontManager fonts;
        EXPECT_EQ(fonts.Load(path, nullptr), 1);
        CSkinImageListManager images;
        EXPECT_EQ(images.Load(path), 1);
        EXPECT_FALSE(images.Lookup(L"anything"));
    }
}
