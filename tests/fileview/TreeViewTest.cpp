// The folder tree: root and paths, lazy growth, the ten-level cut, child
// search, events from real clicks, layout and painting over the picture.
#include <gtest/gtest.h>

#include <cstring>

#include "fileview/CFileTreeCtrlView.h"
#include "fileview/FileViewText.h"
#include "framework/CommandArgs.h"
#include "tests/fileview/FileViewFixtures.h"

using namespace fvtest;

namespace {

platform::UniqueBitmap SolidBitmap(int width, int height, COLORREF colour) {
    platform::WindowDC screen(nullptr);
    platform::UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
    platform::UniqueMemoryDC dc(::CreateCompatibleDC(screen.get()));
    platform::SelectGuard sel(dc.get(), bitmap.get());
    platform::UniqueBrush brush(::CreateSolidBrush(colour));
    RECT all{0, 0, width, height};
    ::FillRect(dc.get(), &all, brush.get());
    return bitmap;
}

class TreeViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.hwnd());
        RECT rect{10, 20, 210, 500};
        ASSERT_TRUE(tree.Create(rect, host.hwnd(), nullptr, SolidBitmap(200, 480, kPicture), RGB(0, 0, 0),
                                RGB(197, 197, 197), &settings, &sink));
    }
    // Root /var/mobile/Media with its listing inserted, as a device arrival does.
    void ShowMedia() {
        tree.SetRoot(L"/var/mobile/Media");
        tag_DirectoryFileTree media = MediaListing();
        tree.InsertFolders(&media, false);
        sink.events.clear();
        settings.writes.clear();
    }
    HTREEITEM Child(HTREEITEM parent, const std::wstring& text) {
        for (HTREEITEM c = tree.GetChildItem(parent); c; c = tree.GetNextSiblingItem(c))
            if (tree.GetItemText(c) == text) return c;
        return nullptr;
    }
    POINT CentreOf(HTREEITEM item) {
        // TVM_GETITEMRECT takes the item in the rectangle's first bytes.
        RECT rect{};
        std::memcpy(&rect, &item, sizeof(item));
        tree.SendMessage(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    static constexpr COLORREF kPicture = RGB(0, 200, 0);
    HostWindow host;
    FakeSettings settings;
    RecordingSink sink;
    CFileTreeCtrlView tree;
};

TEST(TreeRoot, MediaPathGetsSlashAndMediaLabel) {
    CFileTreeCtrlView tree;
    EXPECT_EQ(1, tree.SetRoot(L"/var/mobile/Media"));
    EXPECT_EQ(L"/var/mobile/Media/", tree.RootPath());
    EXPECT_EQ(L"Media", tree.RootLabel());
    EXPECT_EQ(1, tree.SetRoot(L"/"));
    EXPECT_EQ(L"/", tree.RootPath());
    EXPECT_EQ(L"Root", tree.RootLabel());
    // The label test is case-sensitive.
    tree.SetRoot(L"/var/mobile/media");
    EXPECT_EQ(L"Root", tree.RootLabel());
    EXPECT_EQ(0, tree.SetRoot(L""));
    EXPECT_EQ(L"/var/mobile/media/", tree.RootPath());
}

TEST(TreeParam, WithAndWithoutCommas) {
    TreeLook plain = ParseTreeParam(L"treebk.bmp");
    EXPECT_EQ(L"treebk.bmp", plain.bitmapName);
    EXPECT_EQ(::GetSysColor(COLOR_WINDOWTEXT), plain.textColour);
    EXPECT_EQ(RGB(197, 197, 197), plain.backgroundColour);

    TreeLook full = ParseTreeParam(L"treebk.bmp,255,255,255, 10,20,30");
    EXPECT_EQ(L"treebk.bmp", full.bitmapName);
    EXPECT_EQ(RGB(255, 255, 255), full.textColour);
    EXPECT_EQ(RGB(10, 20, 30), full.backgroundColour);

    // An incomplete colour is not half taken.
    TreeLook partial = ParseTreeParam(L"bk.bmp,1,2,3,4");
    EXPECT_EQ(RGB(1, 2, 3), partial.textColour);
    EXPECT_EQ(RGB(197, 197, 197), partial.backgroundColour);
    EXPECT_TRUE(ParseTreeParam(L"").bitmapName.empty());
}

TEST_F(TreeViewTest, WindowHasIdentifierStylesAndKeyColour) {
    EXPECT_EQ(4113, ::GetDlgCtrlID(tree.hwnd()));
    LONG style = ::GetWindowLongW(tree.hwnd(), GWL_STYLE);
    for (LONG bit : std::initializer_list<LONG>{WS_CHILD, WS_VISIBLE, WS_TABSTOP, TVS_HASBUTTONS, TVS_HASLINES, TVS_LINESATROOT,
                     TVS_DISABLEDRAGDROP, TVS_SHOWSELALWAYS, TVS_FULLROWSELECT})
        EXPECT_EQ(bit, style & bit) << std::hex << bit;
    EXPECT_EQ(CBkTreeCtrl::kKeyColour, static_cast<COLORREF>(tree.SendMessage(TVM_GETBKCOLOR)));
    EXPECT_EQ(tree.hwnd(), tree.GetViewWindow());
    wchar_t name[64] = {};
    EXPECT_EQ(S_OK, tree.GetViewName(name, 64));
    EXPECT_STREQ(L"FileTreeView", name);
}

TEST_F(TreeViewTest, FirstInsertionMakesTheLabelledRootAndSelectsIt) {
    tree.SetRoot(L"/var/mobile/Media");
    tag_DirectoryFileTree media = MediaListing();
    tree.InsertFolders(&media, false);
    HTREEITEM root = tree.GetRootItem();
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(root, tree.RootItem());
    EXPECT_EQ(L"Media", tree.GetItemText(root));
    EXPECT_EQ(root, tree.GetSelectedItem());
    EXPECT_TRUE(tree.IsExpanded(root));
    EXPECT_EQ(L"/var/mobile/Media/", tree.GetCurrentPath());
    // Folders only: Media, DCIM, 100APPLE, Music.
    EXPECT_EQ(4u, tree.GetCount());
    EXPECT_NE(nullptr, Child(root, L"DCIM"));
    EXPECT_EQ(nullptr, Child(root, L"notes.txt"));
    // The root's own selection reports, but writes no setting.
    EXPECT_EQ(std::vector<int>{FileOp_TreeSelChanged}, sink.Codes());
    EXPECT_TRUE(settings.writes.empty());
}

TEST_F(TreeViewTest, SelectionPathsAndSettings) {
    ShowMedia();
    HTREEITEM dcim = Child(tree.RootItem(), L"DCIM");
    ASSERT_TRUE(tree.SelectItem(dcim));
    EXPECT_EQ(L"/var/mobile/Media/DCIM/", tree.GetCurrentPath());
    ASSERT_EQ(2u, settings.writes.size());
    EXPECT_EQ(L"CurrentPathSelected", settings.writes[0].first);
    EXPECT_EQ(L"/var/mobile/Media/DCIM/", settings.writes[0].second);
    EXPECT_EQ(L"CurrentFileNameSelected", settings.writes[1].first);
    EXPECT_EQ(L"", settings.writes[1].second);

    ASSERT_TRUE(tree.SelectItem(Child(dcim, L"100APPLE")));
    EXPECT_EQ(L"/var/mobile/Media/DCIM/100APPLE/", tree.GetCurrentPath());

    settings.writes.clear();
    ASSERT_TRUE(tree.SelectItem(tree.RootItem()));
    EXPECT_EQ(L"/var/mobile/Media/", tree.GetCurrentPath());
    EXPECT_TRUE(settings.writes.empty());
    EXPECT_EQ((std::vector<int>{7, 7, 7}), sink.Codes());
}

TEST_F(TreeViewTest, DeviceRootPathsHaveOneSlash) {
    tree.SetRoot(L"/");
    tag_DirectoryFileTree top = Folder(L"", {Folder(L"var", {Folder(L"mobile")}), Folder(L"private")});
    tree.InsertFolders(&top, false);
    EXPECT_EQ(L"Root", tree.GetItemText(tree.RootItem()));
    tree.SelectItem(Child(Child(tree.RootItem(), L"var"), L"mobile"));
    EXPECT_EQ(L"/var/mobile/", tree.GetCurrentPath());
}

TEST_F(TreeViewTest, LazyGrowthUnderTheSelection) {
    ShowMedia();
    HTREEITEM music = Child(tree.RootItem(), L"Music");
    tree.SelectItem(music);
    tag_DirectoryFileTree listing = Folder(L"Music", {Folder(L"iTunes"), File(L"a.mp3", 5), Folder(L"Podcasts")});
    tree.InsertFolders(&listing, true);
    EXPECT_NE(nullptr, Child(music, L"iTunes"));
    EXPECT_NE(nullptr, Child(music, L"Podcasts"));
    EXPECT_EQ(music, tree.GetSelectedItem());
    EXPECT_EQ(L"/var/mobile/Media/Music/", tree.GetCurrentPath());

    // A node of files only adds nothing.
    HTREEITEM podcasts = Child(music, L"Podcasts");
    tree.SelectItem(podcasts);
    tag_DirectoryFileTree files = Folder(L"Podcasts", {File(L"one.mp3", 1), File(L"two.mp3", 2)});
    UINT before = tree.GetCount();
    tree.InsertFolders(&files, true);
    EXPECT_EQ(before, tree.GetCount());
    EXPECT_FALSE(tree.ItemHasChildren(podcasts));
}

TEST_F(TreeViewTest, OneInsertionAddsAtMostTenLevels) {
    tag_DirectoryFileTree deep = Folder(L"L12");
    for (int level = 11; level >= 1; --level) deep = Folder(L"L" + std::to_wstring(level), {std::move(deep)});
    tree.SetRoot(L"/");
    tree.InsertFolders(&deep, false);
    EXPECT_EQ(10u, tree.GetCount());

    // Under a selection, every child of the listing starts its own ten levels.
    HTREEITEM item = tree.RootItem();
    for (int level = 2; level <= 10; ++level) item = tree.GetChildItem(item);
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(L"L10", tree.GetItemText(item));
    EXPECT_EQ(nullptr, tree.GetChildItem(item));
}

TEST_F(TreeViewTest, ChildSearchIsExactAndDeleteNeedsASelection) {
    EXPECT_EQ(0, tree.DeleteChildrenOfSelection());
    EXPECT_EQ(nullptr, tree.FindChildOfSelection(L"DCIM"));
    ShowMedia();
    EXPECT_NE(nullptr, tree.FindChildOfSelection(L"DCIM"));
    EXPECT_EQ(nullptr, tree.FindChildOfSelection(L"dcim"));
    EXPECT_EQ(nullptr, tree.FindChildOfSelection(L""));
    tree.SelectItem(Child(tree.RootItem(), L"Music"));
    EXPECT_EQ(nullptr, tree.FindChildOfSelection(L"DCIM"));  // a selection without children

    tree.SelectItem(tree.RootItem());
    EXPECT_EQ(1, tree.DeleteChildrenOfSelection());
    EXPECT_EQ(1u, tree.GetCount());
    EXPECT_TRUE(tree.Clear());
    EXPECT_EQ(0u, tree.GetCount());
    EXPECT_EQ(nullptr, tree.RootItem());
}

TEST_F(TreeViewTest, ClicksOnRowsRaiseOnlySelectionEvents) {
    ShowMedia();
    HTREEITEM music = Child(tree.RootItem(), L"Music");
    POINT at = CentreOf(music);
    LPARAM lp = MAKELPARAM(at.x, at.y);
    // Posted: the control waits in a loop of its own for the release after a press.
    tree.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, lp);
    tree.PostMessage(WM_LBUTTONUP, 0, lp);
    Pump();
    EXPECT_EQ(music, tree.GetSelectedItem());
    EXPECT_EQ(L"/var/mobile/Media/Music/", tree.GetCurrentPath());
    EXPECT_EQ(std::vector<int>{FileOp_TreeSelChanged}, sink.Codes());

    // Right-clicks and double-clicks on the same row raise nothing; keys go to the module, which knows their commands.
    sink.events.clear();
    tree.PostMessage(WM_RBUTTONDOWN, MK_RBUTTON, lp);
    tree.PostMessage(WM_RBUTTONUP, 0, lp);
    tree.PostMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, lp);
    tree.PostMessage(WM_LBUTTONUP, 0, lp);
    Pump();
    EXPECT_TRUE(sink.events.empty());
    tree.PostMessage(WM_KEYDOWN, VK_F5, 0);
    Pump();
    ASSERT_EQ(std::vector<int>{FileOp_ListKeyDown}, sink.Codes());
    EXPECT_EQ(VK_F5, sink.events[0].a);
    sink.events.clear();

    // A click on empty space below the rows keeps the selection.
    RECT client = tree.GetClientRect();
    tree.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, client.bottom - 5));
    tree.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, client.bottom - 5));
    Pump();
    EXPECT_EQ(music, tree.GetSelectedItem());
    EXPECT_TRUE(sink.events.empty());
}

TEST_F(TreeViewTest, ExpandingAndCollapsingLeaveTheTreeDrawing) {
    ShowMedia();
    HTREEITEM dcim = Child(tree.RootItem(), L"DCIM");
    ASSERT_TRUE(tree.Expand(dcim, TVE_EXPAND));
    EXPECT_TRUE(tree.IsExpanded(dcim));
    ASSERT_TRUE(tree.Expand(dcim, TVE_COLLAPSE));
    // A vetoed or empty expansion sends no "expanded"; the tree must still draw.
    tree.Expand(Child(tree.RootItem(), L"Music"), TVE_EXPAND);
    Pump();
    RECT client = tree.GetClientRect();
    platform::WindowDC screen(nullptr);
    platform::UniqueMemoryDC dc(::CreateCompatibleDC(screen.get()));
    platform::UniqueBitmap canvas(::CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    platform::SelectGuard sel(dc.get(), canvas.get());
    tree.Render(dc.get());
    int drawn = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < client.right; ++x)
            if (::GetPixel(dc.get(), x, y) != kPicture) ++drawn;
    EXPECT_GT(drawn, 20);
    EXPECT_TRUE(sink.events.empty());  // expanding is no selection change
}

TEST_F(TreeViewTest, LayoutKeepsMarginsAndWidth) {
    // Created at (10, 20), 200 wide, in a 600 high host: bottom margin 100.
    RECT parent{0, 0, 1000, 700};
    tree.SendMessage(WM_PELICAN_LAYOUT, 0, reinterpret_cast<LPARAM>(&parent));
    RECT rect = tree.GetWindowRect();
    ::MapWindowPoints(nullptr, host.hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(10, rect.left);
    EXPECT_EQ(20, rect.top);
    EXPECT_EQ(210, rect.right);
    EXPECT_EQ(600, rect.bottom);
}

TEST_F(TreeViewTest, PaintsItemsOverThePictureWithoutTheKeyColour) {
    ShowMedia();
    RECT client = tree.GetClientRect();
    int width = client.right, height = client.bottom;
    platform::WindowDC screen(nullptr);
    platform::UniqueMemoryDC dc(::CreateCompatibleDC(screen.get()));
    platform::UniqueBitmap canvas(::CreateCompatibleBitmap(screen.get(), width, height));
    platform::SelectGuard sel(dc.get(), canvas.get());
    long bitmaps = platform::UniqueBitmap::Live(), dcs = platform::UniqueMemoryDC::Live();
    long brushes = platform::UniqueBrush::Live();
    tree.Render(dc.get());
    // Every context, bitmap and brush of the three-stage paint is gone again.
    EXPECT_EQ(bitmaps, platform::UniqueBitmap::Live());
    EXPECT_EQ(dcs, platform::UniqueMemoryDC::Live());
    EXPECT_EQ(brushes, platform::UniqueBrush::Live());

    // Below the last row the picture shows.
    EXPECT_EQ(kPicture, ::GetPixel(dc.get(), width / 2, height - 3));
    int keyPixels = 0, pictureRows = 0, otherPixels = 0;
    for (int y = 0; y < height; y += 2) {
        for (int x = 0; x < width; x += 2) {
            COLORREF c = ::GetPixel(dc.get(), x, y);
            if (c == CBkTreeCtrl::kKeyColour) ++keyPixels;
            else if (c != kPicture) ++otherPixels;
        }
        if (::GetPixel(dc.get(), width - 3, y) == kPicture) ++pictureRows;
    }
    EXPECT_EQ(0, keyPixels);
    EXPECT_GT(otherPixels, 50);  // the rows' text, lines and icons
    EXPECT_GT(pictureRows, height / 4);
}

TEST_F(TreeViewTest, AViewGrownPastItsPictureContinuesThePictureColour) {
    ShowMedia();
    // The picture was cut at 200 x 480; the window grows, as when maximized.
    ::SetWindowPos(tree.hwnd(), nullptr, 0, 0, 400, 900, SWP_NOMOVE | SWP_NOZORDER);
    RECT client = tree.GetClientRect();
    ASSERT_GT(client.bottom, 480);
    platform::WindowDC screen(nullptr);
    platform::UniqueMemoryDC dc(::CreateCompatibleDC(screen.get()));
    platform::UniqueBitmap canvas(::CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    platform::SelectGuard sel(dc.get(), canvas.get());
    tree.Render(dc.get());
    EXPECT_EQ(kPicture, ::GetPixel(dc.get(), client.right - 3, client.bottom - 3));
    EXPECT_EQ(kPicture, ::GetPixel(dc.get(), client.right - 3, 3));
}

TEST(TransparentCopyTest, MaskedCopyMatchesThePlatformsCopy) {
    platform::WindowDC screen(nullptr);
    auto make = [&](COLORREF fill) { return SolidBitmap(16, 8, fill); };
    platform::UniqueBitmap src = make(CBkTreeCtrl::kKeyColour);
    platform::UniqueMemoryDC srcDc(::CreateCompatibleDC(screen.get()));
    platform::SelectGuard srcSel(srcDc.get(), src.get());
    for (int x = 0; x < 8; ++x) ::SetPixel(srcDc.get(), x, 3, RGB(10, 20, 30));
    ::SetPixel(srcDc.get(), 12, 6, RGB(255, 255, 255));
    ::SetPixel(srcDc.get(), 13, 6, RGB(0, 0, 0));

    platform::UniqueBitmap a = make(RGB(50, 60, 70)), b = make(RGB(50, 60, 70));
    platform::UniqueMemoryDC aDc(::CreateCompatibleDC(screen.get())), bDc(::CreateCompatibleDC(screen.get()));
    platform::SelectGuard aSel(aDc.get(), a.get()), bSel(bDc.get(), b.get());
    MaskedTransparentCopy(aDc.get(), 0, 0, 16, 8, srcDc.get(), CBkTreeCtrl::kKeyColour);
    ::TransparentBlt(bDc.get(), 0, 0, 16, 8, srcDc.get(), 0, 0, 16, 8, CBkTreeCtrl::kKeyColour);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(::GetPixel(bDc.get(), x, y), ::GetPixel(aDc.get(), x, y)) << x << "," << y;
    EXPECT_EQ(RGB(10, 20, 30), ::GetPixel(aDc.get(), 2, 3));
    EXPECT_EQ(RGB(50, 60, 70), ::GetPixel(aDc.get(), 2, 4));
    EXPECT_EQ(RGB(0, 0, 0), ::GetPixel(aDc.get(), 13, 6));
}

}  // namespace
