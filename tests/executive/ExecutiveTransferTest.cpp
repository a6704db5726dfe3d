// Copy jobs: the percentages, the paths handed to the device side, the
// messages, and the real worker thread against a device that reports progress.
#include <thread>

#include "tests/executive/ExecutiveFixture.h"
#include "tests/support/TestPaths.h"

namespace exectest {
namespace {

TEST(CopyPercent, ScalesLargeTotalsByAThousandAndTruncates) {
    EXPECT_EQ(500, CopyPercent(0, 5));
    EXPECT_EQ(50, CopyPercent(1000, 500));
    EXPECT_EQ(33, CopyPercent(3000, 1500));   // 1 of 3
    EXPECT_EQ(100, CopyPercent(1999, 1999));  // 1 of 1
    EXPECT_EQ(66, CopyPercent(3, 2));
    EXPECT_EQ(0, CopyPercent(1001, 999));  // 0 of 1
    EXPECT_EQ(LONG_MAX, CopyPercent(0, 0xFFFFFFFFu));
}

// The job's calls, run on this thread against a recording device.
struct RunJob : ::testing::Test {
    Journal journal;
    FakeDevice* device = new FakeDevice(&journal);
    testsupport::ScratchFolder pc{L"drop"};
    CopyJob job;
    void SetUp() override {
        job.shuttle = device;
        ASSERT_TRUE(::CreateDirectoryW((pc.path() + L"album").c_str(), nullptr));
        ASSERT_TRUE(testsupport::WriteFileBytes(pc.path() + L"a.jpg", "jpeg"));
    }
    void TearDown() override { delete device; }
    static int NoProgress(int, int) { return 1; }
};

TEST_F(RunJob, ADroppedFileGoesStraightIntoTheFolder) {
    job.kind = FileOp_DropFiles;
    job.pcPaths = {pc.path() + L"album", pc.path() + L"a.jpg"};
    job.devicePaths = {L"/var/mobile/Media/DCIM/"};
    EXPECT_TRUE(RunCopyJob(job, &NoProgress));
    const std::vector<std::wstring> expected = {
        L"shuttle.CopyFolderToDevice(" + pc.path() + L"album,/var/mobile/Media/DCIM/)",
        L"shuttle.CopyFileToDevice(" + pc.path() + L"a.jpg,/var/mobile/Media/DCIM/a.jpg)",
    };
    EXPECT_EQ(expected, journal.Lines());
}

TEST_F(RunJob, ADropFailsWhenAnyItemFails) {
    job.kind = FileOp_DropFiles;
    job.pcPaths = {pc.path() + L"album", pc.path() + L"a.jpg"};
    job.devicePaths = {L"/var/mobile/Media/DCIM/"};
    device->copyResult = [&](const std::wstring& path) { return path != pc.path() + L"a.jpg"; };
    EXPECT_FALSE(RunCopyJob(job, &NoProgress)) << "the last item failed";
    // A later success does not hide an earlier failure.
    device->copyResult = [&](const std::wstring& path) { return path != pc.path() + L"album"; };
    EXPECT_FALSE(RunCopyJob(job, &NoProgress));
    EXPECT_EQ(4u, journal.Count(L"shuttle.Copy")) << "every item is tried";
    job.pcPaths.clear();
    EXPECT_FALSE(RunCopyJob(job, &NoProgress));
}

TEST_F(RunJob, AnItemWhoseDevicePathDoesNotFitFailsWithoutACall) {
    job.kind = FileOp_DropFiles;
    job.pcPaths = {pc.path() + L"a.jpg"};
    job.devicePaths = {L"/" + std::wstring(254, L'x') + L"/"};  // 256 characters, plus "a.jpg"
    EXPECT_FALSE(RunCopyJob(job, &NoProgress));
    EXPECT_TRUE(journal.Lines().empty());
}

class Transfers : public ExecutiveFixture {
protected:
    void SetUp() override {
        ExecutiveFixture::SetUp();
        Arrive();
        view->currentFolder = L"/var/mobile/Media/DCIM/";
    }
    std::vector<std::wstring> Copies() { return journal.With(L"shuttle.Copy"); }
};

TEST_F(Transfers, NothingToCopyFrom) {
    view->currentFolder.clear();
    EXPECT_EQ(E_FAIL, Invoke(L"CopyToPC"));
    EXPECT_EQ(E_FAIL, Invoke(L"CopyFileToDevice"));
    EXPECT_EQ(E_FAIL, Invoke(L"CopyFolderToDevice"));
    CommandArgs args;
    args.words[4] = reinterpret_cast<INT_PTR>(MakeDrop({L"C:\\photos\\a.jpg"}));
    EXPECT_EQ(E_FAIL, Invoke(L"DropFiles", &args));
    const std::vector<std::wstring> expected = {
        L"Please select folders or files you want to copy!",
        L"Please select a folder first!",
        L"Please select a phone folder first.",
        L"Please select a phone folder first.",
    };
    EXPECT_EQ(expected, system.Texts());
    EXPECT_TRUE(dialogs.titles.empty());
    EXPECT_EQ(FileOp_Idle, exec->JobKind());
    EXPECT_TRUE(Enabled(L"CopyToPC"));
    EXPECT_EQ(E_POINTER, Invoke(L"DropFiles"));
}

TEST_F(Transfers, CopyFileToDeviceDoublesTheSlashAtTheJoin) {
    dialogs.openFile = L"C:\\photos\\a.jpg";
    ASSERT_EQ(S_OK, Invoke(L"CopyFileToDevice"));
    EXPECT_EQ(FileOp_CopyFileToDevice, exec->JobKind());
    ASSERT_TRUE(WaitJobEnd());
    EXPECT_EQ(std::vector<std::wstring>{L"shuttle.CopyFileToDevice(C:\\photos\\a.jpg,/var/mobile/Media/DCIM//a.jpg)"},
              Copies());
    // A path without a folder part starts nothing, and says nothing.
    dialogs.openFile = L"\\a.jpg";
    system.messages.clear();
    EXPECT_EQ(E_FAIL, Invoke(L"CopyFileToDevice"));
    dialogs.openOk = false;
    EXPECT_EQ(E_FAIL, Invoke(L"CopyFileToDevice"));
    EXPECT_TRUE(system.messages.empty());
    EXPECT_EQ(FileOp_Idle, exec->JobKind());
}

TEST_F(Transfers, ADeviceFolderTooDeepForTheBufferIsRefusedNotCut) {
    view->currentFolder = L"/" + std::wstring(250, L'd') + L"/";
    dialogs.openFile = L"C:\\photos\\picture.jpg";
    EXPECT_EQ(E_FAIL, Invoke(L"CopyFileToDevice"));
    ASSERT_EQ(1u, system.messages.size());
    EXPECT_EQ(0u, system.messages[0].text.find(L"The path is too long"));
    EXPECT_NE(std::wstring::npos, system.messages[0].text.find(view->currentFolder + L"/picture.jpg"));
    EXPECT_EQ(FileOp_Idle, exec->JobKind());
    EXPECT_TRUE(Copies().empty());
}

TEST_F(Transfers, CopyToPCAsksForAFolderAndProbesIt) {
    view->selectedRows = {L"a.jpg", L"b.jpg"};
    testsupport::ScratchFolder target(L"topc");
    dialogs.browseFolder = target.path().substr(0, target.path().size() - 1);
    CommandArgs args;
    args.words[0] = reinterpret_cast<INT_PTR>(::GetDesktopWindow());
    ASSERT_EQ(S_OK, Invoke(L"CopyToPC", &args));
    EXPECT_EQ(std::vector<std::wstring>{L"Select Folder:"}, dialogs.titles);
    EXPECT_EQ(0x51u, dialogs.browseFlags);
    EXPECT_EQ(::GetDesktopWindow(), dialogs.owners[0]);
    EXPECT_TRUE(trace.Has(L"OS is Vista or later.\n"));
    ASSERT_TRUE(WaitJobEnd());
    EXPECT_EQ(std::vector<std::wstring>{L"shuttle.CopyToPC(/var/mobile/Media/DCIM/a.jpg|/var/mobile/Media/DCIM/b.jpg," +
                                        dialogs.browseFolder + L")"},
              Copies());

    // Without a record the main window owns the browser; cancelling is not an error.
    dialogs.browseOk = false;
    EXPECT_EQ(S_OK, Invoke(L"CopyToPC"));
    EXPECT_EQ(mainWnd.hwnd(), dialogs.owners[1]);
    EXPECT_EQ(FileOp_Idle, exec->JobKind());
}

TEST_F(Transfers, AnUnwritableFolderIsRefusedOnVistaOnly) {
    view->selectedRows = {L"a.jpg"};
    dialogs.browseFolder = L"C:\\no such folder here";
    EXPECT_EQ(E_FAIL, Invoke(L"CopyToPC"));
    EXPECT_EQ(std::vector<std::wstring>{L"Access denied. Please run it as Administrator and try again."},
              system.Texts());
    EXPECT_EQ(FileOp_Idle, exec->JobKind());
    // Older systems have no probe: the copy goes ahead (and the device side reports).
    system.osMajor = 5;
    system.messages.clear();
    EXPECT_EQ(S_OK, Invoke(L"CopyToPC"));
    ASSERT_TRUE(WaitJobEnd());
    EXPECT_EQ(1u, Copies().size());
}

TEST_F(Transfers, CopyFolderToDeviceUsesTheFolderItself) {
    dialogs.browseFolder = L"C:\\album";
    ASSERT_EQ(S_OK, Invoke(L"CopyFolderToDevice"));
    ASSERT_TRUE(WaitJobEnd());
    EXPECT_EQ(std::vector<std::wstring>{L"shuttle.CopyFolderToDevice(C:\\album,/var/mobile/Media/DCIM/)"}, Copies());
    dialogs.browseOk = false;
    EXPECT_EQ(S_OK, Invoke(L"CopyFolderToDevice"));
    EXPECT_EQ(1u, Copies().size());
}

TEST_F(Transfers, ADropWhoseLastItemFailsReportsFailure) {
    testsupport::ScratchFolder pc(L"drop");
    ASSERT_TRUE(::CreateDirectoryW((pc.path() + L"album").c_str(), nullptr));
    device->copyResult = [](const std::wstring& path) { return path.find(L"a.jpg") == std::wstring::npos; };
    CommandArgs args;
    args.words[4] = reinterpret_cast<INT_PTR>(MakeDrop({pc.path() + L"album", L"C:\\photos\\a.jpg"}));
    ASSERT_EQ(S_OK, Invoke(L"DropFiles", &args));
    EXPECT_EQ(FileOp_DropFiles, exec->JobKind());
    ASSERT_TRUE(WaitJobEnd());
    EXPECT_EQ(2u, Copies().size());
    EXPECT_EQ(std::vector<std::wstring>{L"Copy Failed."}, system.Texts());
    // The views are refreshed all the same, with the job's kind as the reason.
    EXPECT_EQ(1u, journal.Count(L"view.LoadTree(listing,5)"));
}

TEST_F(Transfers, ADroppedPathTooLongIsRefusedWhole) {
    CommandArgs args;
    const std::wstring deep = L"C:\\" + std::wstring(270, L'p') + L"\\a.jpg";
    args.words[4] = reinterpret_cast<INT_PTR>(MakeDrop({L"C:\\photos\\b.jpg", deep}));
    EXPECT_EQ(E_FAIL, Invoke(L"DropFiles", &args));
    ASSERT_EQ(1u, system.messages.size());
    EXPECT_NE(std::wstring::npos, system.messages[0].text.find(deep));
    EXPECT_EQ(FileOp_Idle, exec->JobKind());
    EXPECT_TRUE(Enabled(L"DropFiles"));
}

TEST_F(Transfers, CopyFinishedReportsAndComesBackToIdle) {
    CommandArgs progress;
    progress.words[4] = 1000;
    progress.words[5] = 500;
    EXPECT_EQ(S_OK, Invoke(L"UpdateCopyProgress", &progress));
    EXPECT_EQ(50, Value(L"CopyProgress"));
    EXPECT_EQ(1u, journal.Count(L"ui.UpdateUI(CopyProgress)"));
    EXPECT_EQ(E_POINTER, Invoke(L"UpdateCopyProgress"));
    EXPECT_EQ(E_POINTER, Invoke(L"CopyFinished"));

    CommandArgs done;
    done.words[3] = 1;
    EXPECT_EQ(S_OK, Invoke(L"CopyFinished", &done));
    ASSERT_EQ(1u, system.messages.size());
    EXPECT_EQ(L"Copy Finished!\n", system.messages[0].text);
    EXPECT_EQ(L"Handset Larkbox", system.messages[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION), system.messages[0].type & MB_ICONMASK);
    EXPECT_EQ(0, Value(L"CopyProgress"));
    EXPECT_EQ(L"Handset Connected.", Status());
    EXPECT_TRUE(Enabled(L"CopyToPC"));
    done.words[3] = 0;
    EXPECT_EQ(S_OK, Invoke(L"CopyFinished", &done));
    EXPECT_EQ(L"Copy Failed.", system.messages[1].text);
}

// The real worker thread, with a device that reports progress and waits to be let go.
TEST_F(Transfers, AJobRunsOnItsOwnThreadWhileThisOnePumps) {
    view->selectedRows = {L"a.jpg"};
    testsupport::ScratchFolder target(L"worker");
    dialogs.browseFolder = target.path();
    device->progress = {{3000, 0}, {3000, 1000}, {3000, 2000}, {3000, 3000}};
    device->holdCopies = true;
    ASSERT_EQ(S_OK, Invoke(L"CopyToPC"));
    ASSERT_TRUE(device->WaitCopyStarted(5000));
    EXPECT_EQ(0u, device->copyThreads.count(::GetCurrentThreadId()));
    ASSERT_TRUE(PumpUntil([&] { return ui->progressSeen.size() == 4; }));
    EXPECT_EQ((std::vector<LONG>{0, 33, 66, 100}), ui->progressSeen);

    // Still running: the device commands and the views stay off, a second copy starts nothing.
    EXPECT_EQ(FileOp_CopyToPC, exec->JobKind());
    EXPECT_FALSE(Enabled(L"CopyToPC"));
    EXPECT_FALSE(Enabled(L"DeleteFromDevice"));
    EXPECT_EQ(0, view->viewsEnabled);
    EXPECT_EQ(E_FAIL, Invoke(L"DeleteFromDevice"));
    CommandArgs forced;
    forced.words[3] = forced.words[4] = forced.words[5] = 1;
    dialogs.openFile = L"C:\\photos\\a.jpg";
    EXPECT_EQ(S_OK, Invoke(L"CopyFileToDevice", &forced)) << "forced through, but it starts nothing";

    // A rename goes through meanwhile, and its refresh keeps the views off.
    view->selectedName = L"a.jpg";
    dialogs.name = L"b.jpg";
    EXPECT_EQ(S_OK, Invoke(L"RenamePath"));
    EXPECT_EQ(1u, journal.Count(L"shuttle.RenamePath(/var/mobile/Media/DCIM/a.jpg,/var/mobile/Media/DCIM/b.jpg)"));
    EXPECT_EQ(0, view->viewsEnabled);
    EXPECT_TRUE(system.messages.empty());
    // Only the worker's own report ends the job.
    CommandArgs early;
    early.words[3] = 1;
    EXPECT_EQ(E_FAIL, Invoke(L"CopyFinished", &early));
    EXPECT_EQ(FileOp_CopyToPC, exec->JobKind());
    EXPECT_TRUE(system.messages.empty());

    device->ReleaseCopies();
    ASSERT_TRUE(WaitJobEnd());
    PumpFor(100);
    EXPECT_EQ(std::vector<std::wstring>{L"Copy Finished!\n"}, system.Texts()) << "exactly one completion";
    EXPECT_EQ(1u, Copies().size()) << "only the first job reached the device";
    EXPECT_TRUE(Enabled(L"CopyToPC"));
    EXPECT_EQ(1, view->viewsEnabled);
    EXPECT_EQ(0, Value(L"CopyProgress"));
    EXPECT_EQ(1u, journal.Count(L"view.LoadTree(listing,16)"));
    EXPECT_FALSE(exec->Job().thread);
}

TEST_F(Transfers, ADeviceRemovedDuringACopyEndsItWaiting) {
    view->selectedRows = {L"a.jpg"};
    dialogs.browseFolder = L"C:\\";
    device->holdCopies = true;
    ASSERT_EQ(S_OK, Invoke(L"CopyToPC"));
    ASSERT_TRUE(device->WaitCopyStarted(5000));
    // The device library reports the removal on its own thread; the copy then fails.
    std::thread library([&] {
        exec->InvokeCommand(L"DeviceRemoved", 0, nullptr);
        device->connected = false;
        device->ReleaseCopies();
    });
    library.join();
    ASSERT_TRUE(WaitJobEnd());
    PumpFor(50);
    EXPECT_EQ(std::vector<std::wstring>{L"Copy Failed."}, system.Texts());
    EXPECT_EQ(L"Waiting for Handset...", Status());
    EXPECT_EQ(1u, journal.Count(L"view.ClearViews()"));
    EXPECT_FALSE(Enabled(L"CopyToPC"));
    EXPECT_EQ(0, view->viewsEnabled);
    EXPECT_EQ(0u, journal.Count(L"shuttle.GetDirectoryTree")) << "nothing to list without a device";
}

TEST_F(Transfers, ARemovalHandledWhileTheFailureIsShownIsNotUndone) {
    view->selectedRows = {L"a.jpg"};
    dialogs.browseFolder = L"C:\\";
    device->copyResult = [](const std::wstring&) { return false; };
    // A real message box pumps messages: the removal can run inside it.
    system.onMessage = [&](const std::wstring& text) {
        if (text == L"Copy Failed.") exec->InvokeCommand(L"DeviceRemoved", 0, nullptr);
    };
    ASSERT_EQ(S_OK, Invoke(L"CopyToPC"));
    ASSERT_TRUE(WaitJobEnd());
    EXPECT_EQ(L"Waiting for Handset...", Status());
    EXPECT_FALSE(Enabled(L"DeleteFromDevice"));
}

TEST_F(Transfers, ADeviceArrivingDuringACopyLeavesTheCommandsOffUntilItEnds) {
    view->selectedRows = {L"a.jpg"};
    dialogs.browseFolder = L"C:\\";
    device->holdCopies = true;
    ASSERT_EQ(S_OK, Invoke(L"CopyToPC"));
    ASSERT_TRUE(device->WaitCopyStarted(5000));
    Invoke(L"DeviceRemoved");
    Invoke(L"DeviceArrival");
    EXPECT_EQ(L"Handset Connected.", Status());
    EXPECT_FALSE(Enabled(L"CopyToPC"));
    device->ReleaseCopies();
    ASSERT_TRUE(WaitJobEnd());
    EXPECT_TRUE(Enabled(L"CopyToPC"));
}

class TransfersWithoutMainWindow : public ExecutiveFixture {
protected:
    void SetUp() override {
        Build(false, true);
        Arrive();
        view->currentFolder = L"/var/mobile/Media/";
    }
};

TEST_F(TransfersWithoutMainWindow, TheEndOfAJobStillArrives) {
    dialogs.browseFolder = L"C:\\album";
    ASSERT_EQ(S_OK, Invoke(L"CopyFolderToDevice"));
    ASSERT_TRUE(WaitJobEnd());
    EXPECT_EQ(std::vector<std::wstring>{L"Copy Finished!\n"}, system.Texts());
    EXPECT_TRUE(Enabled(L"CopyFolderToDevice"));
}

}  // namespace
}  // namespace exectest
