// The real command executive, the real file view with its windows and the
// folder-backed Handset.dll behind Shuttle.dll, with the device folder changed
// behind the program's back: what the list shows is what the commands act on.
#include <gtest/gtest.h>
#include <windows.h>
// Needs the types of <windows.h>.
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fileview/CAppModuleFileView.h"
#include "fileview/CFileListCtrlView.h"
#include "fileview/CFileTreeCtrlView.h"
#include "framework/CEmberSoftBus.h"
#include "framework/EmberGuids.h"
#include "tests/executive/ExecutiveFixture.h"
#include "tests/fileview/FileViewFixtures.h"
#include "tests/support/TestPaths.h"

namespace {

using namespace exectest;

// Runs `during` while the name box is "open", then answers with `name`.
class NameBoxDuring : public FakeDialogs {
public:
    std::function<void()> during;
    bool AskName(HWND owner, const std::wstring& title, std::wstring* result) override {
        if (during) during();
        return FakeDialogs::AskName(owner, title, result);
    }
};

class ViewsOnDevice : public ::testing::Test, protected ExecutiveSeams {
protected:
    void SetUp() override {
        for (const wchar_t* folder :
             {L"", L"\\var", L"\\var\\mobile", L"\\var\\mobile\\Media", L"\\var\\mobile\\Media\\DCIM",
              L"\\var\\mobile\\Media\\DCIM\\100APPLE", L"\\var\\mobile\\Media\\Music"})
            ASSERT_TRUE(::CreateDirectoryW((device + folder).c_str(), nullptr));
        ASSERT_TRUE(testsupport::WriteFileBytes(Media(L"DCIM\\100APPLE\\IMG_0001.JPG"), "one"));
        // The same name one level up: a command aimed at the wrong folder hits it.
        ASSERT_TRUE(testsupport::WriteFileBytes(Media(L"DCIM\\IMG_0101.JPG"), "dcim"));
        ASSERT_TRUE(testsupport::WriteFileBytes(Media(L"notes.txt"), "notes"));
        ASSERT_TRUE(fvtest::WriteSolidBmp(skin.path() + L"tree.bmp", 300, 400, RGB(30, 60, 90)));
        ASSERT_TRUE(UseDeviceFolder(device));
        Start();
    }

    void TearDown() override {
        if (bus) {
            bus->UninitializeModules();
            bus->Release();
        }
        app.SetMainWnd(nullptr);
        if (mainWnd.hwnd()) mainWnd.DestroyWindow();
        PumpFor(0);
        ForgetDeviceFolder();
    }

    // The host's order, Shuttle.dll from the program folder; then the views, as
    // the main window asks for them, and the device's arrival.
    void Start() {
        settings.values[L"CurrentSkinPath"] = settings.values[L"SkinPath"] = skin.path();
        fileView = new CAppModuleFileView;
        ui = new FakeUI(&journal);
        exec = new CAppModuleCmdExecutive;
        ASSERT_EQ(S_OK, bus->RegisterModule(&ember::MID_ConfigModule, new fvtest::ConfigModule(&settings), nullptr));
        ASSERT_EQ(S_OK, bus->RegisterModule(&ember::MID_FileView, fileView, nullptr));
        ASSERT_EQ(S_OK, bus->RegisterModule(&ember::MID_UIMain, ui, nullptr));
        ASSERT_EQ(S_OK, bus->RegisterModule(&ember::MID_CmdExecutive, exec, nullptr));
        ui->executive = exec;
        ASSERT_TRUE(RegisterShuttle(bus));
        ASSERT_TRUE(mainWnd.Create());
        mainWnd.executive = exec;
        app.SetMainWnd(&mainWnd);
        ASSERT_EQ(S_OK, bus->InitializeModules());

        IEmberAppModuleView* made = nullptr;
        ASSERT_EQ(S_OK, fileView->CreateView(L"FileTreeView", host.hwnd(), RECT{0, 0, 200, 400}, L"tree.bmp", &made));
        ASSERT_EQ(S_OK, fileView->CreateView(L"FileListCtrl", host.hwnd(), RECT{210, 0, 790, 400}, L"", &made));
        tree = fileView->TreeView();
        list = fileView->ListView();
        ASSERT_TRUE(tree && list);
        ASSERT_TRUE(PumpUntil([this] { return Status() == L"Handset Connected." && list->GetItemCount() > 0; }));
    }

    std::wstring Media(const std::wstring& relative) const { return device + L"\\var\\mobile\\Media\\" + relative; }
    std::wstring Status() { return reinterpret_cast<const wchar_t*>(exec->GetCommandValue(L"Information", 0)); }

    // The tree item reached from the root through these texts; null when one is missing.
    HTREEITEM Item(std::initializer_list<const wchar_t*> texts) {
        HTREEITEM item = tree->RootItem();
        for (const wchar_t* text : texts) {
            HTREEITEM child = tree->GetChildItem(item);
            while (child && tree->GetItemText(child) != text) child = tree->GetNextSiblingItem(child);
            if (!(item = child)) return nullptr;
        }
        return item;
    }
    std::vector<std::wstring> Children(HTREEITEM item) {
        std::vector<std::wstring> texts;
        for (HTREEITEM c = item ? tree->GetChildItem(item) : nullptr; c; c = tree->GetNextSiblingItem(c))
            texts.push_back(tree->GetItemText(c));
        return texts;
    }
    std::vector<std::wstring> Rows() {
        std::vector<std::wstring> rows;
        for (int row = 0; row < list->GetItemCount(); ++row) rows.push_back(list->GetItemText(row, 1));
        return rows;
    }
    int RowOf(const std::wstring& name) {
        const std::vector<std::wstring> rows = Rows();
        auto at = std::find(rows.begin(), rows.end(), name);
        return at == rows.end() ? -1 : static_cast<int>(at - rows.begin());
    }
    // A click on the tree item: the control's own selection change.
    void Click(HTREEITEM item) {
        ASSERT_NE(nullptr, item);
        tree->SelectItem(item);
        PumpFor(50);
    }
    void SelectRow(const std::wstring& name) {
        LVITEMW none{};
        none.stateMask = LVIS_SELECTED;
        list->SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
        LVITEMW on{};
        on.stateMask = on.state = LVIS_SELECTED | LVIS_FOCUSED;
        ASSERT_GE(RowOf(name), 0) << "no row " << testing::PrintToString(name);
        list->SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(RowOf(name)), reinterpret_cast<LPARAM>(&on));
    }
    // Press, release, double-click, release, posted as the mouse gives them.
    void DoubleClickRow(const std::wstring& name) {
        RECT rect{};
        rect.left = LVIR_LABEL;
        ASSERT_GE(RowOf(name), 0);
        list->SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(RowOf(name)), reinterpret_cast<LPARAM>(&rect));
        LPARAM at = MAKELPARAM(rect.left + 5, (rect.top + rect.bottom) / 2);
        for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
            list->PostMessage(msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
        PumpFor(150);
    }
    void PressF5(platform::CWnd* window) {
        window->SendMessage(WM_KEYDOWN, VK_F5, 1);
        PumpFor(50);
    }

    testsupport::ScratchFolder scratch{L"vw"};
    testsupport::ScratchFolder skin{L"vwskin"};
    std::wstring device = scratch.path() + L"device";
    fvtest::FakeSettings settings;
    fvtest::HostWindow host;
    TestMainWnd mainWnd;
    CEmberSoftBus* bus = new CEmberSoftBus();
    CAppModuleFileView* fileView = nullptr;
    FakeUI* ui = nullptr;
    CAppModuleCmdExecutive* exec = nullptr;
    CFileTreeCtrlView* tree = nullptr;
    CFileListCtrlView* list = nullptr;
};

TEST_F(ViewsOnDevice, AFolderThatAppearsLaterIsOpenedInTreeAndListTogetherAndDeleteHitsOnlyItsFile) {
    Click(Item({L"DCIM"}));
    ASSERT_EQ((std::vector<std::wstring>{L"100APPLE", L"IMG_0101.JPG"}), Rows());
    tree->Expand(Item({L"DCIM"}), TVE_EXPAND);

    // The camera adds a folder after DCIM's tree item was filled.
    ASSERT_TRUE(::CreateDirectoryW(Media(L"DCIM\\101APPLE").c_str(), nullptr));
    ASSERT_TRUE(testsupport::WriteFileBytes(Media(L"DCIM\\101APPLE\\IMG_0101.JPG"), "new"));
    Click(tree->RootItem());
    Click(Item({L"DCIM"}));
    EXPECT_EQ((std::vector<std::wstring>{L"100APPLE", L"101APPLE"}), Children(Item({L"DCIM"})));
    EXPECT_TRUE(tree->IsExpanded(Item({L"DCIM"}))) << "what stays keeps its expansion";

    DoubleClickRow(L"101APPLE");
    EXPECT_EQ(Item({L"DCIM", L"101APPLE"}), tree->GetSelectedItem());
    EXPECT_EQ(L"/var/mobile/Media/DCIM/101APPLE/", fileView->GetCurrentFolder());
    EXPECT_EQ(std::vector<std::wstring>{L"IMG_0101.JPG"}, Rows());
    EXPECT_EQ((std::vector<std::wstring>{L"100APPLE", L"101APPLE"}), Children(Item({L"DCIM"})));

    SelectRow(L"IMG_0101.JPG");
    ASSERT_EQ(S_OK, exec->InvokeCommand(L"DeleteFromDevice", 0, nullptr));
    EXPECT_FALSE(testsupport::FileExists(Media(L"DCIM\\101APPLE\\IMG_0101.JPG")));
    EXPECT_TRUE(testsupport::FileExists(Media(L"DCIM\\IMG_0101.JPG"))) << "the same name one folder up stays";
    EXPECT_TRUE(testsupport::FileExists(Media(L"DCIM\\100APPLE\\IMG_0001.JPG")));
    EXPECT_TRUE(Rows().empty());

    // A folder the tree has but the list does not (gone before it was listed)
    // still moves tree, current folder and list together when opened.
    Click(Item({L"DCIM"}));
    ASSERT_TRUE(testsupport::RemoveTree(Media(L"DCIM\\100APPLE")));
    DoubleClickRow(L"100APPLE");
    EXPECT_EQ(L"/var/mobile/Media/DCIM/100APPLE/", fileView->GetCurrentFolder());
    EXPECT_TRUE(Rows().empty()) << "no rows of DCIM under 100APPLE's path";
    EXPECT_EQ(L"This folder cannot be read. Press F5 to try again.", Status());
    system.messages.clear();
    EXPECT_EQ(E_FAIL, exec->InvokeCommand(L"DeleteFromDevice", 0, nullptr));
    EXPECT_EQ(std::vector<std::wstring>{L"Please select folders or files you want to remove first."}, system.Texts());
    EXPECT_TRUE(testsupport::FileExists(Media(L"DCIM\\IMG_0101.JPG")));
}

TEST_F(ViewsOnDevice, RefreshFollowsTheDeviceAndKeepsSelectionAndExpansion) {
    tree->Expand(Item({L"DCIM"}), TVE_EXPAND);
    SelectRow(L"notes.txt");
    // Behind the program's back: a folder comes, one goes, one appears a level down.
    ASSERT_TRUE(::CreateDirectoryW(Media(L"Books").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(Media(L"DCIM\\102APPLE").c_str(), nullptr));
    ASSERT_TRUE(testsupport::RemoveTree(Media(L"Music")));

    PressF5(list);
    EXPECT_EQ((std::vector<std::wstring>{L"Books", L"DCIM"}), Children(tree->RootItem()));
    EXPECT_EQ((std::vector<std::wstring>{L"100APPLE", L"102APPLE"}), Children(Item({L"DCIM"})));
    EXPECT_TRUE(tree->IsExpanded(Item({L"DCIM"})));
    EXPECT_EQ(tree->RootItem(), tree->GetSelectedItem());
    EXPECT_EQ((std::vector<std::wstring>{L"Books", L"DCIM", L"notes.txt"}), Rows());
    EXPECT_EQ(std::vector<std::wstring>{L"notes.txt"}, list->GetSelectedNames());

    // F5 in the tree does the same; a listing that fails shows no rows.
    Click(Item({L"Books"}));
    ASSERT_TRUE(testsupport::WriteFileBytes(Media(L"Books\\a.epub"), "a"));
    PressF5(tree);
    EXPECT_EQ(std::vector<std::wstring>{L"a.epub"}, Rows());
    ASSERT_TRUE(testsupport::RemoveTree(Media(L"Books")));
    PressF5(tree);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(L"/var/mobile/Media/Books/", fileView->GetCurrentFolder());
    EXPECT_EQ(L"This folder cannot be read. Press F5 to try again.", Status());
    Click(tree->RootItem());
    EXPECT_EQ(L"Handset Connected.", Status());
    EXPECT_EQ((std::vector<std::wstring>{L"DCIM"}), Children(tree->RootItem()));
}

TEST_F(ViewsOnDevice, ARemovalWhileTheNameBoxIsOpenCreatesNothingAndLeavesNoCurrentFolder) {
    NameBoxDuring box;
    ScopedModalDialogs boxScope{box};
    box.name = L"Album";
    const std::wstring away = scratch.path() + L"away";
    box.during = [&] {
        ASSERT_TRUE(::MoveFileW(device.c_str(), away.c_str()));
        ASSERT_TRUE(PumpUntil([&] { return Status() == L"Waiting for Handset..."; }, 10000));
    };
    Click(Item({L"DCIM"}));
    EXPECT_EQ(E_FAIL, exec->InvokeCommand(L"CreateFolder", 0, nullptr));
    EXPECT_EQ(L"", fileView->GetCurrentFolder());
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(0u, tree->GetCount());
    EXPECT_FALSE(testsupport::FileExists(away + L"\\var\\mobile\\Media\\DCIM\\Album"));
    EXPECT_FALSE(testsupport::FileExists(device));
}

}  // namespace
