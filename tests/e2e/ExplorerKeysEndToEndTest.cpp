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

}  // namespace
}  // namespace e2e
