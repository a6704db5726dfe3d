// The shipped skin (bin\skins\default\skin.ini) read with the engine's own
// readers: its pictures load, the main window is a resizable frame whose
// minimum size keeps the header whole, every command has its control, and the
// views fill the content area.
#include <gtest/gtest.h>
#include <ole2.h>

#include <algorithm>
#include <string>
#include <vector>

#include "skin/SkinFontManager.h"
#include "skin/SkinImage.h"
#include "skin/SkinReader.h"
#include "tests/skin/SkinTestFiles.h"
#include "tests/support/TestPaths.h"

using namespace nsSkin;
using Piece = SkinBorderLayout::Piece;

namespace {

int W(const RECT& r) { return SkinBorderLayout::Width(r); }
int H(const RECT& r) { return SkinBorderLayout::Height(r); }
bool Inside(const RECT& r, int width, int height) {
    return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height && r.left < r.right &&
           r.top < r.bottom;
}
bool Overlap(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
long long Area(const RECT& r) { return static_cast<long long>(W(r)) * H(r); }

class DefaultSkinTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::OleInitialize(nullptr);
        folder_ = testsupport::ProgramDirectory() + L"skins\\default\\";
        profile_.SetPath(folder_ + L"skin.ini");
        ASSERT_TRUE(profile_.Exists()) << "the build copies skins\\ beside the program";
        desc_ = ReadWindowDescription(profile_, L"MAINDLG");
        layout_ = ComputeBorderLayout(desc_.window);
        main_ = LoadImageFile(folder_ + desc_.window.main);
        ASSERT_TRUE(main_) << "Main picture";
        size_ = BitmapSize(main_.get());
    }
    void TearDown() override { ::OleUninitialize(); }

    const SkinButtonRecord* Button(const std::wstring& name) const {
        for (const auto& b : desc_.buttons)
            if (EqualsNoCase(b.name, name)) return &b;
        return nullptr;
    }
    const SkinAppViewRecord* View(const std::wstring& name) const {
        for (const auto& v : desc_.appViews)
            if (EqualsNoCase(v.name, name)) return &v;
        return nullptr;
    }
    // The minimum track size the application dialog derives from the pieces.
    SIZE MinimumSize() const {
        const auto& b = layout_;
        int top = W(b.top[Piece::kFirst]) + W(b.top[Piece::kMiddle]) + W(b.top[Piece::kLast]);
        int bottom = W(b.bottom[Piece::kFirst]) + W(b.bottom[Piece::kMiddle]) + W(b.bottom[Piece::kLast]);
        auto side = [&](const RECT* s) {
            return b.topHeight + b.bottomHeight + H(s[Piece::kFirst]) + H(s[Piece::kLast]) + H(s[Piece::kTile1]) +
                   H(s[Piece::kTile2]);
        };
        return SIZE{std::max(top, bottom), std::max(side(b.left), side(b.right))};
    }

    std::wstring folder_;
    CSkinProfile profile_;
    SkinWindowDescription desc_;
    SkinBorderLayout layout_;
    platform::UniqueBitmap main_;
    SIZE size_{};
};

TEST_F(DefaultSkinTest, MainWindowIsAFrameWithFourStatePicturesAndBorderPieces) {
    const SkinWindowRecord& w = desc_.window;
    EXPECT_EQ(w.windowType, 0);
    for (const std::wstring* name : {&w.over, &w.down, &w.disabled}) {
        ASSERT_FALSE(name->empty());
        EXPECT_NE(*name, w.main) << "each state has a picture of its own";
        platform::UniqueBitmap state = LoadImageFile(folder_ + *name);
        ASSERT_TRUE(state) << *name;
        SIZE s = BitmapSize(state.get());
        EXPECT_EQ(s.cx, size_.cx);
        EXPECT_EQ(s.cy, size_.cy);
    }
    // Control rects are in Main's coordinates, so the window starts at Main's size.
    ASSERT_TRUE(w.hasInitSize);
    EXPECT_EQ(W(w.initSize), size_.cx);
    EXPECT_EQ(H(w.initSize), size_.cy);

    ASSERT_TRUE(w.top.present && w.left.present && w.bottom.present && w.right.present);
    EXPECT_EQ(layout_.topWidth, size_.cx);
    EXPECT_EQ(layout_.topHeight + layout_.leftHeight + layout_.bottomHeight, size_.cy);
    EXPECT_EQ(layout_.leftHeight, layout_.rightHeight);
    for (const RECT* strip : {layout_.top, layout_.left, layout_.bottom, layout_.right}) {
        EXPECT_GT(W(strip[Piece::kTile1]) * H(strip[Piece::kTile1]), 0) << "every strip can stretch";
        for (int p = 0; p < Piece::kPieceCount; ++p) {
            if (W(strip[p]) && H(strip[p])) {
                EXPECT_TRUE(Inside(strip[p], size_.cx, size_.cy));
            }
        }
    }

    SIZE least = MinimumSize();
    EXPECT_LE(least.cx, size_.cx);
    EXPECT_LE(least.cy, size_.cy);
    EXPECT_GE(least.cx, 500) << "room for the sidebar and the list";
    EXPECT_GE(least.cy, 340);

    // Each static text also sets the fill colour; the title's colour is the fill on purpose.
    ASSERT_NE(w.otherColor, kNoColor);
    ASSERT_FALSE(desc_.staticTexts.empty());
    EXPECT_EQ(desc_.staticTexts.back().color, w.otherColor);

    std::wstring area = profile_.ReadString(L"MAINDLG", L"TitleDBClkArea");
    std::wstring_view rest = area;
    RECT title = ParseSkinRect(rest);
    EXPECT_TRUE(Inside(title, size_.cx, layout_.topHeight));
}

TEST_F(DefaultSkinTest, EveryCommandHasItsControl) {
    for (const wchar_t* name : {L"CopyToPC", L"CopyFileToDevice", L"CopyFolderToDevice", L"CreateFolder",
                                L"RenamePath", L"DeleteFromDevice", L"CheckUpdateNow", L"About", L"Help", L"Minimize", L"Up", L"Refresh", L"CancelCopy",
                                L"Maximize", L"Power_Off"}) {
        const SkinButtonRecord* b = Button(name);
        ASSERT_NE(b, nullptr) << name;
        EXPECT_FALSE(b->tooltip.empty()) << name;
        EXPECT_FALSE(b->toggle || b->group) << name;
        EXPECT_TRUE(Inside(b->rect, size_.cx, size_.cy)) << name;
    }
    for (size_t i = 0; i < desc_.buttons.size(); ++i)
        for (size_t j = i + 1; j < desc_.buttons.size(); ++j) {
            EXPECT_FALSE(EqualsNoCase(desc_.buttons[i].name, desc_.buttons[j].name));
            EXPECT_FALSE(Overlap(desc_.buttons[i].rect, desc_.buttons[j].rect));
        }

    ASSERT_EQ(desc_.labels.size(), 1u);
    EXPECT_EQ(desc_.labels[0].name, L"Information");
    ASSERT_FALSE(desc_.progressBars.empty());
    EXPECT_EQ(desc_.progressBars[0].name, L"CopyProgress") << "the main window anchors the first progress bar";
    EXPECT_TRUE(desc_.progressBars[0].horizontal);

    // A button always asks for root 0, so the root choice is a drop-down: item 0 media, item 1 root.
    ASSERT_EQ(desc_.comboBoxes.size(), 1u);
    const SkinComboBoxRecord& combo = desc_.comboBoxes[0];
    EXPECT_EQ(combo.name, L"SpecifyFolder");
    EXPECT_FALSE(combo.group);
    ASSERT_EQ(combo.items.size(), 2u);
    EXPECT_NE(combo.items[0].find(L"/var/mobile/Media"), std::wstring::npos);
    EXPECT_NE(combo.items[1].find(L"(/)"), std::wstring::npos);
}

TEST_F(DefaultSkinTest, CaptionStylesExistAndMakeFonts) {
    CSkinFontManager fonts;
    ASSERT_EQ(fonts.Load(profile_.Path(), nullptr), 1);
    int captions = 0;
    for (const auto& b : desc_.buttons) {
        if (b.caption.empty()) continue;
        ++captions;
        const _SKIN_FONT_INFO* style = fonts.Lookup(b.captionStyle);
        ASSERT_NE(style, nullptr) << b.name;
        EXPECT_TRUE(style->font) << b.name;
        EXPECT_NE(style->textNormal, style->textDisabled) << "disabled captions look disabled";
    }
    EXPECT_EQ(captions, 7);
}

TEST_F(DefaultSkinTest, HeaderAndStatusBarControlsStayInTheirCorners) {
    const int topLeft = W(layout_.top[Piece::kFirst]), topRight = W(layout_.top[Piece::kLast]);
    const int bottomLeft = W(layout_.bottom[Piece::kFirst]), bottomRight = W(layout_.bottom[Piece::kLast]);
    const int statusTop = size_.cy - layout_.bottomHeight;
    const SIZE least = MinimumSize();
    const SkinAppViewRecord* list = View(L"FileListCtrl");
    ASSERT_NE(list, nullptr);
    for (const auto& b : desc_.buttons) {
        if (EqualsNoCase(b.name, L"Up") || EqualsNoCase(b.name, L"Refresh")) {
            // The row above the list; below the header, so they stay where they are.
            EXPECT_GE(b.rect.top, layout_.topHeight) << b.name;
            EXPECT_LE(b.rect.bottom, list->rect.top) << b.name;
            EXPECT_GE(b.rect.left, list->rect.left) << b.name;
            EXPECT_GE(b.rect.left, topLeft) << b.name;
            continue;
        }
        if (EqualsNoCase(b.name, L"CancelCopy")) {
            // Moves with the progress bar beside it.
            EXPECT_GE(b.rect.top, statusTop);
            EXPECT_GE(b.rect.left, size_.cx - bottomRight);
            continue;
        }
        ASSERT_LT(b.rect.bottom, layout_.topHeight) << "the other buttons live in the header";
        if (EqualsNoCase(b.name, L"About")) {
            // The main window keeps About centred; so does the middle piece under it.
            EXPECT_EQ(b.rect.left + b.rect.right, size_.cx);
            EXPECT_GE(b.rect.left, layout_.top[Piece::kMiddle].left);
            EXPECT_LE(b.rect.right, layout_.top[Piece::kMiddle].right);
            int x = (least.cx - W(b.rect)) / 2;
            RECT atLeast{x, b.rect.top, x + W(b.rect), b.rect.bottom};
            for (const auto& t : desc_.staticTexts) EXPECT_FALSE(Overlap(atLeast, t.rect));
            EXPECT_GE(atLeast.left, 0);
            EXPECT_LE(atLeast.right, least.cx - topRight) << "clear of the right corner at the minimum width";
        } else {
            EXPECT_TRUE(b.rect.right <= topLeft || b.rect.left >= size_.cx - topRight) << b.name;
        }
    }
    for (const auto& t : desc_.staticTexts) EXPECT_LE(t.rect.right, topLeft);
    const RECT& info = desc_.labels[0].rect;
    EXPECT_GE(info.top, statusTop);
    EXPECT_LE(info.right, bottomLeft);
    const RECT& bar = desc_.progressBars[0].rect;
    EXPECT_GE(bar.top, statusTop);
    EXPECT_GE(bar.left, size_.cx - bottomRight);
}

TEST_F(DefaultSkinTest, ViewsFillTheContentArea) {
    const SkinAppViewRecord* tree = View(L"FileTreeView");
    const SkinAppViewRecord* splitter = View(L"SplitterBar");
    const SkinAppViewRecord* list = View(L"FileListCtrl");
    ASSERT_TRUE(tree && splitter && list);
    const RECT content{layout_.leftWidth, layout_.topHeight, size_.cx - layout_.rightWidth,
                       size_.cy - layout_.bottomHeight};
    const RECT& combo = desc_.comboBoxes[0].rect;
    // The root chooser sits over the tree, in the band between the header and the tree.
    const RECT chooserBand{tree->rect.left, content.top, tree->rect.right, tree->rect.top};
    EXPECT_TRUE(combo.left >= chooserBand.left && combo.right <= chooserBand.right && combo.top >= chooserBand.top &&
                combo.bottom <= chooserBand.bottom);
    const RECT navigationBand{list->rect.left, content.top, list->rect.right, list->rect.top};
    std::vector<RECT> parts{tree->rect, splitter->rect, list->rect, chooserBand, navigationBand};
    long long covered = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        EXPECT_GE(parts[i].left, content.left);
        EXPECT_GE(parts[i].top, content.top);
        EXPECT_LE(parts[i].right, content.right);
        EXPECT_LE(parts[i].bottom, content.bottom);
        covered += Area(parts[i]);
        for (size_t j = i + 1; j < parts.size(); ++j) EXPECT_FALSE(Overlap(parts[i], parts[j]));
    }
    EXPECT_EQ(covered, Area(content));

    // Tree: "bitmap r g b r g b"; the bitmap reaches under the tree's rect.
    std::wstring param = tree->parameter;
    std::replace(param.begin(), param.end(), L',', L' ');
    std::wstring bitmap = param.substr(0, param.find(L' '));
    platform::UniqueBitmap background = LoadImageFile(folder_ + bitmap);
    ASSERT_TRUE(background) << bitmap;
    SIZE bs = BitmapSize(background.get());
    EXPECT_GE(bs.cx, tree->rect.right);
    EXPECT_GE(bs.cy, tree->rect.bottom);

    // List: number, three header pictures, four colours, a width for each of the five columns.
    std::vector<std::wstring> tokens;
    std::wstring_view rest = list->parameter;
    while (!rest.empty()) tokens.push_back(PopToken(rest));
    ASSERT_EQ(tokens.size(), 21u);
    for (int i = 1; i <= 3; ++i) EXPECT_TRUE(LoadImageFile(folder_ + tokens[i])) << tokens[i];
    for (int i = 16; i < 21; ++i) EXPECT_GT(SkinToInt(tokens[i]), 0);

    EXPECT_NE(profile_.ReadString(L"SplitterBar", L"BKColor"), L"");
    std::vector<std::wstring> scrollKeys;
    EXPECT_TRUE(profile_.GetKeyNames(L"SCROLLBAR", scrollKeys));
}

TEST_F(DefaultSkinTest, ChosenPixels) {
    // A dark header over a light content area and status bar.
    COLORREF header = skintest::PixelOf(main_.get(), size_.cx / 2 + 100, 20);
    COLORREF status = skintest::PixelOf(main_.get(), size_.cx / 2, size_.cy - 10);
    EXPECT_LT(GetRValue(header) + GetGValue(header) + GetBValue(header), 3 * 64);
    EXPECT_GT(GetRValue(status) + GetGValue(status) + GetBValue(status), 3 * 200);
    EXPECT_EQ(skintest::PixelOf(main_.get(), 0, size_.cy / 2), skintest::PixelOf(main_.get(), size_.cx - 1, size_.cy / 2));

    // Hover and press change a toolbar button's background; its normal picture is the bare header.
    const SkinButtonRecord* copy = Button(L"CopyToPC");
    ASSERT_NE(copy, nullptr);
    platform::UniqueBitmap over = LoadImageFile(folder_ + desc_.window.over);
    platform::UniqueBitmap down = LoadImageFile(folder_ + desc_.window.down);
    int x = copy->rect.left + 4, y = copy->rect.bottom - 4;
    COLORREF normal = skintest::PixelOf(main_.get(), x, y);
    EXPECT_NE(skintest::PixelOf(over.get(), x, y), normal);
    EXPECT_NE(skintest::PixelOf(down.get(), x, y), normal);
    EXPECT_NE(skintest::PixelOf(over.get(), x, y), skintest::PixelOf(down.get(), x, y));
}

}  // namespace
