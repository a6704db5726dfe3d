// Pelican as a user drives it: the real Pelican.exe against a scratch device
// folder. Buttons are found where the skin puts them and clicked with real
// pointer input, so a first click on an inactive window takes the path a
// user's click takes; dialogs are answered as they appear; every step is
// checked on disk.
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

class EndToEnd : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        device_ = scratch_.path() + L"device";
    }
    std::wstring device_;
};

TEST_F(EndToEnd, AUserSessionFromArrivalToClose) {
    DesktopRedirect desktop(desktop_);
    ASSERT_NO_FATAL_FAILURE(Start({L"PELICAN_DEVICE_ROOT=" + device_}));

    // No device yet: waiting, device commands off.
    EXPECT_TRUE(WaitFor([&] { return Status() == L"Waiting for Handset..."; })) << Narrow(Status());
    for (const wchar_t* name : {L"CopyToPC", L"CopyFileToDevice", L"CopyFolderToDevice", L"CreateFolder",
                                L"DeleteFromDevice"})
        EXPECT_FALSE(::IsWindowEnabled(Button(name))) << Narrow(name);
    EXPECT_EQ(0, TreeCount(tree_));

    // The handset arrives whole, as a real one does: the copy is staged and
    // renamed into place, or the watcher could see a half-copied device.
    std::wstring staged = scratch_.path() + L"staged-device";
    ASSERT_TRUE(CopyTree(SourceDirectory() + L"demo\\device", staged));
    ASSERT_TRUE(::MoveFileW(staged.c_str(), device_.c_str()));
    ASSERT_TRUE(WaitFor([&] { return Status() == L"Handset Connected."; })) << Narrow(Status());
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"DCIM"); }));
    EXPECT_EQ(L"Media", TreeText(tree_, TreeRoot(tree_)));
    EXPECT_TRUE(::IsWindowEnabled(Button(L"CopyToPC")));
    ::Sleep(500);
    SaveScreenshot(TestDirectory() + L"..\\e2e-main-window.bmp");

    // Into DCIM and 100APPLE by double-click.
    DoubleClickRow(Row(L"DCIM"));
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"100APPLE"); })) << "DCIM opened";
    DoubleClickRow(Row(L"100APPLE"));
    ASSERT_TRUE(WaitFor([&] { return ListCount(list_) >= 2 && !HasRow(L"100APPLE"); }));
    std::vector<std::wstring> photos = Rows();
    ASSERT_GE(photos.size(), 2u);
    std::wstring album = device_ + L"\\var\\mobile\\Media\\DCIM\\100APPLE\\";

    // Two photos to the PC through the folder browser.
    ListSelect(list_, {0, 1});
    ClickButton(L"CopyToPC");
    ASSERT_NO_FATAL_FAILURE(ConfirmBrowser());
    ExpectCopyFinished();
    EXPECT_EQ(ReadFileBytes(album + photos[0]), ReadFileBytes(desktop_ + L"\\" + photos[0]));
    EXPECT_EQ(ReadFileBytes(album + photos[1]), ReadFileBytes(desktop_ + L"\\" + photos[1]));

    // A PC file into the current device folder through the file-open dialog.
    ASSERT_TRUE(WriteFileBytes(pc_ + L"\\note.txt", "a note from the PC\n"));
    ClickButton(L"CopyFileToDevice");
    ASSERT_NO_FATAL_FAILURE(ChooseFile(pc_ + L"\\note.txt"));
    ExpectCopyFinished();
    EXPECT_EQ("a note from the PC\n", ReadFileBytes(album + L"note.txt"));
    EXPECT_TRUE(WaitFor([&] { return HasRow(L"note.txt"); }));

    // A PC folder (the browser's Desktop) into the current device folder.
    ClickButton(L"CopyFolderToDevice");
    ASSERT_NO_FATAL_FAILURE(ConfirmBrowser());
    ExpectCopyFinished();
    EXPECT_EQ(ReadFileBytes(album + photos[0]), ReadFileBytes(album + L"desktop\\" + photos[0]));

    // Two PC files dropped on the list.
    ASSERT_TRUE(WriteFileBytes(pc_ + L"\\drop1.txt", "one"));
    ASSERT_TRUE(WriteFileBytes(pc_ + L"\\drop2.txt", "two"));
    ASSERT_TRUE(DropFiles(list_, {pc_ + L"\\drop1.txt", pc_ + L"\\drop2.txt"}, POINT{40, 40}));
    ExpectCopyFinished();
    EXPECT_EQ("one", ReadFileBytes(album + L"drop1.txt"));
    EXPECT_EQ("two", ReadFileBytes(album + L"drop2.txt"));

    // A new folder through the name box; a colon and 65 characters are refused first.
    ClickButton(L"CreateFolder");
    EnterName(L"New Folder", L"a:b");
    EXPECT_NE(std::wstring::npos, Answer(L"Pelican", IDOK).find(L"Invalid name."));
    EnterName(L"New Folder", std::wstring(65, L'x'));
    EXPECT_NE(std::wstring::npos, Answer(L"Pelican", IDOK).find(L"The name is too long."));
    EnterName(L"New Folder", L"Holiday");
    ASSERT_TRUE(WaitFor([&] { return FileExists(album + L"Holiday"); }));
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"Holiday"); }));

    // Renamed.
    ListSelect(list_, {Row(L"Holiday")});
    ClickButton(L"RenamePath");
    EnterName(L"Rename", L"Holiday 2026");
    ASSERT_TRUE(WaitFor([&] { return FileExists(album + L"Holiday 2026"); }));
    EXPECT_FALSE(FileExists(album + L"Holiday"));
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"Holiday 2026"); }));

    // Deleted after Yes.
    ListSelect(list_, {Row(L"Holiday 2026")});
    ClickButton(L"DeleteFromDevice");
    EXPECT_NE(std::wstring::npos, Answer(L"Delete", IDYES).find(L"Are you sure to remove the selected item(s)?"));
    EXPECT_TRUE(WaitFor([&] { return !FileExists(album + L"Holiday 2026"); }));
    EXPECT_TRUE(WaitFor([&] { return !HasRow(L"Holiday 2026"); }));

    // The device root, after the warning, and back to the media folder.
    ChooseRoot(1);
    EXPECT_NE(std::wstring::npos,
              Answer(L"Root Folder", IDOK).find(L"Root files corrupted may cause Handset unavailable!"));
    EXPECT_TRUE(WaitFor([&] { return TreeText(tree_, TreeRoot(tree_)) == L"Root"; }));
    EXPECT_TRUE(WaitFor([&] { return HasRow(L"Applications") && HasRow(L"private") && HasRow(L"var"); }));
    ChooseRoot(0);
    EXPECT_TRUE(WaitFor([&] { return TreeText(tree_, TreeRoot(tree_)) == L"Media"; }));
    EXPECT_TRUE(WaitFor([&] { return HasRow(L"DCIM"); }));

    // The camera adds a folder after DCIM's tree item was filled; a file of the
    // same name one folder up must survive a Delete in the new folder.
    const std::wstring dcim = device_ + L"\\var\\mobile\\Media\\DCIM\\";
    std::wstring shot = scratch_.path() + L"staged-shot";
    ASSERT_TRUE(::CreateDirectoryW(shot.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(shot + L"\\IMG_0201.JPG", "new shot"));
    ASSERT_TRUE(WriteFileBytes(dcim + L"IMG_0201.JPG", "older shot"));
    ASSERT_TRUE(::MoveFileW(shot.c_str(), (dcim + L"102APPLE").c_str()));
    DoubleClickRow(Row(L"DCIM"));
    ASSERT_TRUE(WaitFor([&] { return HasRow(L"102APPLE"); })) << "the new folder is listed";
    DoubleClickRow(Row(L"102APPLE"));
    ASSERT_TRUE(WaitFor([&] { return Rows() == std::vector<std::wstring>{L"IMG_0201.JPG"}; }));
    ListSelect(list_, {0});
    ClickButton(L"DeleteFromDevice");
    EXPECT_NE(std::wstring::npos, Answer(L"Delete", IDYES).find(L"Are you sure to remove the selected item(s)?"));
    EXPECT_TRUE(WaitFor([&] { return !FileExists(dcim + L"102APPLE\\IMG_0201.JPG"); }));
    EXPECT_TRUE(WaitFor([&] { return ListCount(list_) == 0; }));
    EXPECT_EQ("older shot", ReadFileBytes(dcim + L"IMG_0201.JPG"));
    EXPECT_TRUE(FileExists(dcim + L"102APPLE"));
    for (const std::wstring& photo : photos) EXPECT_TRUE(FileExists(album + photo)) << "100APPLE keeps its files";

    // Tab goes round the folder tree, the file list and the root drop-down;
    // Enter and Escape reach the window as OK and Cancel and leave it alone.
    HWND combo = Named(combos_, L"SpecifyFolder");
    auto focused = [&] { return FocusedControl(); };
    std::vector<HWND> reached;
    for (int i = 0; i < 7; ++i) {
        HWND before = focused();
        ASSERT_TRUE(XdoTool(L"key Tab"));
        WaitFor([&] { return focused() != before; }, 1000);
        reached.push_back(focused());
    }
    for (HWND control : {tree_, list_, combo})
        EXPECT_NE(reached.end(), std::find(reached.begin(), reached.end(), control)) << "Tab never reached " << control;
    ASSERT_TRUE(XdoTool(L"key Return key Escape"));
    ::Sleep(300);
    EXPECT_TRUE(::IsWindowVisible(main_)) << "Enter or Escape closed the window";

    // The device goes: the views are cleared and the program waits again.
    ASSERT_TRUE(RemoveTree(device_));
    EXPECT_TRUE(WaitFor([&] { return Status() == L"Waiting for Handset..."; })) << Narrow(Status());
    EXPECT_TRUE(WaitFor([&] { return TreeCount(tree_) == 0 && ListCount(list_) == 0; }));

    // Last, as the skin's rectangles no longer match the moved controls: the
    // window resizes from its bottom edge and from its right edge (where the
    // list lies over it), and the splitter drags the panes apart; its place
    // is kept in the settings. A dragged edge follows the pointer, which
    // took hold one pixel inside it.
    auto windowRect = [](HWND wnd) {
        RECT rc{};
        ::GetWindowRect(wnd, &rc);
        return rc;
    };
    const RECT start = windowRect(main_);
    Drag(POINT{(start.left + start.right) / 2, start.bottom - 1}, POINT{0, 40});
    EXPECT_TRUE(WaitFor([&] { return windowRect(main_).bottom == start.bottom + 39; })) << windowRect(main_).bottom;
    Drag(POINT{start.right - 1, (start.top + start.bottom) / 2}, POINT{50, 0});
    EXPECT_TRUE(WaitFor([&] { return windowRect(main_).right == start.right + 49; })) << windowRect(main_).right;
    const RECT tree = windowRect(tree_), list = windowRect(list_);
    const LONG bar = list.left - tree.right;  // the splitter between them
    Drag(POINT{tree.right, (tree.top + tree.bottom) / 2}, POINT{60, 0});
    EXPECT_TRUE(WaitFor([&] { return windowRect(tree_).right == tree.right + 60; })) << windowRect(tree_).right;
    EXPECT_EQ(windowRect(tree_).right + bar, windowRect(list_).left);
    POINT split{windowRect(tree_).right, 0};
    ::ScreenToClient(main_, &split);
    EXPECT_TRUE(WaitFor([&] {
        return static_cast<LONG>(::GetPrivateProfileIntW(L"Settings", L"SplitterPosition", -1,
                                                         (copy_.dir() + L"config\\Settings.ini").c_str())) == split.x;
    }));

    ExpectCloseWithCode7();
}

}  // namespace
}  // namespace e2e
