// Pelican as a user drives it: the real Pelican.exe against a scratch device
// folder. Buttons are found where the skin puts them and clicked with real
// pointer input (xdotool on the X display Wine draws on), so a first click on
// an inactive window takes the path a user's click takes; dialogs are
// answered as they appear; every step is checked on disk.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "skin/SkinProfile.h"
#include "skin/SkinReader.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/RemoteControls.h"

namespace {

using namespace testsupport;

constexpr DWORD kWaitMs = 15000;

bool WaitFor(const std::function<bool()>& condition, DWORD ms = kWaitMs) {
    DWORD start = ::GetTickCount();
    do {
        if (condition()) return true;
        ::Sleep(50);
    } while (::GetTickCount() - start < ms);
    return condition();
}

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

std::wstring TextOf(HWND wnd) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(wnd, text, 1024);
    return text;
}

bool CopyTree(const std::wstring& from, const std::wstring& to) {
    ::CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((from + L"\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = CopyTree(from + L"\\" + name, to + L"\\" + name) && ok;
        else
            ok = ::CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE) && ok;
    } while (::FindNextFileW(find, &fd));
    ::FindClose(find);
    return ok;
}

// Points the Wine user's Desktop at a folder for the test's lifetime: the
// folder browser opens on the Desktop, and Wine's browser ignores typed paths.
class DesktopRedirect {
public:
    explicit DesktopRedirect(const std::wstring& folder) {
        for (const wchar_t* key : kKeys) {
            HKEY k = nullptr;
            if (::RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr)) continue;
            wchar_t old[1024] = {};
            DWORD bytes = sizeof(old) - sizeof(wchar_t), type = REG_SZ;
            bool had = ::RegQueryValueExW(k, L"Desktop", nullptr, &type, reinterpret_cast<BYTE*>(old), &bytes) == 0;
            saved_.push_back({key, had ? std::wstring(old) : std::wstring(), type, had});
            ::RegSetValueExW(k, L"Desktop", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                             static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
            ::RegCloseKey(k);
        }
    }
    ~DesktopRedirect() {
        for (const auto& s : saved_) {
            HKEY k = nullptr;
            if (::RegOpenKeyExW(HKEY_CURRENT_USER, s.key, 0, KEY_ALL_ACCESS, &k)) continue;
            if (s.had)
                ::RegSetValueExW(k, L"Desktop", 0, s.type, reinterpret_cast<const BYTE*>(s.value.c_str()),
                                 static_cast<DWORD>((s.value.size() + 1) * sizeof(wchar_t)));
            else
                ::RegDeleteValueW(k, L"Desktop");
            ::RegCloseKey(k);
        }
    }

private:
    static constexpr const wchar_t* kKeys[] = {
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"};
    struct Saved {
        const wchar_t* key;
        std::wstring value;
        DWORD type;
        bool had;
    };
    std::vector<Saved> saved_;
};

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        device_ = scratch_.path() + L"device";
        pc_ = scratch_.path() + L"pc";
        desktop_ = scratch_.path() + L"desktop";
        ::CreateDirectoryW(pc_.c_str(), nullptr);
        ::CreateDirectoryW(desktop_.c_str(), nullptr);
        copy_.UseOwnLog(4);
        nsSkin::CSkinProfile profile(copy_.dir() + L"skins\\default\\skin.ini");
        buttons_ = nsSkin::ReadButtons(profile, L"MAINDLG");
        labels_ = nsSkin::ReadLabels(profile, L"MAINDLG");
        combos_ = nsSkin::ReadComboBoxes(profile, L"MAINDLG");
        progress_ = nsSkin::ReadProgressBars(profile, L"MAINDLG");
    }

    // The control of the main window under the centre of a skin rectangle.
    HWND ControlAt(const RECT& r) const {
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        return ::ChildWindowFromPointEx(main_, p, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    }
    template <class Records>
    HWND Named(const Records& records, const wchar_t* name) const {
        for (const auto& r : records)
            if (_wcsicmp(r.name.c_str(), name) == 0) return ControlAt(r.rect);
        return nullptr;
    }
    HWND Button(const wchar_t* name) const { return Named(buttons_, name); }
    // Chooses a row of the root drop-down with the mouse, as a user would.
    void ChooseRoot(int row) {
        HWND combo = Named(combos_, L"SpecifyFolder");
        ASSERT_NE(nullptr, combo);
        RECT rc{};
        ::GetClientRect(combo, &rc);
        Click(combo, POINT{rc.right / 2, rc.bottom / 2});
        HWND popup = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (popup = ::FindWindowW(L"PelicanSkinListPopup", nullptr)) != nullptr; }));
        ::GetClientRect(popup, &rc);
        int rowHeight = (rc.bottom - 2) / 2;  // the root list has two rows
        Click(popup, POINT{rc.right / 2, 1 + row * rowHeight + rowHeight / 2});
    }
    std::wstring Status() const { return TextOf(Named(labels_, L"Information")); }

    // Real input: the pointer moves to the point and the button goes down and
    // up, as the X server reports it to Wine. Nothing activates the window
    // first; the click itself must. Wine starts Unix programs but gives no
    // handle to wait on, so the command leaves a marker file when it is done.
    bool XdoTool(const std::wstring& arguments) {
        std::wstring marker = L"/tmp/pelican-e2e-xdo-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++xdoCommands_);
        std::wstring command = L"/bin/sh -c \"xdotool " + arguments + L"; touch " + marker + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return false;
        if (pi.hProcess) ::CloseHandle(pi.hProcess);
        if (pi.hThread) ::CloseHandle(pi.hThread);
        std::wstring seen = L"Z:" + marker;
        for (wchar_t& c : seen)
            if (c == L'/') c = L'\\';
        bool done = WaitFor([&] { return FileExists(seen); }, 5000);
        ::DeleteFileW(seen.c_str());
        return done;
    }
    void Click(HWND wnd, POINT at) {
        ::ClientToScreen(wnd, &at);
        EXPECT_TRUE(XdoTool(L"mousemove --sync " + std::to_wstring(at.x) + L" " + std::to_wstring(at.y) +
                            L" click 1"))
            << "xdotool did not run";
    }
    // Presses at `from` (screen), moves by `by` in two steps and releases.
    void Drag(POINT from, POINT by) {
        auto at = [](LONG x, LONG y) { return std::to_wstring(x) + L" " + std::to_wstring(y); };
        EXPECT_TRUE(XdoTool(L"mousemove --sync " + at(from.x, from.y) + L" mousedown 1 mousemove --sync " +
                            at(from.x + by.x / 2, from.y + by.y / 2) + L" mousemove --sync " +
                            at(from.x + by.x, from.y + by.y) + L" mouseup 1"))
            << "xdotool did not run";
    }
    static RECT WindowRect(HWND wnd) {
        RECT rc{};
        ::GetWindowRect(wnd, &rc);
        return rc;
    }
    void ClickButton(const wchar_t* name) {
        HWND b = Button(name);
        ASSERT_NE(nullptr, b) << Narrow(name);
        RECT rc{};
        ::GetClientRect(b, &rc);
        Click(b, POINT{rc.right / 2, rc.bottom / 2});
    }
    void DoubleClickRow(int row) {
        RECT rc = ListItemRect(list_, row);
        POINT at{rc.left + 20, (rc.top + rc.bottom) / 2};
        LPARAM lp = MAKELPARAM(at.x, at.y);
        ::PostMessageW(list_, WM_LBUTTONDOWN, MK_LBUTTON, lp);
        ::PostMessageW(list_, WM_LBUTTONUP, 0, lp);
        ::PostMessageW(list_, WM_LBUTTONDBLCLK, MK_LBUTTON, lp);
        ::PostMessageW(list_, WM_LBUTTONUP, 0, lp);
    }

    // A top-level dialog of the program whose caption is `title`, once visible.
    HWND WaitDialog(const wchar_t* title) { return app_->WaitWindow(title, kWaitMs); }
    // Answers a message box with `title` after checking its text; returns the text.
    std::wstring Answer(const wchar_t* title, int button) {
        HWND box = WaitDialog(title);
        EXPECT_NE(nullptr, box) << Narrow(title);
        if (!box) return {};
        std::wstring text = ChildTexts(box);
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        WaitFor([&] { return !::IsWindow(box); });
        return text;
    }
    // Types into the name box and presses OK.
    void EnterName(const wchar_t* title, const std::wstring& name) {
        HWND box = WaitDialog(title);
        ASSERT_NE(nullptr, box) << Narrow(title);
        HWND edit = ::GetDlgItem(box, 1002);
        ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(1003, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, 1003)));
    }
    // Column 1 holds the name; column 0 is the icon column.
    std::vector<std::wstring> Rows() { return ListColumn(list_, kName); }
    bool HasRow(const std::wstring& name) { return Row(name) >= 0; }
    int Row(const std::wstring& name) { return ListFind(list_, name, kName); }
    static constexpr int kName = 1;
    int Progress() const {
        return progress_.empty() ? -1
                                 : static_cast<int>(::SendMessageW(Named(progress_, progress_[0].name.c_str()),
                                                                   PBM_GETPOS, 0, 0));
    }
    // Waits for the end of a copy job: the progress bar at 100 while the
    // "Copy Finished!" box is up, back at 0 after it.
    void ExpectCopyFinished() {
        HWND box = WaitDialog(L"Handset Larkbox");
        ASSERT_NE(nullptr, box) << "no \"Copy Finished!\" box";
        EXPECT_NE(std::wstring::npos, ChildTexts(box).find(L"Copy Finished!"));
        EXPECT_EQ(100, Progress());
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(box); }));
        EXPECT_TRUE(WaitFor([&] { return Progress() == 0; }));
    }
    void SaveScreenshot(const std::wstring& path) {
        RECT rc{};
        ::GetWindowRect(main_, &rc);
        int w = rc.right - rc.left, h = rc.bottom - rc.top;
        HDC screen = ::GetDC(nullptr);
        HDC mem = ::CreateCompatibleDC(screen);
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bmp = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = ::SelectObject(mem, bmp);
        ::BitBlt(mem, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
        ::SelectObject(mem, old);
        DWORD stride = ((w * 3 + 3) & ~3), size = stride * h;
        BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(sizeof(fh) + sizeof(BITMAPINFOHEADER) + size), 0, 0,
                            static_cast<DWORD>(sizeof(fh) + sizeof(BITMAPINFOHEADER))};
        std::string data(reinterpret_cast<char*>(&fh), sizeof(fh));
        data.append(reinterpret_cast<char*>(&bi.bmiHeader), sizeof(BITMAPINFOHEADER));
        data.append(static_cast<char*>(bits), size);
        WriteFileBytes(path, data);
        ::DeleteObject(bmp);
        ::DeleteDC(mem);
        ::ReleaseDC(nullptr, screen);
    }

    ScratchFolder scratch_{L"e2e"};
    ProgramCopy copy_;
    std::wstring device_, pc_, desktop_;
    std::vector<nsSkin::SkinButtonRecord> buttons_;
    std::vector<nsSkin::SkinLabelRecord> labels_;
    std::vector<nsSkin::SkinComboBoxRecord> combos_;
    std::vector<nsSkin::SkinProgressRecord> progress_;
    std::unique_ptr<RunningProgram> app_;
    HWND main_ = nullptr, tree_ = nullptr, list_ = nullptr;
    int xdoCommands_ = 0;
};

TEST_F(EndToEnd, AUserSessionFromArrivalToClose) {
    DesktopRedirect desktop(desktop_);
    app_ = std::make_unique<RunningProgram>(copy_.dir() + L"Pelican.exe",
                                            std::vector<std::wstring>{L"PELICAN_DEVICE_ROOT=" + device_});
    ASSERT_TRUE(app_->started());
    main_ = app_->WaitWindow(L"EmberPelican", kWaitMs);
    ASSERT_NE(nullptr, main_);

    // No device yet: waiting, device commands off.
    EXPECT_TRUE(WaitFor([&] { return Status() == L"Waiting for Handset..."; })) << Narrow(Status());
    for (const wchar_t* name : {L"CopyToPC", L"CopyFileToDevice", L"CopyFolderToDevice", L"CreateFolder",
                                L"DeleteFromDevice"})
        EXPECT_FALSE(::IsWindowEnabled(Button(name))) << Narrow(name);
    tree_ = ChildrenOfClass(main_, WC_TREEVIEWW).at(0);
    list_ = ChildrenOfClass(main_, WC_LISTVIEWW).at(0);
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
    HWND browser = WaitDialog(L"Browse for Folder");
    ASSERT_NE(nullptr, browser) << "the folder browser";
    ::PostMessageW(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ExpectCopyFinished();
    EXPECT_EQ(ReadFileBytes(album + photos[0]), ReadFileBytes(desktop_ + L"\\" + photos[0]));
    EXPECT_EQ(ReadFileBytes(album + photos[1]), ReadFileBytes(desktop_ + L"\\" + photos[1]));

    // A PC file into the current device folder through the file-open dialog.
    ASSERT_TRUE(WriteFileBytes(pc_ + L"\\note.txt", "a note from the PC\n"));
    ClickButton(L"CopyFileToDevice");
    HWND open = WaitDialog(L"Open");
    ASSERT_NE(nullptr, open) << "the file-open dialog";
    std::vector<HWND> edits = ChildrenOfClass(open, L"Edit");
    ASSERT_FALSE(edits.empty());
    std::wstring note = pc_ + L"\\note.txt";
    ::SendMessageW(edits.back(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(note.c_str()));
    ::PostMessageW(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ExpectCopyFinished();
    EXPECT_EQ("a note from the PC\n", ReadFileBytes(album + L"note.txt"));
    EXPECT_TRUE(WaitFor([&] { return HasRow(L"note.txt"); }));

    // A PC folder (the browser's Desktop) into the current device folder.
    ClickButton(L"CopyFolderToDevice");
    browser = WaitDialog(L"Browse for Folder");
    ASSERT_NE(nullptr, browser);
    ::PostMessageW(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
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

    // Tab goes round the folder tree, the file list and the root drop-down;
    // Enter and Escape reach the window as OK and Cancel and leave it alone.
    HWND combo = Named(combos_, L"SpecifyFolder");
    auto focused = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        ::GetGUIThreadInfo(::GetWindowThreadProcessId(main_, nullptr), &info);
        return (info.hwndFocus && ::IsChild(combo, info.hwndFocus)) ? combo : info.hwndFocus;
    };
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
    // window resizes from its bottom edge and from its right edge (where
    // the list lies over it), and the splitter drags the panes apart; the
    // splitter's place is kept in the settings.
    const RECT start = WindowRect(main_);
    Drag(POINT{(start.left + start.right) / 2, start.bottom - 1}, POINT{0, 40});
    // The dragged edge follows the pointer, which took hold one pixel inside it.
    EXPECT_TRUE(WaitFor([&] { return WindowRect(main_).bottom == start.bottom + 39; })) << WindowRect(main_).bottom;
    Drag(POINT{start.right - 1, (start.top + start.bottom) / 2}, POINT{50, 0});
    EXPECT_TRUE(WaitFor([&] { return WindowRect(main_).right == start.right + 49; })) << WindowRect(main_).right;
    const RECT tree = WindowRect(tree_), list = WindowRect(list_);
    Drag(POINT{tree.right + 2, (tree.top + tree.bottom) / 2}, POINT{60, 0});
    EXPECT_TRUE(WaitFor([&] { return WindowRect(tree_).right == tree.right + 60; })) << WindowRect(tree_).right;
    EXPECT_EQ(list.left + 60, WindowRect(list_).left);
    EXPECT_EQ(list.right, WindowRect(list_).right);
    POINT split{WindowRect(tree_).right, 0};
    ::ScreenToClient(main_, &split);
    EXPECT_TRUE(WaitFor([&] {
        return static_cast<LONG>(::GetPrivateProfileIntW(L"Settings", L"SplitterPosition", -1,
                                                         (copy_.dir() + L"config\\Settings.ini").c_str())) == split.x;
    }));

    // Closing the window ends the program with exit code 7.
    ::PostMessageW(main_, WM_CLOSE, 0, 0);
    DWORD code = 0;
    ASSERT_TRUE(app_->WaitExit(kWaitMs, &code));
    EXPECT_EQ(7u, code);
}

}  // namespace
