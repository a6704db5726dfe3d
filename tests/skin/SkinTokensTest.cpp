// The value grammar: tokens, integers, colours, rects and entry parsers.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "skin/SkinEnumManager.h"
#include "skin/SkinReader.h"
#include "skin/SkinTokens.h"

using namespace nsSkin;

namespace {

std::vector<std::wstring> AllTokens(std::wstring_view value, size_t count) {
    std::vector<std::wstring> tokens;
    for (size_t i = 0; i < count; ++i) tokens.push_back(PopToken(value));
    return tokens;
}

bool SameRect(const RECT& r, LONG l, LONG t, LONG rr, LONG b) {
    return r.left == l && r.top == t && r.right == rr && r.bottom == b;
}

}  // namespace

TEST(PopToken, QuotedWordAndNumbersWithStraySpaces) {
    std::wstring_view v = L"  \"Play\" ,10,  20 ,30,   40  ";
    EXPECT_EQ(AllTokens(v, 5), (std::vector<std::wstring>{L"Play", L"10", L"20", L"30", L"40"}));
}

TEST(PopToken, QuotesDoNotProtectCommas) {
    std::wstring_view v = L"\"a,b\",c";
    EXPECT_EQ(PopToken(v), L"\"a");
    EXPECT_EQ(PopToken(v), L"b\"");
    EXPECT_EQ(PopToken(v), L"c");
    EXPECT_TRUE(v.empty());
}

TEST(PopToken, EmptyRemainderAndLoneQuote) {
    std::wstring_view v = L"\" , x";
    EXPECT_EQ(PopToken(v), L"");  // a single double quote becomes empty
    EXPECT_EQ(PopToken(v), L"x");
    EXPECT_EQ(PopToken(v), L"");
    EXPECT_EQ(PopToken(v), L"");
    std::wstring_view pair = L"\"\"";
    EXPECT_EQ(PopToken(pair), L"");
    std::wstring_view inner = L"\"say \"hi\"\"";
    EXPECT_EQ(PopToken(inner), L"say \"hi\"");  // only the outer pair goes
}

TEST(SkinToInt, ReadsLikeWtoiAndSaturates) {
    EXPECT_EQ(SkinToInt(L"  42abc"), 42);
    EXPECT_EQ(SkinToInt(L"-17"), -17);
    EXPECT_EQ(SkinToInt(L"+5"), 5);
    EXPECT_EQ(SkinToInt(L"abc"), 0);
    EXPECT_EQ(SkinToInt(L""), 0);
    EXPECT_EQ(SkinToInt(L"- 5"), 0);
    EXPECT_EQ(SkinToInt(L"99999999999999999999999"), INT_MAX);
    EXPECT_EQ(SkinToInt(L"-99999999999999999999999"), INT_MIN);
    EXPECT_EQ(SkinToInt(L"2147483647"), INT_MAX);
    EXPECT_EQ(SkinToInt(L"-2147483648"), INT_MIN);
}

TEST(SkinColor, ChannelsAreCutToTheirLowByte) {
    std::wstring_view v = L"300, -1, 256";
    EXPECT_EQ(ParseSkinColor(v), RGB(44, 255, 0));
    std::wstring_view partial = L"10";
    EXPECT_EQ(ParseSkinColor(partial), RGB(10, 0, 0));
    std::wstring_view huge = L"99999999999, 7, 8";
    EXPECT_EQ(ParseSkinColor(huge), RGB(0xFF, 7, 8));  // saturated to INT_MAX, low byte 0xFF
}

TEST(SkinRect, WidthAndHeightBecomeRightAndBottom) {
    std::wstring_view v = L"10, 20, 30, 40, rest";
    EXPECT_TRUE(SameRect(ParseSkinRect(v), 10, 20, 40, 60));
    EXPECT_EQ(v, L"rest");
    std::wstring_view hostile = L"2147483647, -2147483648, 2147483647, -5";
    RECT r = ParseSkinRect(hostile);
    EXPECT_TRUE(SameRect(r, INT_MAX, INT_MIN, INT_MAX, INT_MIN));  // sums saturate rather than wrap
    std::wstring_view edges = L"1,2,3,4";
    EXPECT_TRUE(SameRect(ParseSkinEdges(edges), 1, 2, 3, 4));
}

TEST(SkinTokens, LongValuesAndManyTokensStayLinear) {
    std::wstring value;
    for (int i = 0; i < 2047; ++i) value += L"1,";
    value.resize(4095, L'9');
    std::wstring_view v = value;
    size_t count = 0;
    while (!v.empty()) {
        PopToken(v);
        ++count;
    }
    EXPECT_EQ(count, 2048u);
}

TEST(ButtonEntry, AllThirteenTokens) {
    SkinButtonRecord b = ParseButtonEntry(
        3, L"play, 1, 2, 30, 40, Group Play now, Toggle, mask1, PLAYSTATES, tipEnum, Go, Caption, capEnum");
    EXPECT_EQ(b.entry, 3);
    EXPECT_EQ(b.name, L"PLAY");
    EXPECT_TRUE(SameRect(b.rect, 1, 2, 31, 42));
    EXPECT_TRUE(b.group);
    EXPECT_EQ(b.tooltip, L" Play now");
    EXPECT_TRUE(b.toggle);
    EXPECT_EQ(b.maskImage, L"MASK1");
    EXPECT_EQ(b.stateEnum, L"PLAYSTATES");
    EXPECT_EQ(b.tooltipEnum, L"tipEnum");
    EXPECT_EQ(b.caption, L"Go");
    EXPECT_EQ(b.captionStyle, L"Caption");
    EXPECT_EQ(b.captionEnum, L"capEnum");
}

TEST(ButtonEntry, ShortEntryLeavesTheRestEmpty) {
    SkinButtonRecord b = ParseButtonEntry(1, L"stop, 5, 6, 7");
    EXPECT_EQ(b.name, L"STOP");
    EXPECT_TRUE(SameRect(b.rect, 5, 6, 12, 6));
    EXPECT_FALSE(b.group);
    EXPECT_FALSE(b.toggle);
    EXPECT_TRUE(b.tooltip.empty());
    EXPECT_TRUE(b.caption.empty());
    // Only an upper-case T makes a toggle.
    EXPECT_FALSE(ParseButtonEntry(1, L"x,0,0,1,1,,toggle").toggle);
}

TEST(LabelEntry, LineBreaksScrollDefaultAndIgnoredToken) {
    SkinLabelRecord l = ParseLabelEntry(2, L"Info, Tahoma, 1, 0, 9, 37, 255, 0, 0, 4, 5, 100, 20, one\\ntwo, x, BG");
    EXPECT_EQ(l.name, L"Info");
    EXPECT_EQ(l.face, L"Tahoma");
    EXPECT_TRUE(l.bold);
    EXPECT_FALSE(l.italic);
    EXPECT_EQ(l.pointSize, 9);
    EXPECT_EQ(l.format, 37u);
    EXPECT_EQ(l.color, RGB(255, 0, 0));
    EXPECT_TRUE(SameRect(l.rect, 4, 5, 104, 25));
    EXPECT_EQ(l.text, L"one\ntwo");
    EXPECT_EQ(l.backgroundEnum, L"BG");
    EXPECT_TRUE(l.scroll);  // token 17 empty reads as 1
    EXPECT_FALSE(ParseLabelEntry(1, L"a,,,,,,,,,,,,,,,,0").scroll);
}

TEST(TrackbarEntry, UpperCasedNamesAndOrientation) {
    SkinTrackbarRecord t =
        ParseTrackbarEntry(1, L"vol, tn, td, to, tx, 1, 2, 100, 10, horizontal, 50, Volume, 0, 200, CHAN");
    EXPECT_EQ(t.name, L"VOL");
    EXPECT_EQ(t.thumbNormal, L"TN");
    EXPECT_EQ(t.thumbDisabled, L"TX");
    EXPECT_TRUE(SameRect(t.rect, 1, 2, 101, 12));
    EXPECT_TRUE(t.horizontal);  // upper-cased before the test, so "h..." counts
    EXPECT_EQ(t.position, 50);
    EXPECT_EQ(t.rangeMax, 200);
    EXPECT_EQ(t.channelEnum, L"CHAN");
}

TEST(ProgressEntry, OrientationIsCaseSensitiveAndDragReportFlag) {
    SkinProgressRecord p = ParseProgressEntry(1, L"CopyProgress, tip, 0, 0, 100, 8, h, mask, PICS, 0");
    EXPECT_FALSE(p.horizontal);
    EXPECT_FALSE(p.reportWhileDragging);
    EXPECT_EQ(p.maskImage, L"mask");
    SkinProgressRecord q = ParseProgressEntry(1, L"p, tip, 0, 0, 100, 8, H");
    EXPECT_TRUE(q.horizontal);
    EXPECT_TRUE(q.reportWhileDragging);
}

TEST(EditEntry, DefaultsOfEmptyTokens) {
    SkinEditRecord e = ParseEditEntry(1, L"name, 1, 1, 10, 10, 0, 0, 255, tip, 1");
    EXPECT_EQ(e.name, L"NAME");
    EXPECT_EQ(e.color, RGB(0, 0, 255));
    EXPECT_TRUE(e.readOnly);
    EXPECT_EQ(e.token11, 1);
    EXPECT_FALSE(e.digitsOnly);
    EXPECT_FALSE(e.password);
    SkinEditRecord f = ParseEditEntry(1, L"n,0,0,1,1,0,0,0,,0,7,1,1,128");
    EXPECT_EQ(f.token11, 7);
    EXPECT_TRUE(f.digitsOnly);
    EXPECT_TRUE(f.password);
    EXPECT_EQ(f.extraStyle, 128u);
}

TEST(ComboEntry, PlainAndGroupForms) {
    std::wstring colours = L"1,2,3, 4,5,6, 7,8,9, 10,11,12, 13,14,15, 16,17,18, 1";
    SkinComboBoxRecord plain = ParseComboBoxEntry(1, L"Root, 0, 0, 80, 20, Choose, " + colours + L", Media, Root,, Later");
    EXPECT_FALSE(plain.group);
    EXPECT_EQ(plain.captionColor, RGB(1, 2, 3));
    EXPECT_EQ(plain.borderColor, RGB(16, 17, 18));
    EXPECT_TRUE(plain.translucent);
    EXPECT_EQ(plain.items, (std::vector<std::wstring>{L"Media", L"Root"}));  // stops at the first empty token

    SkinComboBoxRecord group =
        ParseComboBoxEntry(1, L"Search, 0, 0, 80, 20, GROUPFind, " + colours + L", PICS, 5, 6, 70, 18, One");
    EXPECT_TRUE(group.group);
    EXPECT_EQ(group.tooltip, L"Find");
    EXPECT_EQ(group.picturesEnum, L"PICS");
    EXPECT_TRUE(group.hasMoveRect);
    EXPECT_TRUE(SameRect(group.moveRect, 5, 6, 75, 24));
    EXPECT_EQ(group.items, (std::vector<std::wstring>{L"One"}));
}

TEST(OtherEntries, StaticTextListBoxImageFontAndAppView) {
    SkinStaticTextRecord s = ParseStaticTextEntry(4, L"Hello, 1, 2, 3, 4, 12, 700, 37, 10, 20, 30");
    EXPECT_EQ(s.text, L"Hello");
    EXPECT_EQ(s.weight, 700);
    EXPECT_EQ(s.color, RGB(10, 20, 30));
    SkinListBoxRecord l = ParseListBoxEntry(1, L"list, 0, 0, 5, 5, 1, 2, 3, a, b, zz");
    EXPECT_EQ(l.name, L"LIST");
    EXPECT_EQ(l.token11, L"ZZ");
    SkinImageEntry i = ParseImageEntry(L"thumb, 1, 2, 3, 4");
    EXPECT_EQ(i.name, L"THUMB");
    EXPECT_TRUE(SameRect(i.rect, 1, 2, 4, 6));

    std::wstring longName(300, L'n');
    SkinFontStyleRecord f = ParseFontStyleEntry(longName + L", 9, 700, Arial, 1, 0, 37, 1, 1,2,3, 1, 2, 5,0,0,0, "
                                                           L"10,11,12, 13,14,15, 16,17,18, 19,20,21, 1,1,1,1, 2,2,2,2");
    EXPECT_EQ(f.name.size(), 259u);
    EXPECT_EQ(f.weight, 700);
    EXPECT_TRUE(f.underline);
    EXPECT_EQ(f.shadowColor, RGB(1, 2, 3));
    EXPECT_EQ(f.insets.left, 5);
    EXPECT_EQ(f.textDisabled, RGB(19, 20, 21));
    EXPECT_EQ(f.pressedInsets.bottom, 2);

    SkinAppViewRecord v = ParseAppViewEntry(1, L"FileListView, 10, 20, 300, 200, a, b");
    EXPECT_EQ(v.name, L"FileListView");
    EXPECT_TRUE(SameRect(v.rect, 10, 20, 310, 220));
    EXPECT_EQ(v.parameter, L"a, b");
    EXPECT_TRUE(ParseAppViewEntry(1, L"SplitterBar, 1, 2, 3, 4").parameter.empty());
}

TEST(BorderLayout, FivePieceAndThreePieceStrips) {
    SkinWindowRecord w;
    w.top = ParseBorderParam(L"200, 30, 20, 10, 120, 10");
    w.left = ParseBorderParam(L"8, 100, 50, 10, 90, 5");
    w.bottom = ParseBorderParam(L"200, 12, 40, 20, 0, 0");
    w.right = ParseBorderParam(L"6, 100, 60, 4, 0, 0");
    SkinBorderLayout b = ComputeBorderLayout(w);
    EXPECT_TRUE(b.topHasTile2);
    EXPECT_TRUE(SameRect(b.top[SkinBorderLayout::kFirst], 0, 0, 20, 30));
    EXPECT_TRUE(SameRect(b.top[SkinBorderLayout::kTile1], 20, 0, 30, 30));
    EXPECT_TRUE(SameRect(b.top[SkinBorderLayout::kMiddle], 30, 0, 120, 30));
    EXPECT_TRUE(SameRect(b.top[SkinBorderLayout::kTile2], 120, 0, 130, 30));
    EXPECT_TRUE(SameRect(b.top[SkinBorderLayout::kLast], 130, 0, 200, 30));
    EXPECT_TRUE(SameRect(b.left[SkinBorderLayout::kFirst], 0, 30, 8, 50));
    EXPECT_TRUE(SameRect(b.left[SkinBorderLayout::kMiddle], 0, 60, 8, 90));
    EXPECT_TRUE(SameRect(b.left[SkinBorderLayout::kLast], 0, 95, 8, 130));
    // Bottom strip sits under the side strips and has three pieces.
    EXPECT_FALSE(b.bottomHasTile2);
    EXPECT_TRUE(SameRect(b.bottom[SkinBorderLayout::kFirst], 0, 130, 40, 142));
    EXPECT_TRUE(SameRect(b.bottom[SkinBorderLayout::kLast], 60, 130, 200, 142));
    EXPECT_TRUE(::IsRectEmpty(&b.bottom[SkinBorderLayout::kMiddle]));
    // Right strip without b: lower piece starts after the first tile.
    EXPECT_FALSE(b.rightHasTile2);
    EXPECT_TRUE(SameRect(b.right[SkinBorderLayout::kLast], 194, 64, 200, 130));
    EXPECT_TRUE(SameRect(b.centre, 8, 30, 194, 130));
    EXPECT_EQ(b.leftWidth, 8);
    EXPECT_EQ(b.bottomHeight, 12);
}

TEST(BorderLayout, MissingKeysLeaveEmptyBordersAndHostileNumbersDoNotOverflow) {
    SkinWindowRecord w;
    SkinBorderLayout empty = ComputeBorderLayout(w);
    EXPECT_EQ(empty.topHeight, 0);
    EXPECT_TRUE(::IsRectEmpty(&empty.top[SkinBorderLayout::kFirst]));
    w.top = ParseBorderParam(L"2147483647, 2147483647, 2147483647, 2147483647, -2147483648, 2147483647");
    w.right = ParseBorderParam(L"-2147483648, 5, 0, 0, 0, 0");
    SkinBorderLayout b = ComputeBorderLayout(w);
    EXPECT_EQ(b.right[SkinBorderLayout::kFirst].left, INT_MAX);
}

// Random values fed straight to every entry parser (no file in between).
TEST(EntryParsers, RandomValuesParseSafely) {
    std::mt19937 rng(4242);
    const std::vector<std::wstring> pieces = {L",", L"\"", L" ", L"\t", L"-", L"2147483647", L"-2147483648",
                                              L"99999999999", L"0", L"1", L"65536", L"group", L"T", L"H", L"\\n",
                                              L"x", L"\x4F60"};
    for (int round = 0; round < 3000; ++round) {
        std::wstring v;
        int n = static_cast<int>(rng() % 80);
        for (int i = 0; i < n; ++i) v += pieces[rng() % pieces.size()];
        ParseImageEntry(v);
        ParseFontStyleEntry(v);
        ParseButtonEntry(1, v);
        ParseLabelEntry(1, v);
        ParseTrackbarEntry(1, v);
        ParseProgressEntry(1, v);
        ParseEditEntry(1, v);
        ParseListBoxEntry(1, v);
        SkinComboBoxRecord c = ParseComboBoxEntry(1, v);
        EXPECT_LE(c.items.size(), v.size() / 2 + 1);
        ParseStaticTextEntry(1, v);
        ParseAppViewEntry(1, v);
        ParseBorderParam(v);
        CSkinEnum e;
        e.Parse(v);
        EXPECT_LE(static_cast<long long>(e.List().size()), CSkinEnum::kMaxItems);
        e.Item(static_cast<int>(rng()));
    }
}
