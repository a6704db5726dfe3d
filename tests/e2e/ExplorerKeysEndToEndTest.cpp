// The list as an Explorer user drives it, with real clicks and keys: a header
// click sorts, Backspace goes up, F2 renames and Delete deletes, each checked
// on disk and in the list.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/MainWindowFixture.h"
#include "tests/support/RemoteControls.h"

namespace e2e {
namespace {

using namespace testsupport;

class ExplorerKeys : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        device_ = scratch_.path() + L"device";
        ASSERT_TRUE(StageDemoDevice(device_));
    }

    // Two clicks on one spot within the double-click time are a double-click;
    // a user's separate clicks are further apart.
    static void Pause() { ::Sleep(::GetDoubleClickTime() + 100); }

    // A real click on a row gives the list the focus, as a user's click does.
    void ClickRow(const std::wstring& name) {
        Pause();
        const int row = Row(name);
        ASSERT_LE(0, row) << Narrow(name);
        RECT rc = ListItemRect(list_, row);
        Click(list_, POINT{rc.left + 40, (rc.top + rc.bottom) / 2});
        ASSERT_TRUE(WaitFor([&] { return ListSelected(list_) == std::vector<int>{Row(name)}; })) << Narrow(name);
    }

    // The header's column `column` by a real click at its middle.
    void ClickHeader(int column) {
        HWND header = reinterpret_cast<HWND>(::SendMessageW(list_, LVM_GETHEADER, 0, 0));
        ASSERT_NE(nullptr, header);
        int x = 0;
        for (int i = 0; i < column; ++i) x += static_cast<int>(::SendMessageW(list_, LVM_GETCOLUMNWIDTH, i, 0));
        x += static_cast<int>(::SendMessageW(list_, LVM_GETCOLUMNWIDTH, column, 0)) / 2;
        RECT rc{};
        ::GetClientRect(header, &rc);
        Pause();
        Click(header, POINT{x, rc.bottom / 2});
    }

    std::wstring device_;
};

TEST_F(ExplorerKeys, SortGoUpRenameAndDeleteWithTheKeysExplorerUsersKnow) {
    ASSERT_NO_FATAL_FAILURE(Start({L"PELICAN_DEVICE_ROOT=" + device_}));
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"DCIM"); }));
    const std::wstring dcim = device_ + L"\\var\\mobile\\Media\\DCIM\\";

    DoubleClickRow(Row(L"DCIM"));
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"100APPLE"); }));
    DoubleClickRow(Row(L"100APPLE"));
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"IMG_0003.PNG"); }));

    // The name column, once ascending and once descending.
    const int name = 1;
    ClickHeader(name);
    const std::vector<std::wstring> up{L"IMG_0001.JPG", L"IMG_0002.JPG", L"IMG_0003.PNG"};
    EXPECT_TRUE(WaitFor([&] { return Rows() == up; }));
    ClickHeader(name);
    const std::vector<std::wstring> down(up.rbegin(), up.rend());
    EXPECT_TRUE(WaitFor([&] { return Rows() == down; })) << "a second click sorts the other way";

    // Backspace: up to DCIM, the folder just left selected.
    ClickRow(L"IMG_0002.JPG");
    ASSERT_TRUE(XdoTool(L"key BackSpace"));
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"100APPLE") && HasRow(L"101APPLE"); })) << "Backspace went up";

    // F2 renames the selected folder through the name box.
    ClickRow(L"101APPLE");
    ASSERT_TRUE(XdoTool(L"key F2"));
    ASSERT_NO_FATAL_FAILURE(EnterName(L"Rename", L"Trip"));
    EXPECT_TRUE(WaitFor([&] { return FileExists(dcim + L"Trip\\IMG_0101.JPG"); }));
    EXPECT_TRUE(WaitFor([&] { return HasRow(L"Trip") && !HasRow(L"101APPLE"); }));

    // Delete asks, then removes that folder and nothing else.
    ClickRow(L"Trip");
    ASSERT_TRUE(XdoTool(L"key Delete"));
    EXPECT_NE(std::wstring::npos, Answer(L"Delete", IDYES).find(L"Are you sure to remove the selected item(s)?"));
    EXPECT_TRUE(WaitFor([&] { return !FileExists(dcim + L"Trip"); }));
    EXPECT_TRUE(WaitFor([&] { return !HasRow(L"Trip"); }));
    EXPECT_TRUE(FileExists(dcim + L"100APPLE\\IMG_0001.JPG"));

    ExpectCloseWithCode7();
}

// At the initial window size every column shows whole beside a vertical
// scroll bar, and the right-aligned sizes keep clear of the type column.
TEST_F(ExplorerKeys, AtTheInitialSizeEveryColumnFitsAndSizesKeepClearOfType) {
    testsupport::RemoveTree(device_);
    ASSERT_TRUE(StageDemoDevice(device_, [](const std::wstring& staged) {
        // Enough rows for a vertical scroll bar, with the widest size text.
        for (int i = 10; i < 50; ++i)
            if (!WriteFileBytes(staged + L"\\var\\mobile\\Media\\DCIM\\100APPLE\\CLIP_" + std::to_wstring(i) + L".MOV",
                                std::string(1023, 'c')))
                return false;
        return true;
    }));
    ASSERT_NO_FATAL_FAILURE(Start({L"PELICAN_DEVICE_ROOT=" + device_}));
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"DCIM"); }));
    DoubleClickRow(Row(L"DCIM"));
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"100APPLE"); }));
    DoubleClickRow(Row(L"100APPLE"));
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"CLIP_49.MOV"); }));
    ::Sleep(300);  // painted


    const LONG style = ::GetWindowLongW(list_, GWL_STYLE);
    EXPECT_TRUE(style & WS_VSCROLL) << "the folder should need a vertical scroll bar";
    EXPECT_FALSE(style & WS_HSCROLL) << "a horizontal scroll bar at the initial size";
    int widths[5] = {};
    int total = 0;
    for (int c = 0; c < 5; ++c) total += widths[c] = static_cast<int>(::SendMessageW(list_, LVM_GETCOLUMNWIDTH, c, 0));
    RECT client{};
    ::GetClientRect(list_, &client);
    EXPECT_LE(total, client.right) << "the Date modified column is cut";
    EXPECT_GE(widths[1], 300) << "the name column takes the room the others leave";

    // Where the size text's ink ends in a row that is not selected: well before the cell's right edge.
    const RECT row = ListItemRect(list_, Row(L"CLIP_15.MOV"));
    const int sizeLeft = row.left + widths[0] + widths[1];
    const RECT cell{sizeLeft, row.top, sizeLeft + widths[2], row.bottom};
    ASSERT_EQ(L"1023Bytes", ListText(list_, Row(L"CLIP_15.MOV"), 2));
    const std::vector<COLORREF> pixels = ClientPixels(list_, cell);
    const int w = cell.right - cell.left;
    int lastInk = -1;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const COLORREF p = pixels[i];
        if (GetRValue(p) + GetGValue(p) + GetBValue(p) < 3 * 160) lastInk = std::max(lastInk, static_cast<int>(i % w));
    }
    ASSERT_GE(lastInk, 0) << "no size text drawn";
    EXPECT_GE(w - 1 - lastInk, 10) << "the size text runs up to the type column";

    ExpectCloseWithCode7();
}

// Tab leaves the folder tree for the file list and goes round every stop back
// to the tree; Shift+Tab goes the same round the other way.
TEST_F(ExplorerKeys, TabGoesFromTheTreeRoundTheWindowAndShiftTabBack) {
    ASSERT_NO_FATAL_FAILURE(Start({L"PELICAN_DEVICE_ROOT=" + device_}));
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"DCIM"); }));
    Click(tree_, POINT{50, 8});  // on the root's name
    ASSERT_TRUE(WaitFor([&] { return FocusedControl() == tree_; })) << "a click on the tree focuses it";

    auto round = [&](const wchar_t* key) {
        std::vector<HWND> reached;
        for (int i = 0; i < 6; ++i) {
            HWND before = FocusedControl();
            EXPECT_TRUE(XdoTool(std::wstring(L"key ") + key));
            WaitFor([&] { return FocusedControl() != before; }, 2000);
            reached.push_back(FocusedControl());
            if (reached.back() == tree_ || reached.back() == before) break;
        }
        return reached;
    };
    const std::vector<HWND> forward = round(L"Tab");
    ASSERT_GE(forward.size(), 2u);
    EXPECT_EQ(list_, forward.front()) << "Tab from the tree goes to the list";
    EXPECT_EQ(tree_, forward.back()) << "Tab comes round to the tree";
    std::vector<HWND> expected(forward.rbegin() + 1, forward.rend());
    expected.push_back(tree_);
    EXPECT_EQ(expected, round(L"shift+Tab")) << "Shift+Tab goes the same way back";

    ExpectCloseWithCode7();
}

}  // namespace
}  // namespace e2e
