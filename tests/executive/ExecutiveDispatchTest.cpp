// The command table, dispatch, device arrival and removal, the root choice and
// the window commands.
#include <thread>

#include "tests/executive/ExecutiveFixture.h"

namespace exectest {
namespace {

using Dispatch = ExecutiveFixture;

TEST_F(Dispatch, StartsWaitingWithTheDeviceCommandsOffAndTheRootFromTheSettings) {
    ASSERT_EQ(S_OK, initResult);
    EXPECT_EQ(L"Waiting for Handset...", Status());
    for (const wchar_t* name :
         {L"CopyToPC", L"CopyFileToDevice", L"CopyFolderToDevice", L"DeleteFromDevice", L"CreateFolder",
          L"SpecifyFolder", L"OpenFolder", L"FileTreeSelchanged", L"DropFiles", L"DragFileToPC", L"Refresh", L"Up",
          L"CopyToClipboard", L"PasteFromClipboard"})
        EXPECT_FALSE(Enabled(name)) << name;
    for (const wchar_t* name : {L"RenamePath", L"CheckUpdate", L"Power_Off", L"DeviceArrival", L"UpdateCopyProgress"})
        EXPECT_TRUE(Enabled(name)) << name;
    EXPECT_EQ(0, view->viewsEnabled);
    EXPECT_EQ(L"ui.UpdateUI()", journal.Lines().back());
}

TEST_F(Dispatch, TheRootChoiceIsReadAtStart) {
    EXPECT_EQ(0, Value(L"SpecifyFolder"));
    TearDown();
    seedInts[L"CurrentSpecifyFolder"] = 1;
    Build(true, true);
    EXPECT_EQ(1, Value(L"SpecifyFolder"));
}

TEST_F(Dispatch, InitializeReturnsTheFirstFailingLookUp) {
    TearDown();
    Build(true, false);
    EXPECT_EQ(E_NOINTERFACE, initResult);
    // Nothing reaches the missing partners afterwards.
    EXPECT_EQ(E_POINTER, Invoke(L"DeviceArrival"));
}

TEST_F(Dispatch, NamesCompareWithoutRegardToCase) {
    Arrive();
    EXPECT_EQ(E_FAIL, exec->InvokeCommand(L"copytopc", 77, nullptr));
    EXPECT_EQ(77, exec->Entry(10).lastParam);
    // It reached the handler: the selection was asked for and found empty.
    EXPECT_EQ(std::vector<std::wstring>{L"Please select folders or files you want to copy!"}, system.Texts());
    EXPECT_EQ(1, exec->IsCommandEnabled(L"COPYTOPC"));
}

TEST_F(Dispatch, UnknownNamesAndRowsWithoutHandlerFail) {
    EXPECT_EQ(E_FAIL, Invoke(L"NoSuchCommand"));
    EXPECT_EQ(E_FAIL, Invoke(nullptr));
    EXPECT_EQ(0, exec->IsCommandEnabled(L"NoSuchCommand"));
    CommandArgs force;
    force.words[3] = force.words[4] = force.words[5] = 1;
    EXPECT_EQ(E_FAIL, exec->InvokeCommand(L"Information", 5, &force));
    EXPECT_EQ(E_FAIL, exec->InvokeCommand(L"CopyProgress", 6, &force));
    // The rows exist: their parameter was written before the refusal.
    EXPECT_EQ(5, exec->Entry(20).lastParam);
    EXPECT_EQ(6, exec->Entry(21).lastParam);
    // Enabled so that the status label and the progress bar show their values.
    EXPECT_EQ(1, exec->IsCommandEnabled(L"Information"));
    EXPECT_EQ(1, exec->IsCommandEnabled(L"CopyProgress"));
}

TEST_F(Dispatch, TheDisabledSetRefusesDeleteWhileRenameAndCheckUpdateRun) {
    view->currentFolder = L"/var/mobile/Media/";
    view->selectedRows = {L"a"};
    view->selectedName = L"a";
    dialogs.name = L"b";
    config->strings[L"CheckupdateWeb"] = L"http://update.example/";
    journal.Clear();
    EXPECT_EQ(E_FAIL, Invoke(L"DeleteFromDevice"));
    EXPECT_TRUE(system.messages.empty());
    EXPECT_EQ(S_OK, Invoke(L"RenamePath"));
    EXPECT_EQ(1u, journal.Count(L"shuttle.RenamePath("));
    EXPECT_EQ(S_OK, Invoke(L"CheckUpdate"));
    EXPECT_EQ(1u, system.started.size());
    EXPECT_EQ(0u, journal.Count(L"shuttle.DeletePath"));
}

TEST_F(Dispatch, WordsThreeFourAndFiveAllOneForceADisabledCommand) {
    view->currentFolder = L"/var/mobile/Media/";
    view->selectedRows = {L"x"};
    CommandArgs almost;
    almost.words[3] = almost.words[4] = 1;
    EXPECT_EQ(E_FAIL, exec->InvokeCommand(L"DeleteFromDevice", 0, &almost));
    EXPECT_TRUE(system.messages.empty());
    CommandArgs force;
    force.words[3] = force.words[4] = force.words[5] = 1;
    EXPECT_EQ(S_OK, exec->InvokeCommand(L"DeleteFromDevice", 0, &force));
    EXPECT_EQ(std::vector<std::wstring>{L"shuttle.DeletePath(/var/mobile/Media/x)"}, journal.With(L"shuttle.Delete"));
}

TEST_F(Dispatch, InformationHandsOutItsTextUnlessRawIsAsked) {
    const auto* text = reinterpret_cast<const wchar_t*>(exec->GetCommandValue(L"information", 0));
    ASSERT_NE(nullptr, text);
    EXPECT_STREQ(L"Waiting for Handset...", text);
    EXPECT_EQ(0, exec->GetCommandValue(L"Information", 1));
    EXPECT_EQ(0, exec->GetCommandValue(nullptr, 0));
    EXPECT_EQ(0, exec->GetCommandValue(L"Nothing", 0));
}

TEST_F(Dispatch, ArrivalShowsTheMediaRootAndEnablesTheCommands) {
    journal.Clear();
    ASSERT_EQ(S_OK, Invoke(L"DeviceArrival"));
    EXPECT_EQ(L"Handset Connected.", Status());
    const std::vector<std::wstring> expected = {
        L"ui.UpdateUI()",
        L"device.PathExists(/var/mobile/Media)",
        L"view.SetRootPath(/var/mobile/Media)",
        L"view.EnableViews(0)",
        L"shuttle.GetDirectoryTree(/var/mobile/Media,2)",
        L"view.LoadTree(listing,17)",
        L"view.EnableViews(0)",
        L"ui.UpdateUI()",
        L"view.EnableViews(1)",
        L"ui.UpdateUI()",
    };
    EXPECT_EQ(expected, journal.Lines());
    EXPECT_TRUE(Enabled(L"DeleteFromDevice"));
    EXPECT_TRUE(Enabled(L"DropFiles"));
}

TEST_F(Dispatch, ArrivalWithTheDeviceRootChosenShowsTheRoot) {
    config->ints[L"CurrentSpecifyFolder"] = 1;
    journal.Clear();
    Invoke(L"DeviceArrival");
    EXPECT_EQ(0u, journal.Count(L"device.PathExists"));
    EXPECT_EQ(1, journal.IndexOf(L"view.SetRootPath(/)"));
    EXPECT_LE(0, journal.IndexOf(L"shuttle.GetDirectoryTree(/,2)"));
}

TEST_F(Dispatch, ADeviceWithoutTheMediaFolderGetsTheDeviceRoot) {
    device->existing.clear();
    Invoke(L"DeviceArrival");
    EXPECT_LE(0, journal.IndexOf(L"view.SetRootPath(/)"));
    EXPECT_EQ(L"/", exec->MediaRoot());
    // Without the device library nothing can be asked: the media folder it is.
    device->libraryBound = false;
    EXPECT_EQ(L"/var/mobile/Media", exec->MediaRoot());
}

TEST_F(Dispatch, RemovalDisablesClearsAndWaits) {
    Arrive();
    ASSERT_EQ(S_OK, Invoke(L"DeviceRemoved"));
    EXPECT_EQ(L"Waiting for Handset...", Status());
    EXPECT_FALSE(Enabled(L"CopyToPC"));
    EXPECT_TRUE(Enabled(L"RenamePath"));
    const std::vector<std::wstring> expected = {L"ui.UpdateUI()", L"view.EnableViews(0)", L"view.ClearViews()",
                                                L"ui.UpdateUI()"};
    EXPECT_EQ(expected, journal.Lines());
}

// A reason why no handset shows replaces the waiting text, never the connected one, and lasts until an arrival.
TEST_F(Dispatch, ReasonsForNoDeviceShowOnlyWhileNoneIsConnected) {
    const std::wstring missing = L"Handset service not found. Install the handset vendor's software.";
    const std::wstring untrusted =
        L"This computer is not trusted yet. Unlock the handset, open the vendor's software once and tap Trust on "
        L"the handset.";
    ASSERT_EQ(S_OK, Invoke(L"DeviceServiceMissing"));
    EXPECT_EQ(missing, Status());
    ASSERT_EQ(S_OK, Invoke(L"DeviceNotTrusted"));
    EXPECT_EQ(untrusted, Status());
    Arrive();
    EXPECT_EQ(L"Handset Connected.", Status());
    Invoke(L"DeviceNotTrusted");
    EXPECT_EQ(L"Handset Connected.", Status());
    EXPECT_TRUE(Enabled(L"CopyToPC")) << "a reason changes only the text";
    Invoke(L"DeviceRemoved");
    EXPECT_EQ(L"Waiting for Handset...", Status());
    EXPECT_FALSE(Enabled(L"CancelCopy")) << "nothing to cancel without a job";
}

TEST_F(Dispatch, DeviceNotificationsFromTheLibraryThreadRunOnTheWindowThreadInOrder) {
    HRESULT arrival = E_UNEXPECTED, removal = E_UNEXPECTED, withArgs = S_OK;
    std::thread library([&] {
        arrival = exec->InvokeCommand(L"DeviceArrival", 0, nullptr);
        removal = exec->InvokeCommand(L"DeviceRemoved", 0, nullptr);
        CommandArgs args;
        withArgs = exec->InvokeCommand(L"DeviceArrival", 0, &args);
    });
    library.join();
    EXPECT_EQ(S_OK, arrival);
    EXPECT_EQ(S_OK, removal);
    EXPECT_EQ(E_INVALIDARG, withArgs);
    // Nothing has happened yet: the work waits for this thread.
    EXPECT_EQ(0u, journal.Count(L"view.SetRootPath"));
    EXPECT_EQ(L"Waiting for Handset...", Status());
    ASSERT_TRUE(PumpUntil([&] { return journal.Count(L"view.ClearViews") == 1; }));
    EXPECT_LT(journal.IndexOf(L"view.SetRootPath(/var/mobile/Media)"), journal.IndexOf(L"view.ClearViews()"));
    EXPECT_EQ(std::set<DWORD>{::GetCurrentThreadId()}, view->threads);
    EXPECT_EQ(L"Waiting for Handset...", Status());
    EXPECT_FALSE(Enabled(L"CopyToPC"));
}

TEST_F(Dispatch, SpecifyFolderWithTheCurrentValueDoesNothing) {
    Arrive();
    CommandArgs args;
    args.words[3] = 0;
    EXPECT_EQ(S_OK, Invoke(L"SpecifyFolder", &args));
    EXPECT_TRUE(system.messages.empty());
    EXPECT_TRUE(journal.Lines().empty());
    EXPECT_EQ(E_POINTER, Invoke(L"SpecifyFolder"));
    args.words[3] = 2;
    EXPECT_EQ(E_FAIL, Invoke(L"SpecifyFolder", &args));
}

TEST_F(Dispatch, TheDeviceRootNeedsTheWarningAccepted) {
    Arrive();
    CommandArgs args;
    args.words[3] = 1;
    system.answers = {IDCANCEL};
    EXPECT_EQ(E_FAIL, Invoke(L"SpecifyFolder", &args));
    ASSERT_EQ(1u, system.messages.size());
    EXPECT_EQ(L"Root files corrupted may cause Handset unavailable!", system.messages[0].text);
    EXPECT_EQ(L"Root Folder", system.messages[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL), system.messages[0].type) << "OK and Cancel, no icon";
    EXPECT_EQ(0, Value(L"SpecifyFolder"));
    EXPECT_EQ(std::vector<std::wstring>{L"ui.UpdateUI(SpecifyFolder)"}, journal.Lines());
    EXPECT_EQ(0u, config->ints.count(L"CurrentSpecifyFolder"));

    journal.Clear();
    EXPECT_EQ(S_OK, Invoke(L"SpecifyFolder", &args));
    EXPECT_EQ(1, Value(L"SpecifyFolder"));
    EXPECT_EQ(1, config->ints[L"CurrentSpecifyFolder"]);
    EXPECT_LT(journal.IndexOf(L"view.ClearViews()"), journal.IndexOf(L"view.SetRootPath(/)"));
    EXPECT_LT(journal.IndexOf(L"view.SetRootPath(/)"), journal.IndexOf(L"view.LoadTree(listing,17)"));

    // Back to the media folder: no question.
    args.words[3] = 0;
    journal.Clear();
    EXPECT_EQ(S_OK, Invoke(L"SpecifyFolder", &args));
    EXPECT_EQ(1u, system.messages.size() - 1);
    EXPECT_EQ(0, config->ints[L"CurrentSpecifyFolder"]);
    EXPECT_LE(0, journal.IndexOf(L"view.SetRootPath(/var/mobile/Media)"));
}

TEST_F(Dispatch, ARefreshInsideARefreshDoesNothing) {
    Arrive();
    view->currentFolder = L"/var/mobile/Media/";
    int nested = 0;
    device->onTree = [&] {
        if (nested++ == 0) exec->InvokeCommand(L"FileTreeSelchanged", 0, nullptr);
    };
    EXPECT_EQ(S_OK, Invoke(L"FileTreeSelchanged"));
    EXPECT_EQ(1u, journal.Count(L"shuttle.GetDirectoryTree"));
    EXPECT_EQ(1u, journal.Count(L"view.LoadTree"));
    // And the guard is down again afterwards.
    EXPECT_EQ(S_OK, Invoke(L"FileTreeSelchanged"));
    EXPECT_EQ(2u, journal.Count(L"shuttle.GetDirectoryTree"));
}

TEST_F(Dispatch, ARefreshWithoutAListingEmptiesTheListAndSaysWhy) {
    Arrive();
    device->treeAvailable = false;
    Invoke(L"FileTreeSelchanged");
    EXPECT_EQ(0u, journal.Count(L"view.LoadTree"));
    EXPECT_EQ(1u, journal.Count(L"view.ClearList()")) << "no rows of another folder stay";
    EXPECT_EQ(L"This folder cannot be read. Press F5 to try again.", Status());
    EXPECT_EQ(1, view->viewsEnabled);

    // Listed again: the status line is back; with no folder shown, Refresh lists the root anew.
    device->treeAvailable = true;
    view->currentFolder.clear();
    journal.Clear();
    EXPECT_EQ(S_OK, Invoke(L"Refresh"));
    EXPECT_EQ(L"Handset Connected.", Status());
    EXPECT_EQ(1u, journal.Count(L"view.SetRootPath(/var/mobile/Media)"));
    EXPECT_EQ(1u, journal.Count(L"view.LoadTree(listing,17)"));
}

TEST_F(Dispatch, MaximizeTogglesAndHidesAboutMeanwhile) {
    ASSERT_EQ(S_OK, Invoke(L"Maximize"));
    EXPECT_EQ((std::vector<WPARAM>{SW_HIDE, SW_SHOW}), mainWnd.aboutShows);
    EXPECT_EQ((std::vector<BOOL>{FALSE, TRUE}), mainWnd.zoomedAtAbout);
    EXPECT_EQ(2u, journal.Count(L"ui.UpdateUI(Maximize)"));
    EXPECT_EQ(0, Value(L"Maximize"));
    ASSERT_EQ(S_OK, Invoke(L"Maximize"));
    EXPECT_FALSE(::IsZoomed(mainWnd.hwnd()));
    ASSERT_EQ(S_OK, Invoke(L"Minimize"));
    EXPECT_TRUE(::IsIconic(mainWnd.hwnd()));
}

TEST_F(Dispatch, PowerOffEndsTheLoopWithSeven) {
    MSG stale;
    while (::PeekMessageW(&stale, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    ASSERT_EQ(S_OK, Invoke(L"Power_Off"));
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
}

TEST_F(Dispatch, UpdateUIPassesTheNamesOfItsRecord) {
    journal.Clear();
    CommandArgs args;
    const wchar_t* names = L"CopyProgress,Information";
    args.words[4] = reinterpret_cast<INT_PTR>(names);
    EXPECT_EQ(S_OK, Invoke(L"UpdateUI", &args));
    EXPECT_EQ(S_OK, Invoke(L"UpdateUI"));
    EXPECT_EQ((std::vector<std::wstring>{L"ui.UpdateUI(CopyProgress,Information)", L"ui.UpdateUI()"}), journal.Lines());
}

class NoMainWindow : public ExecutiveFixture {
protected:
    void SetUp() override { Build(false, true); }
};

TEST_F(NoMainWindow, WindowCommandsFailWithoutAWindow) {
    EXPECT_EQ(E_FAIL, Invoke(L"Maximize"));
    EXPECT_EQ(E_FAIL, Invoke(L"Minimize"));
    EXPECT_EQ(0u, journal.Count(L"ui.UpdateUI(Maximize)"));
}

TEST(NoConfiguration, HelpStillAnswersZeroWhereAboutRefuses) {
    CAppModuleCmdExecutive lone;
    EXPECT_EQ(S_OK, lone.InvokeCommand(L"Help", 0, nullptr));
    EXPECT_EQ(E_POINTER, lone.InvokeCommand(L"About", 0, nullptr));
}

}  // namespace
}  // namespace exectest
