// Delete, create, rename, and moving through device folders.
#include "tests/executive/ExecutiveFixture.h"

namespace exectest {
namespace {

class DeviceFiles : public ExecutiveFixture {
protected:
    void SetUp() override {
        ExecutiveFixture::SetUp();
        Arrive();
        view->currentFolder = L"/var/mobile/Media/";
    }
    std::vector<std::wstring> DeviceCalls() {
        std::vector<std::wstring> out;
        for (const std::wstring& line : journal.Lines())
            if (line.rfind(L"shuttle.", 0) == 0 || line.rfind(L"device.", 0) == 0) out.push_back(line);
        return out;
    }
};

TEST_F(DeviceFiles, ThreeDeletesInListOrderThenOneRefresh) {
    view->selectedRows = {L"c.jpg", L"a.jpg", L"b"};
    ASSERT_EQ(S_OK, Invoke(L"DeleteFromDevice"));
    ASSERT_EQ(1u, system.messages.size());
    EXPECT_EQ(L"Are you sure to remove the selected item(s)?", system.messages[0].text);
    EXPECT_EQ(L"Delete", system.messages[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), system.messages[0].type);
    const std::vector<std::wstring> expected = {
        L"shuttle.DeletePath(/var/mobile/Media/c.jpg)",
        L"shuttle.DeletePath(/var/mobile/Media/a.jpg)",
        L"shuttle.DeletePath(/var/mobile/Media/b)",
        L"shuttle.GetDirectoryTree(/var/mobile/Media/,2)",
    };
    EXPECT_EQ(expected, DeviceCalls());
    EXPECT_EQ(std::vector<std::wstring>{L"view.LoadTree(listing,13)"}, journal.With(L"view.LoadTree"));
}

TEST_F(DeviceFiles, NoToTheDeleteQuestionChangesNothing) {
    view->selectedRows = {L"a.jpg"};
    system.answers = {IDNO};
    EXPECT_EQ(E_FAIL, Invoke(L"DeleteFromDevice"));
    EXPECT_TRUE(DeviceCalls().empty());
    view->selectedRows.clear();
    EXPECT_EQ(E_FAIL, Invoke(L"DeleteFromDevice"));
    EXPECT_EQ(L"Please select folders or files you want to remove first.", system.messages.back().text);
}

TEST_F(DeviceFiles, CreateFolderChecksAndCreatesTheJoinedPath) {
    dialogs.name = L"Photos";
    ASSERT_EQ(S_OK, Invoke(L"CreateFolder"));
    EXPECT_EQ(std::vector<std::wstring>{L"New Folder"}, dialogs.titles);
    EXPECT_EQ(std::vector<std::wstring>{L""}, dialogs.initialNames);
    const std::vector<std::wstring> expected = {
        L"device.PathExists(/var/mobile/Media//Photos)",
        L"shuttle.CreateFolder(/var/mobile/Media//Photos)",
        L"shuttle.GetDirectoryTree(/var/mobile/Media/,2)",
    };
    EXPECT_EQ(expected, DeviceCalls());
    EXPECT_EQ(1u, journal.Count(L"view.LoadTree(listing,14)"));
    EXPECT_TRUE(system.messages.empty());
}

TEST_F(DeviceFiles, AnExistingFolderIsNotCreatedAgain) {
    dialogs.name = L"DCIM";
    device->existing.insert(L"/var/mobile/Media//DCIM");
    EXPECT_EQ(1, Invoke(L"CreateFolder"));
    EXPECT_EQ(std::vector<std::wstring>{L"Folder already exists."}, system.Texts());
    EXPECT_EQ(0u, journal.Count(L"shuttle.CreateFolder"));
}

TEST_F(DeviceFiles, CreateFolderThatTheDeviceRefusesLeavesTheViews) {
    dialogs.name = L"Photos";
    device->createResult = false;
    EXPECT_EQ(S_OK, Invoke(L"CreateFolder"));
    EXPECT_EQ(0u, journal.Count(L"shuttle.GetDirectoryTree"));
    EXPECT_EQ(std::vector<std::wstring>{L"The folder could not be created."}, system.Texts());
}

TEST_F(DeviceFiles, CreateFolderNeedsAFolderAName) {
    dialogs.nameOk = false;
    EXPECT_EQ(E_FAIL, Invoke(L"CreateFolder"));
    dialogs.nameOk = true;
    dialogs.name = L"";
    EXPECT_EQ(E_FAIL, Invoke(L"CreateFolder"));
    EXPECT_TRUE(system.messages.empty());
    for (const wchar_t* bad : {L"..", L".", L"a/b"}) {
        dialogs.name = bad;
        EXPECT_EQ(E_FAIL, Invoke(L"CreateFolder")) << bad;
    }
    EXPECT_EQ(3u, system.messages.size());
    EXPECT_EQ(L"Invalid name.", system.messages.back().text);
    view->currentFolder.clear();
    EXPECT_EQ(E_FAIL, Invoke(L"CreateFolder"));
    EXPECT_EQ(L"Please select a folder first.", system.messages.back().text);
    EXPECT_TRUE(DeviceCalls().empty());
}

TEST_F(DeviceFiles, CreateFolderWithoutTheDeviceLibraryCallsNothing) {
    device->libraryBound = false;
    dialogs.name = L"Photos";
    EXPECT_EQ(E_POINTER, Invoke(L"CreateFolder"));
    EXPECT_TRUE(DeviceCalls().empty());
}

TEST_F(DeviceFiles, RenameJoinsTheFolderAndTheNewName) {
    view->selectedName = L"a";
    dialogs.name = L"b";
    ASSERT_EQ(S_OK, Invoke(L"RenamePath"));
    EXPECT_EQ(std::vector<std::wstring>{L"Rename"}, dialogs.titles);
    EXPECT_EQ(std::vector<std::wstring>{L"a"}, dialogs.initialNames);
    const std::vector<std::wstring> expected = {
        L"device.PathExists(/var/mobile/Media/b)",
        L"shuttle.RenamePath(/var/mobile/Media/a,/var/mobile/Media/b)",
        L"shuttle.GetDirectoryTree(/var/mobile/Media/,2)",
    };
    EXPECT_EQ(expected, DeviceCalls());
    EXPECT_EQ(1u, journal.Count(L"view.LoadTree(listing,15)"));
}

TEST_F(DeviceFiles, RenameToTheSameOrAnEmptyNameCallsNothing) {
    view->selectedName = L"a";
    dialogs.name = L"a";
    EXPECT_EQ(E_FAIL, Invoke(L"RenamePath"));
    dialogs.name = L"";
    EXPECT_EQ(E_FAIL, Invoke(L"RenamePath"));
    dialogs.nameOk = false;
    EXPECT_EQ(E_FAIL, Invoke(L"RenamePath"));
    EXPECT_TRUE(DeviceCalls().empty());
    EXPECT_TRUE(system.messages.empty());
    // Only the letter case changes: still a rename.
    dialogs.nameOk = true;
    dialogs.name = L"A";
    EXPECT_EQ(S_OK, Invoke(L"RenamePath"));
    EXPECT_EQ(1u, journal.Count(L"shuttle.RenamePath(/var/mobile/Media/a,/var/mobile/Media/A)"));
}

TEST_F(DeviceFiles, ARefusedRenameLeavesTheViews) {
    view->selectedName = L"a";
    dialogs.name = L"b";
    // Onto an entry that exists: said so, and the other entry is never replaced.
    device->existing.insert(L"/var/mobile/Media/b");
    EXPECT_EQ(E_FAIL, Invoke(L"RenamePath"));
    EXPECT_EQ(std::vector<std::wstring>{L"An entry with this name already exists."}, system.Texts());
    EXPECT_EQ(0u, journal.Count(L"shuttle.RenamePath"));
    device->existing.erase(L"/var/mobile/Media/b");
    system.messages.clear();

    device->renameResult = false;
    EXPECT_EQ(S_OK, Invoke(L"RenamePath"));
    EXPECT_EQ(0u, journal.Count(L"shuttle.GetDirectoryTree"));
    EXPECT_EQ(std::vector<std::wstring>{L"The item could not be renamed."}, system.Texts());
    system.messages.clear();
    view->selectedName.clear();
    EXPECT_EQ(E_FAIL, Invoke(L"RenamePath"));
    EXPECT_EQ(std::vector<std::wstring>{L"Please select a folder or file first."}, system.Texts());
}

TEST_F(DeviceFiles, OpeningAndSelectingFoldersRefreshWithTheirReasons) {
    view->selectedName = L"DCIM";
    ASSERT_EQ(S_OK, Invoke(L"OpenFolder"));
    ASSERT_EQ(S_OK, Invoke(L"FileTreeSelchanged"));
    // The file view has moved the tree onto the opened folder: it is the current one,
    // whatever row the list still has selected.
    const std::vector<std::wstring> expected = {
        L"shuttle.GetDirectoryTree(/var/mobile/Media/,2)",
        L"shuttle.GetDirectoryTree(/var/mobile/Media/,2)",
    };
    EXPECT_EQ(expected, DeviceCalls());
    EXPECT_EQ((std::vector<std::wstring>{L"view.LoadTree(listing,18)", L"view.LoadTree(listing,7)"}),
              journal.With(L"view.LoadTree"));
    EXPECT_EQ(L"ui.UpdateUI()", journal.Lines().back());
}

}  // namespace
}  // namespace exectest
