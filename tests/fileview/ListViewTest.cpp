// The file list: creation, the look from skin tokens, filling, header rules,
// events from real clicks and keys, dropped files, layout.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include "fileview/CFileListCtrlView.h"
#include "fileview/CFileTreeCtrlView.h"
#include "fileview/FileViewText.h"
#include "platform/NaturalOrder.h"
#include "framework/CommandArgs.h"
#include "tests/fileview/FileViewFixtures.h"
#include "tests/support/TestPaths.h"

using namespace fvtest;

namespace {

class ListViewTest : public ::testing::Test {
protected:
    void Make(const std::wstring& param) {
        ASSERT_TRUE(list.Create(RECT{10, 20, 610, 520}, host.hwnd(), param));
        list.SetSettings(&settings);
        list.SetEventSink(&sink);
        ASSERT_TRUE(list.LoadLook());
    }
    int ColumnWidth(int column) { return static_cast<int>(list.SendMessage(LVM_GETCOLUMNWIDTH, column)); }
    POINT RowPoint(int row) {
        RECT rect{};
        rect.left = LVIR_LABEL;
        list.SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
        return {rect.left + 5, (rect.top + rect.bottom) / 2};
    }
    void PostClick(UINT down, UINT up, POINT at) {
        list.PostMessage(down, down == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON, MAKELPARAM(at.x, at.y));
        list.PostMessage(up, 0, MAKELPARAM(at.x, at.y));
    }
    // Drags a header divider from its place to x, as the mouse would.
    void DragDivider(int column, int x) {
        HWND header = list.GetHeaderCtrl();
        RECT item{};
        ::SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        int y = (item.top + item.bottom) / 2;
        ::PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(item.right - 1, y));
        ::PostMessageW(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
        ::PostMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        Pump(100);
    }
    HostWindow host;
    FakeSettings settings;
    RecordingSink sink;
    CFileListCtrlView list;
};

TEST_F(ListViewTest, CreatedAsAReportListThatAcceptsFiles) {
    Make(L"");
    EXPECT_EQ(4105, ::GetDlgCtrlID(list.hwnd()));
    EXPECT_TRUE(::GetWindowLongW(list.hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    LONG style = ::GetWindowLongW(list.hwnd(), GWL_STYLE);
    EXPECT_EQ(LVS_REPORT, style & LVS_TYPEMASK);
    EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
    EXPECT_TRUE(style & LVS_SHAREIMAGELISTS);
    EXPECT_TRUE(list.GetExtendedStyle() & LVS_EX_FULLROWSELECT);
    // The four columns with their titles, alignments and default widths.
    const wchar_t* titles[] = {L"", L"Name", L"Size", L"Type"};
    const int widths[] = {20, 177, 80, 130};
    for (int column = 0; column < 4; ++column) {
        wchar_t title[64] = {};
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT | LVCF_FMT;
        info.pszText = title;
        info.cchTextMax = 64;
        ASSERT_TRUE(list.SendMessage(LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&info)));
        EXPECT_STREQ(titles[column], title);
        EXPECT_EQ(column == 2 ? LVCFMT_RIGHT : LVCFMT_LEFT, info.fmt & LVCFMT_JUSTIFYMASK);
        EXPECT_EQ(widths[column], ColumnWidth(column));
    }
}

TEST_F(ListViewTest, LookFromTokensWithBlanksAfterCommas) {
    Make(L"18, h.bmp, l.bmp, r.bmp, 1,2,3, 4,5,6, 7,8,9, 10,11,12, 22, 200,0, 90");
    EXPECT_EQ(RGB(1, 2, 3), list.EvenRowColor());
    EXPECT_EQ(RGB(4, 5, 6), list.OddRowColor());
    EXPECT_EQ(RGB(7, 8, 9), static_cast<COLORREF>(list.SendMessage(LVM_GETBKCOLOR)));
    EXPECT_EQ(RGB(10, 11, 12), list.GetTextColor());
    // A width of 0 gives the column's default.
    EXPECT_EQ(22, ColumnWidth(0));
    EXPECT_EQ(200, ColumnWidth(1));
    EXPECT_EQ(80, ColumnWidth(2));
    EXPECT_EQ(90, ColumnWidth(3));
}

TEST(HeaderPictures, OnlyWhenAllThreeExist) {
    testsupport::ScratchFolder skin(L"fvhdr");
    ASSERT_TRUE(WriteSolidBmp(skin.path() + L"h.bmp", 4, 4, RGB(1, 1, 1)));
    ASSERT_TRUE(WriteSolidBmp(skin.path() + L"l.bmp", 4, 4, RGB(1, 1, 1)));
    std::wstring paths[3];
    std::wstring folder = skin.path().substr(0, skin.path().size() - 1);  // without the "\"
    EXPECT_FALSE(HeaderPicturePaths(folder, {L"h.bmp", L"l.bmp", L"r.bmp"}, paths));
    EXPECT_FALSE(HeaderPicturePaths(folder, {L"h.bmp", L"l.bmp"}, paths));
    ASSERT_TRUE(WriteSolidBmp(skin.path() + L"r.bmp", 4, 4, RGB(1, 1, 1)));
    ASSERT_TRUE(HeaderPicturePaths(folder, {L"h.bmp", L"l.bmp", L"r.bmp"}, paths));
    EXPECT_EQ(skin.path() + L"h.bmp", paths[0]);
    EXPECT_EQ(skin.path() + L"r.bmp", paths[2]);
    EXPECT_FALSE(HeaderPicturePaths(folder, {L"h.bmp", L"", L"r.bmp"}, paths));
    EXPECT_FALSE(HeaderPicturePaths(folder + L"\\" + std::wstring(300, L'x'), {L"h.bmp", L"l.bmp", L"r.bmp"}, paths));
}

TEST_F(ListViewTest, FillShowsRowsInOrderWithSizesAndIcons) {
    Make(L"");
    list.SetSmallImages(CShellIconCache::SystemSmallImages());
    tag_DirectoryFileTree node = Folder(L"x", {Folder(L"DCIM"), File(L"empty.dat", 0), File(L"a.jpg", 1024),
                                               File(L"b.JPG", 1048575), File(L"c.jpg", 1048576),
                                               File(L"movie.mov", 5ull << 30), File(L"README", 7)});
    list.Fill(&node, true);
    ASSERT_EQ(7, list.GetItemCount());
    std::vector<std::wstring> names, sizes, types;
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(L"", list.GetItemText(row, 0));
        names.push_back(list.GetItemText(row, 1));
        sizes.push_back(list.GetItemText(row, 2));
        types.push_back(list.GetItemText(row, 3));
    }
    EXPECT_EQ((std::vector<std::wstring>{L"DCIM", L"empty.dat", L"a.jpg", L"b.JPG", L"c.jpg", L"movie.mov", L"README"}),
              names);
    EXPECT_EQ((std::vector<std::wstring>{L"", L"0Bytes", L"1.0KB", L"1024.0KB", L"1.0MB", L"5120.0MB", L"7Bytes"}),
              sizes);
    EXPECT_EQ(L"Folder", types[0]);
    EXPECT_EQ(L"File", types[6]);
    // The folder, .dat, .jpg (any case), .mov and README: five questions to the shell.
    EXPECT_EQ(5u, list.Icons().ShellQueries());
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = 2;
    list.SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(list.Icons().FileIcon(L".jpg"), item.iImage);

    // Filling again without clearing appends; with clearing replaces.
    list.Fill(&node, false);
    EXPECT_EQ(14, list.GetItemCount());
    list.Fill(&node, true);
    EXPECT_EQ(7, list.GetItemCount());
}

TEST_F(ListViewTest, HeaderKeepsTheIconColumnAndAMinimumWidth) {
    Make(L"");
    DragDivider(2, 10);  // well below the minimum
    EXPECT_EQ(24, ColumnWidth(2));
    DragDivider(1, 150);
    EXPECT_GT(ColumnWidth(1), 100);
    DragDivider(0, 200);
    EXPECT_EQ(20, ColumnWidth(0));
}

TEST_F(ListViewTest, ClicksKeysAndDropsBecomeEvents) {
    Make(L"");
    tag_DirectoryFileTree node = Folder(L"x", {Folder(L"DCIM"), File(L"a.jpg", 1)});
    list.Fill(&node, true);
    sink.events.clear();

    // Double-click on the file row: a selection change, no open.
    PostClick(WM_LBUTTONDOWN, WM_LBUTTONUP, RowPoint(1));
    PostClick(WM_LBUTTONDBLCLK, WM_LBUTTONUP, RowPoint(1));
    Pump(100);
    std::vector<int> codes = sink.Codes();
    EXPECT_EQ(0, std::count(codes.begin(), codes.end(), FileOp_OpenFolder));
    EXPECT_GT(std::count(codes.begin(), codes.end(), FileOp_ListSelChanged), 0);
    EXPECT_EQ(L"a.jpg", list.GetSelectedName());

    sink.events.clear();
    PostClick(WM_LBUTTONDOWN, WM_LBUTTONUP, RowPoint(0));
    PostClick(WM_LBUTTONDBLCLK, WM_LBUTTONUP, RowPoint(0));
    Pump(100);
    codes = sink.Codes();
    ASSERT_EQ(1, std::count(codes.begin(), codes.end(), FileOp_OpenFolder));
    EXPECT_EQ(L"DCIM", list.GetSelectedName());

    // A right click on empty space still asks for the menu, with the point in list coordinates.
    sink.events.clear();
    RECT client = list.GetClientRect();
    POINT empty{client.right - 20, client.bottom - 20};
    PostClick(WM_RBUTTONDOWN, WM_RBUTTONUP, empty);
    Pump(100);
    // The click on nothing also drops the selection (code 2) before the request.
    codes = sink.Codes();
    ASSERT_EQ(1, std::count(codes.begin(), codes.end(), FileOp_ListRightClick));
    EXPECT_EQ(FileOp_ListRightClick, codes.back());
    EXPECT_EQ(list.hwnd(), reinterpret_cast<HWND>(sink.events.back().a));
    EXPECT_EQ(L"", list.GetSelectedName());

    sink.events.clear();
    list.SendMessage(WM_KEYDOWN, VK_DELETE, 0);
    ASSERT_FALSE(sink.events.empty());
    EXPECT_EQ(FileOp_ListKeyDown, sink.events[0].code);
    EXPECT_EQ(VK_DELETE, sink.events[0].a);

    sink.events.clear();
    HDROP drop = MakeDropHandle({L"C:\\one.txt"});
    list.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(drop));
    ASSERT_EQ(std::vector<int>{FileOp_DropFiles}, sink.Codes());
    EXPECT_EQ(reinterpret_cast<INT_PTR>(drop), sink.events[0].a);
    ::DragFinish(drop);
}

// The point of a right click, read while the notification is alive.
class PointSink : public IEmberEventSink {
public:
    POINT point{-1, -1};
    LRESULT OnEvent(int code, INT_PTR, INT_PTR b, INT_PTR) override {
        if (code == FileOp_ListRightClick) point = reinterpret_cast<NMITEMACTIVATE*>(b)->ptAction;
        return 1;
    }
};

TEST_F(ListViewTest, RightClickCarriesTheClientPoint) {
    Make(L"");
    PointSink points;
    list.SetEventSink(&points);
    PostClick(WM_RBUTTONDOWN, WM_RBUTTONUP, POINT{300, 200});
    Pump(100);
    EXPECT_EQ(300, points.point.x);
    EXPECT_EQ(200, points.point.y);
}

TEST_F(ListViewTest, LayoutStretchesWithTheParent) {
    Make(L"");
    // Created at (10, 20)-(610, 520) in an 800 x 600 host: margins 10, 20, 190, 80.
    RECT parent{0, 0, 1000, 900};
    list.SendMessage(WM_PELICAN_LAYOUT, 0, reinterpret_cast<LPARAM>(&parent));
    RECT rect = list.GetWindowRect();
    ::MapWindowPoints(nullptr, host.hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(10, rect.left);
    EXPECT_EQ(20, rect.top);
    EXPECT_EQ(810, rect.right);
    EXPECT_EQ(820, rect.bottom);
}

// The quick natural comparison must agree with the system's on every pair.
TEST(NaturalOrder, AgreesWithTheSystemsComparison) {
    const wchar_t* names[] = {L"IMG_2.jpg", L"IMG_10.jpg", L"img_3.JPG", L"IMG_0002.jpg", L"a", L"A", L"ab", L"a b",
                              L"a_b", L"a.b", L"a-b", L"ab1", L"ab01", L"b", L"Z9", L"z10", L"10", L"9", L"_x",
                              L"x(1)", L"x (2)", L"\u00e9t\u00e9", L"ete", L"", L"README", L"readme.txt"};
    for (const wchar_t* a : names) {
        for (const wchar_t* b : names) {
            int system = ::StrCmpLogicalW(a, b);
            system = system < 0 ? -1 : (system > 0 ? 1 : 0);
            EXPECT_EQ(system, platform::CompareNatural(a, b)) << "\"" << testing::PrintToString(std::wstring(a))
                                                               << "\" vs " << testing::PrintToString(std::wstring(b));
        }
    }
}

TEST_F(ListViewTest, HeaderClicksSortFoldersFirstBothWaysAndAreKept) {
    Make(L"");
    tag_DirectoryFileTree node = Folder(L"x", {File(L"IMG_10.jpg", 5), Folder(L"b"), File(L"img_2.jpg", 300),
                                               File(L"IMG_9.png", 40), Folder(L"A10"), Folder(L"a9")});
    node.children[0].modified = 300;
    node.children[2].modified = 100;
    node.children[3].modified = 200;
    list.Fill(&node, true);
    auto names = [&] {
        std::vector<std::wstring> out;
        for (int row = 0; row < list.GetItemCount(); ++row) out.push_back(list.GetItemText(row, 1));
        return out;
    };
    auto clickHeader = [&](int column) {
        HWND header = list.GetHeaderCtrl();
        RECT item{};
        ::SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        LPARAM lp = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        ::PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, lp);
        ::PostMessageW(header, WM_LBUTTONUP, 0, lp);
        Pump(100);
    };
    auto arrow = [&](int column) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        ::SendMessageW(list.GetHeaderCtrl(), HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
    };
    EXPECT_EQ((std::vector<std::wstring>{L"IMG_10.jpg", L"b", L"img_2.jpg", L"IMG_9.png", L"A10", L"a9"}), names())
        << "the listing's order until a header is clicked";
    struct Step {
        int column;
        std::vector<std::wstring> rows;
        int arrow;
    };
    const Step steps[] = {
        {kNameColumn, {L"a9", L"A10", L"b", L"img_2.jpg", L"IMG_9.png", L"IMG_10.jpg"}, HDF_SORTUP},
        {kNameColumn, {L"b", L"A10", L"a9", L"IMG_10.jpg", L"IMG_9.png", L"img_2.jpg"}, HDF_SORTDOWN},
        {kSizeColumn, {L"a9", L"A10", L"b", L"IMG_10.jpg", L"IMG_9.png", L"img_2.jpg"}, HDF_SORTUP},
        {kSizeColumn, {L"b", L"A10", L"a9", L"img_2.jpg", L"IMG_9.png", L"IMG_10.jpg"}, HDF_SORTDOWN},
        {kDateColumn, {L"a9", L"A10", L"b", L"img_2.jpg", L"IMG_9.png", L"IMG_10.jpg"}, HDF_SORTUP},
        {kTypeColumn, {L"a9", L"A10", L"b", L"img_2.jpg", L"IMG_10.jpg", L"IMG_9.png"}, HDF_SORTUP},
    };
    for (const Step& step : steps) {
        clickHeader(step.column);
        EXPECT_EQ(step.rows, names()) << "column " << step.column;
        EXPECT_EQ(step.arrow, arrow(step.column));
        for (int other = 0; other < CFileListCtrlView::kColumnCount; ++other) {
            if (other != step.column) {
                EXPECT_EQ(0, arrow(other)) << "column " << other;
            }
        }
    }
    // The choice is kept for the next start, with the widths.
    EXPECT_EQ(L"3", settings.values[L"ListSortColumn"]);
    EXPECT_EQ(L"1", settings.values[L"ListSortAscending"]);
    EXPECT_EQ(L"20,177,80,130,130", settings.values[L"ListColumnWidths"]);
    // A refill keeps the order chosen; the selection follows its rows through a sort.
    list.Fill(&node, true);
    EXPECT_EQ(steps[5].rows, names());
    list.SelectRowNamed(L"IMG_9.png");
    clickHeader(kTypeColumn);
    EXPECT_EQ(L"IMG_9.png", list.GetSelectedName());
    EXPECT_EQ(3, list.SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED))
        << "descending by type: the folders, then .png first";
}

}  // namespace
