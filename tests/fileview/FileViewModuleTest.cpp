// The file view module on a real soft bus: interfaces, views made by name,
// listings loaded for each refresh reason, selection paths, events turned
// into commands, the context menu on real right-clicks, dropped files.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <functional>
#include <set>

#include "fileview/CAppModuleFileView.h"
#include "fileview/CFileListCtrlView.h"
#include "fileview/CFileTreeCtrlView.h"
#include "fileview/CPathBar.h"
#include "framework/CEmberSoftBus.h"
#include "framework/EmberGuids.h"
#include "platform/Handles.h"
#include "tests/fileview/FileViewFixtures.h"
#include "tests/support/TestPaths.h"

using namespace fvtest;

namespace {

struct Invocation {
    std::wstring name;
    INT_PTR word4;
};

class ExecutiveModule : public CEmberAppModuleBase, public ICommandExecutive {
public:
    std::vector<Invocation> calls;
    std::function<void(const Invocation&)> onCall;
    std::set<std::wstring> disabled;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!ember::SameGuid(iid, ember::IID_ICommandExecutive)) return E_NOINTERFACE;
        *out = static_cast<ICommandExecutive*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 0; }
    ULONG STDMETHODCALLTYPE Release() override { return CEmberAppModuleBase::Release(); }
    LONG STDMETHODCALLTYPE IsCommandEnabled(const wchar_t* name) override { return disabled.count(name) ? 0 : 1; }
    INT_PTR STDMETHODCALLTYPE GetCommandValue(const wchar_t*, LONG) override { return 0; }
    HRESULT STDMETHODCALLTYPE InvokeCommand(const wchar_t* name, LONG, CommandArgs* args) override {
        // As the real table: a disabled command is refused.
        if (disabled.count(name)) return E_FAIL;
        calls.push_back({name, args ? args->words[4] : 0});
        if (onCall) onCall(calls.back());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnKeyMessage(UINT, LONG, LONG, LONG) override { return S_OK; }
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        for (const Invocation& c : calls) names.push_back(c.name);
        return names;
    }
};

class FileViewModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteSolidBmp(skin.path() + L"tree.bmp", 300, 400, RGB(30, 60, 90)));
        settings.values[L"CurrentSkinPath"] = skin.path();
        settings.values[L"SkinPath"] = skin.path();
        module = new CAppModuleFileView;
        executive = new ExecutiveModule;
        bus.RegisterModule(&ember::MID_ConfigModule, new ConfigModule(&settings), nullptr);
        bus.RegisterModule(&ember::MID_FileView, module, nullptr);
        bus.RegisterModule(&ember::MID_CmdExecutive, executive, nullptr);
        ASSERT_EQ(S_OK, bus.InitializeModules());
    }
    void MakeViews() {
        IEmberAppModuleView* view = nullptr;
        ASSERT_EQ(S_OK, module->CreateView(L"FileTreeView", host.hwnd(), RECT{0, 0, 200, 400}, L"tree.bmp", &view));
        ASSERT_NE(nullptr, view);
        view = nullptr;
        ASSERT_EQ(S_OK, module->CreateView(L"FileListCtrl", host.hwnd(), RECT{210, 0, 790, 400}, L"", &view));
        ASSERT_NE(nullptr, view);
        tree = module->TreeView();
        list = module->ListView();
    }
    // A device arrival: root, listing, views enabled.
    void ShowMedia() {
        MakeViews();
        module->SetRootPath(L"/var/mobile/Media");
        tag_DirectoryFileTree media = MediaListing();
        module->LoadTree(&media, FileOp_NewRoot);
        module->EnableViews(1);
        executive->calls.clear();
    }
    int RowOf(const std::wstring& name) {
        for (int row = 0; row < list->GetItemCount(); ++row)
            if (list->GetItemText(row, 1) == name) return row;
        return -1;
    }
    void SelectRows(std::initializer_list<int> rows) {
        LVITEMW none{};
        none.stateMask = LVIS_SELECTED;
        list->SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
        for (int row : rows) {
            LVITEMW on{};
            on.stateMask = LVIS_SELECTED;
            on.state = LVIS_SELECTED;
            list->SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&on));
        }
    }
    POINT RowPoint(int row) {
        RECT rect{};
        rect.left = LVIR_LABEL;
        list->SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
        return {rect.left + 5, (rect.top + rect.bottom) / 2};
    }

    testsupport::ScratchFolder skin{L"fvskin"};
    FakeSettings settings;
    HostWindow host;
    CEmberSoftBus bus;
    CAppModuleFileView* module = nullptr;
    ExecutiveModule* executive = nullptr;
    CFileTreeCtrlView* tree = nullptr;
    CFileListCtrlView* list = nullptr;
};

TEST_F(FileViewModuleTest, OffersTheFileViewAndTheViewFactoryOnly) {
    void* out = nullptr;
    EXPECT_EQ(S_OK, module->QueryInterface(ember::IID_IFileView, &out));
    EXPECT_EQ(static_cast<IFileView*>(module), out);
    EXPECT_EQ(S_OK, module->QueryInterface(ember::IID_IEmberAppModuleUICtrl, &out));
    EXPECT_EQ(static_cast<IEmberAppModuleUICtrl*>(module), out);
    out = &out;
    EXPECT_EQ(E_NOINTERFACE, module->QueryInterface(ember::IID_ICommandExecutive, &out));
    EXPECT_EQ(&out, out);
    EXPECT_EQ(E_POINTER, module->QueryInterface(ember::IID_IFileView, nullptr));
}

TEST_F(FileViewModuleTest, ViewsAreMadeByNameOnly) {
    IEmberAppModuleView* view = nullptr;
    EXPECT_EQ(S_OK, module->CreateView(nullptr, host.hwnd(), RECT{0, 0, 10, 10}, L"", &view));
    EXPECT_EQ(S_OK, module->CreateView(L"FileTreeView", nullptr, RECT{0, 0, 10, 10}, L"tree.bmp", &view));
    EXPECT_EQ(S_OK, module->CreateView(L"SplitterBar", host.hwnd(), RECT{0, 0, 10, 10}, L"", &view));
    EXPECT_EQ(nullptr, view);
    EXPECT_EQ(nullptr, module->TreeView());

    // A tree without a picture is no tree.
    EXPECT_EQ(S_OK, module->CreateView(L"FileTreeView", host.hwnd(), RECT{0, 0, 10, 10}, L"missing.bmp", &view));
    EXPECT_EQ(S_OK, module->CreateView(L"FileTreeView", host.hwnd(), RECT{0, 0, 10, 10}, L"", &view));
    EXPECT_EQ(nullptr, view);

    EXPECT_EQ(S_OK, module->CreateView(L"filelistctrl", host.hwnd(), RECT{0, 0, 100, 100}, L"", &view));
    ASSERT_NE(nullptr, view);
    wchar_t name[128] = {};
    view->GetViewName(name, 128);
    EXPECT_STREQ(L"FileListView", name);
    EXPECT_EQ(4105, ::GetDlgCtrlID(view->GetViewWindow()));

    view = nullptr;
    EXPECT_EQ(S_OK, module->CreateView(L"FileTreeView", host.hwnd(), RECT{20, 30, 120, 230},
                                       L"tree.bmp,255,255,255,0,0,0", &view));
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(4113, ::GetDlgCtrlID(view->GetViewWindow()));
    EXPECT_EQ(RGB(255, 255, 255), static_cast<COLORREF>(::SendMessageW(view->GetViewWindow(), TVM_GETTEXTCOLOR, 0, 0)));
    // The background is the picture's piece under the view.
    BITMAP info{};
    ASSERT_TRUE(::GetObjectW(module->TreeView()->Background(), sizeof(info), &info));
    EXPECT_EQ(100, info.bmWidth);
    EXPECT_EQ(200, info.bmHeight);
    EXPECT_EQ(S_OK, module->DestroyView(view));
    EXPECT_TRUE(::IsWindow(view->GetViewWindow()));
}

TEST(FileViewModuleAlone, DestroyingTheModuleDestroysItsViews) {
    testsupport::ScratchFolder skin(L"fvdel");
    ASSERT_TRUE(WriteSolidBmp(skin.path() + L"t.bmp", 50, 50, RGB(1, 2, 3)));
    FakeSettings settings;
    settings.values[L"CurrentSkinPath"] = skin.path();
    HostWindow host;
    HWND tree = nullptr, list = nullptr;
    {
        CEmberSoftBus bus;
        auto* module = new CAppModuleFileView;
        bus.RegisterModule(&ember::MID_ConfigModule, new ConfigModule(&settings), nullptr);
        bus.RegisterModule(&ember::MID_FileView, module, nullptr);
        module->Initialize();
        IEmberAppModuleView* view = nullptr;
        module->CreateView(L"FileTreeView", host.hwnd(), RECT{0, 0, 40, 40}, L"t.bmp", &view);
        tree = view ? view->GetViewWindow() : nullptr;
        module->CreateView(L"FileListCtrl", host.hwnd(), RECT{0, 0, 40, 40}, L"", &view);
        list = view ? view->GetViewWindow() : nullptr;
        ASSERT_TRUE(::IsWindow(tree));
        ASSERT_TRUE(::IsWindow(list));
    }
    EXPECT_FALSE(::IsWindow(tree));
    EXPECT_FALSE(::IsWindow(list));
}

TEST(FileViewModuleAlone, ListNeedsTheSettings) {
    HostWindow host;
    CEmberSoftBus bus;
    auto* module = new CAppModuleFileView;
    bus.RegisterModule(&ember::MID_FileView, module, nullptr);
    // No executive either: Initialize reports the failed look-up.
    EXPECT_LT(module->Initialize(), 0);
    IEmberAppModuleView* view = nullptr;
    EXPECT_EQ(E_FAIL, module->CreateView(L"FileListCtrl", host.hwnd(), RECT{0, 0, 100, 100}, L"", &view));
    EXPECT_EQ(nullptr, view);
    // Without an executive, events go nowhere and nothing breaks.
    module->EnableViews(1);
    EXPECT_EQ(1, module->OnEvent(FileOp_MenuCopyToPC, 0, 0, 0));
}

TEST_F(FileViewModuleTest, NewRootBuildsTheTreeAndFillsTheList) {
    ShowMedia();
    ASSERT_NE(nullptr, tree->RootItem());
    EXPECT_EQ(L"Media", tree->GetItemText(tree->RootItem()));
    EXPECT_EQ(L"/var/mobile/Media/", module->GetCurrentFolder());
    ASSERT_EQ(4, list->GetItemCount());
    EXPECT_EQ(L"DCIM", list->GetItemText(0, 1));
    EXPECT_EQ(L"Folder", list->GetItemText(0, 3));
    EXPECT_EQ(L"", list->GetItemText(0, 2));
    EXPECT_EQ(L"10Bytes", list->GetItemText(1, 2));
    EXPECT_EQ(L"File", list->GetItemText(1, 3));
    EXPECT_EQ(L"1.5KB", list->GetItemText(3, 2));

    // A second arrival, with a folder selected: one root again, never one inside the other.
    const UINT count = tree->GetCount();
    tree->SelectItem(module->TreeView()->FindChildOfSelection(L"DCIM"));
    tag_DirectoryFileTree media = MediaListing();
    module->LoadTree(&media, FileOp_NewRoot);
    EXPECT_EQ(count, tree->GetCount());
    EXPECT_EQ(tree->RootItem(), tree->GetSelectedItem());
    EXPECT_EQ(L"/var/mobile/Media/", module->GetCurrentFolder());
}

TEST_F(FileViewModuleTest, SelectionChangeBringsTheTreeInLineAndOpensAChildlessItem) {
    ShowMedia();
    HTREEITEM dcim = module->TreeView()->FindChildOfSelection(L"DCIM");
    tree->SelectItem(dcim);
    UINT before = tree->GetCount();
    // DCIM already holds 100APPLE: it gains the folder that appeared since, and the list is refilled.
    tag_DirectoryFileTree listing = Folder(L"DCIM", {Folder(L"100APPLE"), Folder(L"101APPLE"), File(L"a.jpg", 1)});
    EXPECT_EQ(1, module->LoadTree(&listing, FileOp_TreeSelChanged));
    EXPECT_EQ(before + 1, tree->GetCount());
    EXPECT_NE(nullptr, module->TreeView()->FindChildOfSelection(L"101APPLE"));
    EXPECT_EQ(3, list->GetItemCount());

    // A childless item gets the listing's folders and is expanded.
    tree->SelectItem(module->TreeView()->FindChildOfSelection(L"100APPLE"));
    tag_DirectoryFileTree apple = Folder(L"100APPLE", {Folder(L"Thumbs"), File(L"IMG_1.JPG", 5)});
    module->LoadTree(&apple, FileOp_TreeSelChanged);
    HTREEITEM selected = tree->GetSelectedItem();
    EXPECT_TRUE(tree->ItemHasChildren(selected));
    EXPECT_TRUE(tree->IsExpanded(selected));
    EXPECT_EQ(L"/var/mobile/Media/DCIM/100APPLE/", module->GetCurrentFolder());
}

TEST_F(FileViewModuleTest, RefreshAfterAChangeReplacesTheChildren) {
    ShowMedia();
    tag_DirectoryFileTree after = Folder(L"Media", {Folder(L"Books"), Folder(L"DCIM")});
    module->LoadTree(&after, FileOp_NewFolder);
    std::vector<std::wstring> children;
    for (HTREEITEM c = tree->GetChildItem(tree->RootItem()); c; c = tree->GetNextSiblingItem(c))
        children.push_back(tree->GetItemText(c));
    EXPECT_EQ((std::vector<std::wstring>{L"Books", L"DCIM"}), children);
    EXPECT_EQ(2, list->GetItemCount());

    EXPECT_EQ(1, module->ClearViews());
    EXPECT_EQ(0u, tree->GetCount());
    EXPECT_EQ(0, list->GetItemCount());
}

TEST_F(FileViewModuleTest, SelectedPathsUnderTheCurrentFolder) {
    ShowMedia();
    tree->SelectItem(module->TreeView()->FindChildOfSelection(L"DCIM"));
    tag_DirectoryFileTree dcim = Folder(L"DCIM", {File(L"a.jpg", 1), File(L"b.jpg", 2), File(L"c.mov", 3),
                                                  File(L"d.png", 4)});
    module->LoadTree(&dcim, FileOp_TreeSelChanged);

    SelectRows({});
    EXPECT_EQ(L"", module->GetSelectedName());
    EXPECT_EQ(L"/var/mobile/Media/DCIM/", module->GetSelectedPath());
    EXPECT_TRUE(module->GetSelectedPaths().empty());

    SelectRows({0, 2, 3});
    EXPECT_EQ(L"a.jpg", module->GetSelectedName());
    EXPECT_EQ(L"/var/mobile/Media/DCIM/a.jpg", module->GetSelectedPath());
    EXPECT_EQ((std::vector<std::wstring>{L"/var/mobile/Media/DCIM/a.jpg", L"/var/mobile/Media/DCIM/c.mov",
                                         L"/var/mobile/Media/DCIM/d.png"}),
              module->GetSelectedPaths());
}

TEST_F(FileViewModuleTest, EventsBecomeCommandsOnlyWhileEnabled) {
    ShowMedia();
    module->EnableViews(0);
    EXPECT_FALSE(::IsWindowEnabled(tree->hwnd()));
    EXPECT_TRUE(::IsWindowEnabled(list->hwnd()));
    for (int code : {1, 2, 5, 7, 10, 13}) EXPECT_EQ(0, module->OnEvent(code, 0, 0, 0));
    EXPECT_TRUE(executive->calls.empty());

    module->EnableViews(1);
    EXPECT_TRUE(::IsWindowEnabled(tree->hwnd()));
    for (int code : {7, 10, 11, 12, 13, 14, 15, 0, 3, 8, 9}) EXPECT_EQ(1, module->OnEvent(code, 0, 0, 0));
    EXPECT_EQ((std::vector<std::wstring>{L"FileTreeSelchanged", L"CopyToPC", L"CopyFileToDevice",
                                         L"CopyFolderToDevice", L"DeleteFromDevice", L"CreateFolder", L"RenamePath"}),
              executive->Names());

    executive->calls.clear();
    // Rows dragged out: the executive takes the selection itself; no record goes with the command.
    module->OnEvent(FileOp_DragToPC, reinterpret_cast<INT_PTR>(list->hwnd()), 0, 0);
    ASSERT_EQ(1u, executive->calls.size());
    EXPECT_EQ(L"DragFileToPC", executive->calls[0].name);
    EXPECT_EQ(0, executive->calls[0].word4);

    SelectRows({1});
    settings.writes.clear();
    module->OnEvent(FileOp_ListSelChanged, 0, 0, 0);
    ASSERT_FALSE(settings.writes.empty());
    EXPECT_EQ(L"CurrentFileNameSelected", settings.writes.back().first);
    EXPECT_EQ(L"notes.txt", settings.writes.back().second);
}

// Ctrl+C and Ctrl+V in the list raise the clipboard commands; the letters alone, or with Alt too, do not.
TEST_F(FileViewModuleTest, ClipboardKeysNeedControlAlone) {
    ShowMedia();
    module->EnableViews(1);
    BYTE saved[256];
    ASSERT_TRUE(::GetKeyboardState(saved));
    struct Case {
        BYTE control, alt;
        INT_PTR key;
        const wchar_t* command;
    } cases[] = {{0x80, 0, 'C', L"CopyToClipboard"}, {0x80, 0, 'V', L"PasteFromClipboard"}, {0, 0, 'C', nullptr},
                 {0x80, 0x80, 'V', nullptr},           {0x80, 0, 'X', nullptr}};
    for (const Case& c : cases) {
        BYTE keys[256];
        std::memcpy(keys, saved, sizeof(keys));
        keys[VK_CONTROL] = c.control;
        keys[VK_MENU] = c.alt;
        ASSERT_TRUE(::SetKeyboardState(keys));
        executive->calls.clear();
        module->OnEvent(FileOp_ListKeyDown, c.key, 0, reinterpret_cast<INT_PTR>(list->hwnd()));
        EXPECT_EQ(c.command ? std::vector<std::wstring>{c.command} : std::vector<std::wstring>{}, executive->Names())
            << char(c.key) << " control " << int(c.control) << " alt " << int(c.alt);
    }
    ::SetKeyboardState(saved);
}

TEST_F(FileViewModuleTest, DoubleClickOnAFolderRowOpensIt) {
    ShowMedia();
    // Real clicks: press, release, double-click, release; posted because the
    // control waits for the release in a loop of its own.
    auto doubleClick = [&](int row) {
        POINT at = RowPoint(row);
        LPARAM lp = MAKELPARAM(at.x, at.y);
        list->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, lp);
        list->PostMessage(WM_LBUTTONUP, 0, lp);
        list->PostMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, lp);
        list->PostMessage(WM_LBUTTONUP, 0, lp);
        Pump(100);
    };
    doubleClick(RowOf(L"notes.txt"));
    EXPECT_TRUE(executive->calls.empty());

    doubleClick(RowOf(L"DCIM"));
    // One command, so the folder is listed once, not once for the tree's move and again for the opening.
    EXPECT_EQ((std::vector<std::wstring>{L"OpenFolder"}), executive->Names());
    EXPECT_EQ(L"DCIM", tree->GetItemText(tree->GetSelectedItem()));
    EXPECT_EQ(L"/var/mobile/Media/DCIM/", module->GetCurrentFolder());
}

// Answers the context menu from inside its own loop, where the test cannot run.
struct MenuAnswer {
    std::vector<UINT> keys;          // posted to the menu; none: dismiss it
    std::vector<UINT> ids;           // what the menu held
    std::vector<bool> grayed;
    std::vector<int> heights;        // measured by the owner-drawn menu through the list
    HWND owner = nullptr;
    bool seen = false;
};
MenuAnswer* g_answer = nullptr;  // the running test's, for the timer below

void CALLBACK AnswerMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND popup = ::FindWindowW(L"#32768", nullptr);
    if (!popup || !::IsWindowVisible(popup)) return;
    ::KillTimer(nullptr, timer);
    auto menu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
    g_answer->seen = true;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        g_answer->ids.push_back(::GetMenuItemID(menu, i));
        g_answer->grayed.push_back((::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) != 0);
        RECT item{};
        ::GetMenuItemRect(g_answer->owner, menu, static_cast<UINT>(i), &item);
        g_answer->heights.push_back(item.bottom - item.top);
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE;
        ::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        if (!(info.fType & MFT_OWNERDRAW)) g_answer->heights.back() = -1;
    }
    if (g_answer->keys.empty()) {
        ::EndMenu();
        return;
    }
    for (UINT key : g_answer->keys) ::PostMessageW(popup, WM_KEYDOWN, key, 0);
}

class ContextMenuTest : public FileViewModuleTest {
protected:
    void RightClickAt(POINT at, MenuAnswer& answer) {
        g_answer = &answer;
        answer.owner = list->hwnd();
        ::SetTimer(nullptr, 0, 30, &AnswerMenu);
        LPARAM lp = MAKELPARAM(at.x, at.y);
        list->PostMessage(WM_RBUTTONDOWN, MK_RBUTTON, lp);
        list->PostMessage(WM_RBUTTONUP, 0, lp);
        Pump(300);
        g_answer = nullptr;
    }
};

TEST_F(ContextMenuTest, OnARowEverythingButNewFolder) {
    ShowMedia();
    MenuAnswer answer;
    answer.keys = {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN};  // the third item
    RightClickAt(RowPoint(RowOf(L"notes.txt")), answer);
    ASSERT_TRUE(answer.seen);
    // Open, Copy to PC, Rename, Delete, New Folder, Refresh, Select all, Properties; Open is for a folder row.
    EXPECT_EQ((std::vector<UINT>{1, 10, 15, 13, 14, 19, 20, 21}), answer.ids);
    EXPECT_EQ((std::vector<bool>{true, false, false, false, true, false, false, false}), answer.grayed);
    // Owner-drawn items that were measured through the list window.
    for (int height : answer.heights) EXPECT_GT(height, 0);
    EXPECT_EQ(std::vector<std::wstring>{L"RenamePath"}, executive->Names());
}

TEST_F(ContextMenuTest, OnEmptySpaceOnlyNewFolderAndDismissingDoesNothing) {
    ShowMedia();
    long menus = platform::UniqueMenu::Live();
    MenuAnswer answer;  // no keys: dismissed
    RECT client = list->GetClientRect();
    RightClickAt(POINT{client.right - 10, client.bottom - 10}, answer);
    ASSERT_TRUE(answer.seen);
    EXPECT_EQ((std::vector<bool>{true, true, true, true, false, false, false, true}), answer.grayed);
    EXPECT_TRUE(executive->calls.empty());
    EXPECT_EQ(menus, platform::UniqueMenu::Live());  // the menu went with the click
}

TEST_F(FileViewModuleTest, DroppedFilesReachTheCommandOrAreReleased) {
    ShowMedia();
    std::vector<std::wstring> dropped;
    executive->onCall = [&](const Invocation& call) {
        auto drop = reinterpret_cast<HDROP>(call.word4);
        UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            wchar_t path[MAX_PATH] = {};
            ::DragQueryFileW(drop, i, path, MAX_PATH);
            dropped.push_back(path);
        }
        ::DragFinish(drop);
    };
    HDROP drop = MakeDropHandle({L"C:\\a.txt", L"C:\\photos"});
    list->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(drop));
    EXPECT_EQ(std::vector<std::wstring>{L"DropFiles"}, executive->Names());
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\a.txt", L"C:\\photos"}), dropped);

    // While the views are off nobody takes the handle: the list frees it.
    executive->calls.clear();
    module->EnableViews(0);
    HDROP ignored = MakeDropHandle({L"C:\\b.txt"});
    list->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(ignored));
    EXPECT_TRUE(executive->calls.empty());
    EXPECT_EQ(0u, ::GlobalSize(ignored));
}

// Holds modifier keys down for this thread while a key message is handled.
class HeldKeys {
public:
    HeldKeys(bool ctrl, bool alt) {
        ::GetKeyboardState(saved_);
        BYTE state[256];
        std::copy(std::begin(saved_), std::end(saved_), state);
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        state[VK_MENU] = alt ? 0x80 : 0;
        ::SetKeyboardState(state);
    }
    ~HeldKeys() { ::SetKeyboardState(saved_); }

private:
    BYTE saved_[256];
};

TEST_F(FileViewModuleTest, KeysRaiseTheirCommandsOnlyWhenEnabled) {
    struct Case {
        const char* what;
        bool inTree;
        const wchar_t* row;  // selected first; null for none
        UINT key;
        bool ctrl, alt;
        const wchar_t* disabled;
        std::vector<std::wstring> commands;
    };
    const Case cases[] = {
        {"F2 renames", false, L"notes.txt", VK_F2, false, false, nullptr, {L"RenamePath"}},
        {"Delete deletes", false, L"notes.txt", VK_DELETE, false, false, nullptr, {L"DeleteFromDevice"}},
        {"F5 refreshes", false, nullptr, VK_F5, false, false, nullptr, {L"Refresh"}},
        {"Backspace goes up", false, nullptr, VK_BACK, false, false, nullptr, {L"Up"}},
        {"Alt+Up goes up", false, nullptr, VK_UP, false, true, nullptr, {L"Up"}},
        {"Enter opens a folder row", false, L"DCIM", VK_RETURN, false, false, nullptr, {L"OpenFolder"}},
        {"Enter on a file does nothing", false, L"notes.txt", VK_RETURN, false, false, nullptr, {}},
        {"Ctrl+A raises no command", false, nullptr, 'A', true, false, nullptr, {}},
        {"a disabled Delete does nothing", false, L"notes.txt", VK_DELETE, false, false, L"DeleteFromDevice", {}},
        {"a disabled Up does nothing", false, nullptr, VK_BACK, false, false, L"Up", {}},
        {"a disabled OpenFolder leaves the tree", false, L"DCIM", VK_RETURN, false, false, L"OpenFolder", {}},
        {"F5 in the tree", true, nullptr, VK_F5, false, false, nullptr, {L"Refresh"}},
        {"Alt+Up in the tree", true, nullptr, VK_UP, false, true, nullptr, {L"Up"}},
        {"F2 in the tree does nothing", true, nullptr, VK_F2, false, false, nullptr, {}},
        {"a disabled Refresh in the tree", true, nullptr, VK_F5, false, false, L"Refresh", {}},
    };
    ShowMedia();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tree->SelectItem(tree->RootItem());
        if (c.row) SelectRows({RowOf(c.row)});
        Pump(20);
        executive->calls.clear();
        executive->disabled.clear();
        if (c.disabled) executive->disabled.insert(c.disabled);
        HWND target = c.inTree ? tree->hwnd() : list->hwnd();
        {
            HeldKeys held(c.ctrl, c.alt);
            ::SendMessageW(target, c.alt ? WM_SYSKEYDOWN : WM_KEYDOWN, c.key, c.alt ? (1 << 29) : 0);
        }
        Pump(20);
        EXPECT_EQ(c.commands, executive->Names());
        bool opened = !c.commands.empty() && c.commands[0] == L"OpenFolder";
        EXPECT_EQ(opened ? L"/var/mobile/Media/DCIM/" : L"/var/mobile/Media/", module->GetCurrentFolder());
    }
    // Ctrl+A selects every row.
    {
        HeldKeys held(true, false);
        ::SendMessageW(list->hwnd(), WM_KEYDOWN, 'A', 0);
    }
    EXPECT_EQ(static_cast<size_t>(list->RowCount()), list->SelectedRows().size());
}

TEST_F(FileViewModuleTest, UpStopsAtTheRootAndSelectsTheFolderLeft) {
    ShowMedia();
    tree->SelectItem(tree->GetChildItem(tree->RootItem()));  // DCIM
    tag_DirectoryFileTree dcim = MediaListing().children[0];
    module->LoadTree(&dcim, FileOp_TreeSelChanged);
    ASSERT_EQ(L"/var/mobile/Media/DCIM/", module->GetCurrentFolder());
    tag_DirectoryFileTree media = MediaListing();
    executive->onCall = [&](const Invocation& call) {
        if (call.name == L"FileTreeSelchanged") module->LoadTree(&media, FileOp_TreeSelChanged);
    };
    EXPECT_EQ(1, module->SelectParentFolder());
    EXPECT_EQ(L"/var/mobile/Media/", module->GetCurrentFolder());
    EXPECT_EQ(L"DCIM", module->GetSelectedName()) << "the folder just left is the selected row";
    EXPECT_EQ(0, module->SelectParentFolder()) << "never above the root";
    EXPECT_EQ(L"/var/mobile/Media/", module->GetCurrentFolder());
}

TEST_F(FileViewModuleTest, PathBarShowsThePiecesAndAClickOpensOne) {
    ShowMedia();
    CPathBar* bar = module->PathBar();
    ASSERT_NE(nullptr, bar);
    RECT barRect = bar->GetWindowRect(), listRect = list->GetWindowRect();
    EXPECT_EQ(barRect.bottom, listRect.top) << "right above the list";
    EXPECT_EQ(std::vector<std::wstring>{L"Media"}, bar->Pieces());

    HTREEITEM dcim = tree->GetChildItem(tree->RootItem());
    tree->SelectItem(dcim);
    tree->SelectItem(tree->GetChildItem(dcim));  // 100APPLE
    EXPECT_EQ((std::vector<std::wstring>{L"Media", L"DCIM", L"100APPLE"}), bar->Pieces());

    auto click = [&](int piece) {
        RECT at = bar->PieceRect(piece);
        LPARAM lp = MAKELPARAM((at.left + at.right) / 2, (at.top + at.bottom) / 2);
        bar->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, lp);
        bar->PostMessage(WM_LBUTTONUP, 0, lp);
        Pump(50);
    };
    // While the tree's command is off, a piece does nothing.
    executive->disabled.insert(L"FileTreeSelchanged");
    click(1);
    EXPECT_EQ(L"/var/mobile/Media/DCIM/100APPLE/", module->GetCurrentFolder());
    executive->disabled.clear();
    executive->calls.clear();
    click(1);
    EXPECT_EQ(L"/var/mobile/Media/DCIM/", module->GetCurrentFolder());
    EXPECT_EQ(std::vector<std::wstring>{L"FileTreeSelchanged"}, executive->Names());
    click(0);
    EXPECT_EQ(L"/var/mobile/Media/", module->GetCurrentFolder());
    EXPECT_EQ(std::vector<std::wstring>{L"Media"}, bar->Pieces());
}

}  // namespace
