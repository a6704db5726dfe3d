// The command executive with the real device modules: Shuttle.dll, loaded as
// the host loads it, binds the folder-backed Handset.dll, which is pointed at
// a scratch folder. The file view, the user interface, the configuration and
// the prompts are the recording partners of the other executive tests.
#include <gtest/gtest.h>

#include <windows.h>
// The platform headers below need the types of <windows.h>.
#include <shlwapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "executive/ClashPrompt.h"
#include "framework/CEmberSoftBus.h"
#include "framework/EmberGuids.h"
#include "platform/WinApp.h"
#include "tests/executive/ExecutiveFixture.h"
#include "tests/support/TestPaths.h"

namespace exectest {
namespace {

constexpr const wchar_t kPartialPrefix[] = L"~$pelican-";
constexpr LONGLONG kMiB = 1 << 20;
// Big enough that the copy is still running long after the removal is seen;
// sparse, so it costs no disk until it is copied.
constexpr LONGLONG kHugeFile = 768 * kMiB;

// Records what the worker reported, in arrival order, and what the executive's
// command state was at each report.
class WatchingMainWnd : public TestMainWnd {
public:
    struct Report {
        UINT total;
        UINT done;
        bool copyEnabled;
        bool deleteEnabled;
        int viewsEnabled;
    };
    std::vector<Report> reports;
    std::vector<WPARAM> finishes;
    std::vector<bool> enabledAtFinish;
    FakeFileView* view = nullptr;
    // Runs once, at the first report with some bytes copied (or at the very
    // first report, when `atFirstReport` is set).
    std::function<void()> onCopying;
    bool atFirstReport = false;

    void Reset() {
        reports.clear();
        finishes.clear();
        enabledAtFinish.clear();
    }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_COPY_PROGRESS && executive) {
            reports.push_back({static_cast<UINT>(wp), static_cast<UINT>(lp),
                               executive->IsCommandEnabled(L"CopyToPC") != 0,
                               executive->IsCommandEnabled(L"DeleteFromDevice") != 0, view ? view->viewsEnabled : -1});
            if ((lp > 0 || atFirstReport) && onCopying) std::exchange(onCopying, nullptr)();
        } else if (msg == WM_COPY_FINISHED && executive) {
            finishes.push_back(wp);
            enabledAtFinish.push_back(executive->IsCommandEnabled(L"CopyToPC") != 0);
        }
        return TestMainWnd::WindowProc(msg, wp, lp);
    }
};

// Also keeps what each loaded listing held: "name: child|child|...".
class ListingFileView : public FakeFileView {
public:
    using FakeFileView::FakeFileView;
    int LoadTree(const tag_DirectoryFileTree* tree, int reason) override {
        if (tree) {
            std::wstring line = tree->name + L":";
            for (size_t i = 0; i < tree->children.size(); ++i)
                line += (i ? L"|" : L" ") + tree->children[i].name;
            listings.push_back(line);
        }
        return FakeFileView::LoadTree(tree, reason);
    }
    std::vector<std::wstring> listings;
};

LONGLONG FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Bytes that differ from file to file, so a mixed-up copy shows.
std::string Pattern(size_t size, char seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(seed + i * 7 + i / 4096);
    return bytes;
}

std::vector<std::wstring> Tree(const std::wstring& folder) { return testsupport::TreeEntries(folder); }

std::wstring SizeText(std::uint64_t bytes) {
    wchar_t text[64] = {};
    ::StrFormatByteSizeW(static_cast<LONGLONG>(bytes), text, 64);
    return text;
}

// "1 file" or "24 files", as the summary counts.
std::wstring FilesText(size_t n) { return std::to_wstring(n) + (n == 1 ? L" file" : L" files"); }

// Unfinished copies anywhere below `folder`.
std::vector<std::wstring> Partials(const std::wstring& folder) {
    std::vector<std::wstring> out;
    for (const std::wstring& entry : Tree(folder)) {
        const size_t slash = entry.find_last_of(L'\\');
        const std::wstring name = slash == std::wstring::npos ? entry : entry.substr(slash + 1);
        if (name.compare(0, wcslen(kPartialPrefix), kPartialPrefix) == 0) out.push_back(entry);
    }
    return out;
}

class ExecutiveRealDevice : public ::testing::Test, protected ExecutiveSeams {
protected:
    void SetUp() override {
        ASSERT_TRUE(::CreateDirectoryW(device.c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryW(pc.c_str(), nullptr));
        for (const wchar_t* folder : {L"\\var", L"\\var\\mobile", L"\\var\\mobile\\Media", L"\\var\\mobile\\Media\\DCIM",
                                      L"\\var\\mobile\\Media\\Music", L"\\private"})
            ASSERT_TRUE(::CreateDirectoryW((device + folder).c_str(), nullptr));
        ASSERT_TRUE(testsupport::WriteFileBytes(Media(L"DCIM\\IMG_0001.JPG"), Pattern(3 * kMiB + 17, 'j')));
        ASSERT_TRUE(testsupport::WriteFileBytes(Media(L"Music\\one.mp3"), Pattern(40000, 'o')));
        ASSERT_TRUE(testsupport::WriteFileBytes(Media(L"Music\\two.mp3"), Pattern(1, 't')));
        ASSERT_TRUE(testsupport::WriteFileBytes(Media(L"notes.txt"), "notes"));
        // The library reads its root when Shuttle.dll creates it; Handset.dll is found beside Shuttle.dll.
        ASSERT_TRUE(UseDeviceFolder(device));
    }

    void TearDown() override {
        if (bus) {
            // Ends a job still running before the partners go, as the host's exit does.
            if (exec) PumpUntil([this] { return exec->JobKind() == FileOp_Idle; }, 20000);
            bus->UninitializeModules();
            bus->Release();
            bus = nullptr;
        }
        app.SetMainWnd(nullptr);
        if (mainWnd.hwnd()) mainWnd.DestroyWindow();
        PumpFor(0);
        ForgetDeviceFolder();
        EXPECT_EQ(nullptr, ::GetModuleHandleW(L"Handset.dll")) << "the library goes with the module";
    }

    // Registers the partners in the host's order, the device module last from
    // its DLL, and initializes them all.
    void Start() {
        bus = new CEmberSoftBus();
        config = new FakeConfig(&journal);
        view = new ListingFileView(&journal);
        ui = new FakeUI(&journal);
        exec = new CAppModuleCmdExecutive();
        ASSERT_EQ(S_OK, bus->RegisterModule(&ember::MID_ConfigModule, config, nullptr));
        ASSERT_EQ(S_OK, bus->RegisterModule(&ember::MID_FileView, view, nullptr));
        ASSERT_EQ(S_OK, bus->RegisterModule(&ember::MID_UIMain, ui, nullptr));
        ASSERT_EQ(S_OK, bus->RegisterModule(&ember::MID_CmdExecutive, exec, nullptr));
        ui->executive = exec;

        HMODULE dll = nullptr;
        IEmberAppModule* shuttle = LoadShuttleModule(&dll);
        ASSERT_NE(nullptr, shuttle);
        ASSERT_EQ(S_OK, bus->RegisterModule(&ember::MID_Shuttle, shuttle, dll));
        // Without the library Shuttle.dll would ask its own (real) message box, which nobody answers here.
        ASSERT_TRUE(testsupport::FileExists(testsupport::ProgramDirectory() + L"Handset.dll"));

        ASSERT_TRUE(mainWnd.Create());
        mainWnd.executive = exec;
        mainWnd.view = view;
        app.SetMainWnd(&mainWnd);
        ASSERT_EQ(S_OK, bus->InitializeModules());
        IHandsetInteraction* library = nullptr;
        ASSERT_EQ(S_OK, shuttle->QueryInterface(ember::IID_IHandsetInteraction, reinterpret_cast<void**>(&library)));
        ASSERT_NE(nullptr, library) << "Handset.dll was bound";
    }

    // Start-up with the device attached, up to its listing.
    void StartConnected() {
        Start();
        ASSERT_TRUE(PumpUntil([this] { return Status() == L"Handset Connected." && !view->listings.empty(); }));
        journal.Clear();
        view->listings.clear();
    }

    std::wstring Media(const std::wstring& relative) const { return device + L"\\var\\mobile\\Media\\" + relative; }
    std::wstring Status() { return reinterpret_cast<const wchar_t*>(exec->GetCommandValue(L"Information", 0)); }
    bool Enabled(const wchar_t* name) { return exec->IsCommandEnabled(name) != 0; }

    // Starts a job with `invoke` and pumps (bounded) until it has ended; then
    // checks what every successful job must show.
    void RunJob(const std::function<HRESULT()>& invoke, int kind) {
        mainWnd.Reset();
        ui->progressSeen.clear();
        system.messages.clear();
        system.taskbar.clear();
        ASSERT_EQ(S_OK, invoke());
        ASSERT_EQ(kind, exec->JobKind());
        ASSERT_TRUE(exec->Job().thread);
        EXPECT_NE(::GetCurrentThreadId(), ::GetThreadId(exec->Job().thread.get())) << "the copy has its own thread";
        EXPECT_FALSE(Enabled(L"CopyToPC"));
        ASSERT_TRUE(PumpUntil([this] { return exec->JobKind() == FileOp_Idle; }, 20000));
        PumpFor(100);  // a second completion would arrive here

        EXPECT_EQ(std::vector<WPARAM>{1}, mainWnd.finishes) << "exactly one completion";
        EXPECT_EQ(std::vector<bool>{false}, mainWnd.enabledAtFinish);
        ASSERT_EQ(1u, system.Texts().size());
        EXPECT_EQ(0u, system.Texts()[0].rfind(L"Copy Finished!\n", 0)) << system.Texts()[0];
        // The library plans the whole job, a drop of many items too, and reports
        // it from 0 up to the whole.
        ASSERT_FALSE(mainWnd.reports.empty());
        size_t calls = 1;
        for (size_t i = 0; i < mainWnd.reports.size(); ++i) {
            const WatchingMainWnd::Report& r = mainWnd.reports[i];
            EXPECT_LE(r.done, r.total) << "report " << i;
            EXPECT_FALSE(r.copyEnabled || r.deleteEnabled) << "report " << i << ": commands on during the copy";
            EXPECT_EQ(0, r.viewsEnabled) << "report " << i;
            if (i == 0) {
                EXPECT_EQ(0u, r.done);
                continue;
            }
            const WatchingMainWnd::Report& before = mainWnd.reports[i - 1];
            if (r.total == before.total && r.done >= before.done) continue;
            ++calls;
            EXPECT_EQ(before.total, before.done) << "report " << i << " came before the last call was complete";
            EXPECT_EQ(0u, r.done) << "report " << i;
        }
        EXPECT_EQ(1u, calls);
        EXPECT_EQ(mainWnd.reports.back().total, mainWnd.reports.back().done);
        // The taskbar button follows the bar, and loses its progress at the end.
        ASSERT_EQ(mainWnd.reports.size() + 1, system.taskbar.size());
        EXPECT_EQ(mainWnd.hwnd(), system.taskbar.front().window);
        EXPECT_EQ(mainWnd.reports.back().total, system.taskbar[system.taskbar.size() - 2].done);
        EXPECT_EQ(0u, system.taskbar.back().total);
        ASSERT_EQ(mainWnd.reports.size(), ui->progressSeen.size());
        EXPECT_EQ(100, ui->progressSeen.back());
        EXPECT_EQ(0, exec->GetCommandValue(L"CopyProgress", 1));
        EXPECT_TRUE(Enabled(L"CopyToPC"));
        EXPECT_TRUE(Enabled(L"DeleteFromDevice"));
        EXPECT_EQ(1, view->viewsEnabled);
        EXPECT_EQ(L"Handset Connected.", Status());
        EXPECT_FALSE(exec->Job().thread);
    }

    // Pumps until the executive has taken the device's removal in.
    bool WaitRemoved() {
        return PumpUntil(
            [this] {
                return exec->JobKind() == FileOp_Idle && Status() == L"Waiting for Handset..." &&
                       journal.Count(L"view.ClearViews()") > 0;
            },
            10000);
    }

    testsupport::ScratchFolder scratch{L"rd"};
    std::wstring device = scratch.path() + L"device";
    std::wstring away = scratch.path() + L"device-away";
    std::wstring pc = scratch.path() + L"pc";

    WatchingMainWnd mainWnd;

    CEmberSoftBus* bus = nullptr;
    FakeConfig* config = nullptr;
    ListingFileView* view = nullptr;
    FakeUI* ui = nullptr;
    CAppModuleCmdExecutive* exec = nullptr;
};

TEST_F(ExecutiveRealDevice, AnAttachedDeviceArrivesFromTheLibraryAndItsMediaFolderIsListed) {
    Start();
    // The library reports on its own thread; the work waits for this thread's messages.
    EXPECT_EQ(L"Waiting for Handset...", Status());
    EXPECT_EQ(0u, journal.Count(L"view.SetRootPath"));
    ASSERT_TRUE(PumpUntil([this] { return Status() == L"Handset Connected." && !view->listings.empty(); }));
    PumpFor(300);  // the watcher reports a device once

    const int root = journal.IndexOf(L"view.SetRootPath(/var/mobile/Media)");
    ASSERT_GE(root, 0);
    EXPECT_LT(root, journal.IndexOf(L"view.LoadTree(Media,17)"));
    EXPECT_EQ(std::vector<std::wstring>{L"Media: DCIM|Music|notes.txt"}, view->listings);
    EXPECT_EQ(std::set<DWORD>{::GetCurrentThreadId()}, view->threads) << "the views are touched on this thread only";
    EXPECT_TRUE(Enabled(L"CopyToPC"));
    EXPECT_TRUE(Enabled(L"DropFiles"));
    EXPECT_EQ(1, view->viewsEnabled);
}

TEST_F(ExecutiveRealDevice, ADeviceWithoutAMediaFolderIsListedFromItsRoot) {
    ASSERT_TRUE(testsupport::RemoveTree(device + L"\\var"));
    Start();
    ASSERT_TRUE(PumpUntil([this] { return !view->listings.empty(); }));
    EXPECT_LE(0, journal.IndexOf(L"view.SetRootPath(/)"));
    EXPECT_EQ(std::vector<std::wstring>{L"/: private"}, view->listings);
}

TEST_F(ExecutiveRealDevice, CopiesToThePcRunOnTheWorkerAndLandOnDisk) {
    StartConnected();
    view->currentFolder = L"/var/mobile/Media/";
    view->selectedRows = {L"DCIM/IMG_0001.JPG", L"Music", L"notes.txt"};
    dialogs.browseFolder = pc;
    RunJob([this] { return exec->InvokeCommand(L"CopyToPC", 0, nullptr); }, FileOp_CopyToPC);

    EXPECT_EQ(Pattern(3 * kMiB + 17, 'j'), testsupport::ReadFileBytes(pc + L"\\IMG_0001.JPG"));
    EXPECT_EQ(Pattern(40000, 'o'), testsupport::ReadFileBytes(pc + L"\\Music\\one.mp3"));
    EXPECT_EQ(Pattern(1, 't'), testsupport::ReadFileBytes(pc + L"\\Music\\two.mp3"));
    EXPECT_EQ("notes", testsupport::ReadFileBytes(pc + L"\\notes.txt"));
    EXPECT_EQ(5u, Tree(pc).size());
    EXPECT_NE(std::wstring::npos, system.Texts()[0].find(L"4 files (3.03 MB) copied to " + pc)) << system.Texts()[0];
    EXPECT_EQ(1u, journal.Count(L"view.LoadTree(Media,16)")) << "the current folder is listed again";
}

TEST_F(ExecutiveRealDevice, PcFilesAndFoldersGoToTheCurrentDeviceFolder) {
    ASSERT_TRUE(testsupport::WriteFileBytes(pc + L"\\clip.mov", Pattern(2 * kMiB + 5, 'c')));
    ASSERT_TRUE(::CreateDirectoryW((pc + L"\\album").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((pc + L"\\album\\2019").c_str(), nullptr));
    ASSERT_TRUE(testsupport::WriteFileBytes(pc + L"\\album\\a.jpg", Pattern(5000, 'a')));
    ASSERT_TRUE(testsupport::WriteFileBytes(pc + L"\\album\\2019\\b.jpg", Pattern(70000, 'b')));
    ASSERT_TRUE(testsupport::WriteFileBytes(pc + L"\\lyrics.txt", "la la"));
    StartConnected();

    // One file: the doubled slash at the join is taken by the device.
    view->currentFolder = L"/var/mobile/Media/DCIM/";
    dialogs.openFile = pc + L"\\clip.mov";
    RunJob([this] { return exec->InvokeCommand(L"CopyFileToDevice", 0, nullptr); }, FileOp_CopyFileToDevice);
    EXPECT_EQ(Pattern(2 * kMiB + 5, 'c'), testsupport::ReadFileBytes(Media(L"DCIM\\clip.mov")));
    EXPECT_EQ(1u, journal.Count(L"view.LoadTree(DCIM,11)"));
    EXPECT_EQ(L"DCIM: clip.mov|IMG_0001.JPG", view->listings.back());

    // One folder, with what it holds.
    dialogs.browseFolder = pc + L"\\album";
    RunJob([this] { return exec->InvokeCommand(L"CopyFolderToDevice", 0, nullptr); }, FileOp_CopyFolderToDevice);
    EXPECT_EQ(Pattern(5000, 'a'), testsupport::ReadFileBytes(Media(L"DCIM\\album\\a.jpg")));
    EXPECT_EQ(Pattern(70000, 'b'), testsupport::ReadFileBytes(Media(L"DCIM\\album\\2019\\b.jpg")));
    EXPECT_EQ(L"DCIM: album|clip.mov|IMG_0001.JPG", view->listings.back());

    // A drop of a folder and a file into another folder.
    view->currentFolder = L"/var/mobile/Media/Music/";
    CommandArgs args;
    args.words[4] = reinterpret_cast<INT_PTR>(MakeDrop({pc + L"\\album", pc + L"\\lyrics.txt"}));
    RunJob([&] { return exec->InvokeCommand(L"DropFiles", 0, &args); }, FileOp_DropFiles);
    EXPECT_EQ(Pattern(70000, 'b'), testsupport::ReadFileBytes(Media(L"Music\\album\\2019\\b.jpg")));
    EXPECT_EQ("la la", testsupport::ReadFileBytes(Media(L"Music\\lyrics.txt")));
    EXPECT_EQ(L"Music: album|lyrics.txt|one.mp3|two.mp3", view->listings.back());

    EXPECT_TRUE(Partials(device).empty());
    EXPECT_EQ(std::set<DWORD>{::GetCurrentThreadId()}, view->threads);
}

// "RenamePath" stays enabled during a job: the rename reaches the library from
// this thread while the worker is still writing to the same device.
TEST_F(ExecutiveRealDevice, ARenameDuringACopyReachesTheDeviceAndTheCopyStillCompletes) {
    constexpr LONGLONG kSize = 192 * kMiB;
    ASSERT_TRUE(testsupport::MakeSparseFile(pc + L"\\long.mov", kSize));
    StartConnected();
    view->currentFolder = L"/var/mobile/Media/DCIM/";
    dialogs.openFile = pc + L"\\long.mov";
    bool workerRunning = false;
    HRESULT renamed = E_UNEXPECTED;
    // As the job shows: a fast machine may write the whole file before the next report.
    mainWnd.atFirstReport = true;
    mainWnd.onCopying = [&] {
        workerRunning = ::WaitForSingleObject(exec->Job().thread.get(), 0) == WAIT_TIMEOUT;
        view->currentFolder = L"/var/mobile/Media/";
        view->selectedName = L"Music";
        dialogs.name = L"Songs";
        renamed = exec->InvokeCommand(L"RenamePath", 0, nullptr);
    };
    RunJob([this] { return exec->InvokeCommand(L"CopyFileToDevice", 0, nullptr); }, FileOp_CopyFileToDevice);

    EXPECT_TRUE(workerRunning) << "the rename came while the copy ran";
    EXPECT_EQ(S_OK, renamed);
    EXPECT_EQ(Pattern(40000, 'o'), testsupport::ReadFileBytes(Media(L"Songs\\one.mp3")));
    EXPECT_FALSE(testsupport::FileExists(Media(L"Music")));
    EXPECT_EQ(kSize, FileSize(Media(L"DCIM\\long.mov")));
    EXPECT_TRUE(Partials(device).empty());
    EXPECT_EQ(L"Media: DCIM|Songs|notes.txt", view->listings.back());
}

// The device goes at the first report, before any file is opened, or once
// bytes are being written, when a partial file exists.
class DeviceRemoval : public ExecutiveRealDevice, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        ExecutiveRealDevice::SetUp();
        mainWnd.atFirstReport = GetParam();
    }
};

INSTANTIATE_TEST_SUITE_P(Moment, DeviceRemoval, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& moment) {
                             return std::string(moment.param ? "AtTheFirstReport" : "OnceBytesAreCopied");
                         });

TEST_P(DeviceRemoval, DuringACopyToThePcLeavesNothingBehind) {
    ASSERT_TRUE(testsupport::MakeSparseFile(Media(L"DCIM\\huge.mov"), kHugeFile));
    StartConnected();
    view->currentFolder = L"/var/mobile/Media/DCIM/";
    view->selectedRows = {L"huge.mov"};
    dialogs.browseFolder = pc;
    mainWnd.onCopying = [this] { ASSERT_TRUE(::MoveFileW(device.c_str(), away.c_str())); };
    system.messages.clear();
    ASSERT_EQ(S_OK, exec->InvokeCommand(L"CopyToPC", 0, nullptr));
    ASSERT_TRUE(WaitRemoved());
    PumpFor(300);

    EXPECT_FALSE(mainWnd.onCopying) << "the device went while the copy ran";
    EXPECT_EQ(std::vector<WPARAM>{0}, mainWnd.finishes) << "exactly one completion, a failure";
    EXPECT_LT(mainWnd.reports.back().done, mainWnd.reports.back().total / 2) << "the copy stopped early";
    ASSERT_EQ(1u, system.Texts().size());
    EXPECT_EQ(0u, system.Texts()[0].rfind(L"Copy Failed. The handset was removed. Copied 0 of 1 file", 0))
        << system.Texts()[0];
    EXPECT_EQ(L"Waiting for Handset...", Status());
    EXPECT_FALSE(Enabled(L"CopyToPC"));
    EXPECT_FALSE(Enabled(L"DropFiles"));
    EXPECT_EQ(0, view->viewsEnabled);
    EXPECT_TRUE(Tree(pc).empty()) << "no half-copied file on the PC";
    EXPECT_EQ(kHugeFile, FileSize(away + L"\\var\\mobile\\Media\\DCIM\\huge.mov"));
    EXPECT_TRUE(Partials(away).empty());
}

TEST_P(DeviceRemoval, DuringACopyToTheDeviceLeavesNoPartialFileOnceItIsBack) {
    ASSERT_TRUE(testsupport::MakeSparseFile(pc + L"\\huge.mov", kHugeFile));
    StartConnected();
    view->currentFolder = L"/var/mobile/Media/DCIM/";
    dialogs.openFile = pc + L"\\huge.mov";
    mainWnd.onCopying = [this] { ASSERT_TRUE(::MoveFileW(device.c_str(), away.c_str())); };
    system.messages.clear();
    ASSERT_EQ(S_OK, exec->InvokeCommand(L"CopyFileToDevice", 0, nullptr));
    ASSERT_TRUE(WaitRemoved());
    PumpFor(300);

    EXPECT_FALSE(mainWnd.onCopying);
    EXPECT_EQ(std::vector<WPARAM>{0}, mainWnd.finishes);
    ASSERT_EQ(1u, system.Texts().size());
    EXPECT_EQ(0u, system.Texts()[0].rfind(L"Copy Failed. The handset was removed. Copied 0 of 1 file", 0))
        << system.Texts()[0];
    EXPECT_EQ(L"Waiting for Handset...", Status());
    EXPECT_EQ(0, view->viewsEnabled);
    EXPECT_EQ(std::vector<std::wstring>{L"huge.mov"}, Tree(pc)) << "the PC file is untouched";
    EXPECT_EQ(kHugeFile, FileSize(pc + L"\\huge.mov"));
    EXPECT_FALSE(testsupport::FileExists(away + L"\\var\\mobile\\Media\\DCIM\\huge.mov"));

    EXPECT_LT(mainWnd.reports.back().done, mainWnd.reports.back().total / 2);

    // Plugged in again: the device is listed anew and holds no trace of the copy.
    // (Wine cannot delete the open partial file once its folder moved; the
    // library removes it when the device is back, before reporting it.)
    journal.Clear();
    view->listings.clear();
    ASSERT_TRUE(::MoveFileW(away.c_str(), device.c_str()));
    ASSERT_TRUE(PumpUntil([this] { return Status() == L"Handset Connected." && !view->listings.empty(); }));
    EXPECT_TRUE(Enabled(L"CopyFileToDevice"));
    EXPECT_EQ(1u, journal.Count(L"view.LoadTree(Media,17)"));
    EXPECT_TRUE(Partials(device).empty());
    EXPECT_EQ((std::vector<std::wstring>{L"IMG_0001.JPG"}), Tree(device + L"\\var\\mobile\\Media\\DCIM"));
}

// Answers every clash question the same way and counts the questions.
class CountingClashPrompt : public IClashPrompt {
public:
    ClashAnswer Ask(HWND, const TransferClash& clash) override {
        asked.push_back(clash.targetPath);
        threads.insert(::GetCurrentThreadId());
        return answer;
    }
    ClashAnswer answer;
    std::vector<std::wstring> asked;
    std::set<DWORD> threads;
};

struct ForAllCase {
    const char* label;
    TransferClashChoice choice;
    bool forAll;
    size_t questions;
    const char* first;   // DCIM\a.jpg afterwards
    const char* second;  // DCIM\a (2).jpg afterwards ("" absent)
    const wchar_t* summary;  // skipped files are not counted as copied bytes
};

class ClashAnswers : public ExecutiveRealDevice, public ::testing::WithParamInterface<ForAllCase> {};

TEST_P(ClashAnswers, AreAskedOnThisThreadAndHeldForAllWhenChosen) {
    const ForAllCase& c = GetParam();
    for (const wchar_t* name : {L"a.jpg", L"b.jpg", L"c.jpg"}) {
        ASSERT_TRUE(testsupport::WriteFileBytes(pc + L"\\" + name, "new"));
        ASSERT_TRUE(testsupport::WriteFileBytes(Media(L"DCIM\\") + name, "old"));
    }
    CountingClashPrompt prompt;
    prompt.answer.choice = c.choice;
    prompt.answer.forAll = c.forAll;
    ScopedClashPrompt scoped(prompt);
    StartConnected();
    view->currentFolder = L"/var/mobile/Media/DCIM/";
    CommandArgs args;
    args.words[4] = reinterpret_cast<INT_PTR>(MakeDrop({pc + L"\\a.jpg", pc + L"\\b.jpg", pc + L"\\c.jpg"}));
    RunJob([&] { return exec->InvokeCommand(L"DropFiles", 0, &args); }, FileOp_DropFiles);

    EXPECT_EQ(c.questions, prompt.asked.size());
    EXPECT_EQ(L"/var/mobile/Media/DCIM/a.jpg", prompt.asked.front());
    EXPECT_EQ(std::set<DWORD>{::GetCurrentThreadId()}, prompt.threads) << "asked on the user-interface thread";
    EXPECT_EQ(c.first, testsupport::ReadFileBytes(Media(L"DCIM\\a.jpg")));
    EXPECT_EQ(c.second, testsupport::ReadFileBytes(Media(L"DCIM\\a (2).jpg")));
    EXPECT_EQ(c.first, testsupport::ReadFileBytes(Media(L"DCIM\\c.jpg"))) << "the last clash was answered alike";
    ASSERT_EQ(1u, system.Texts().size());
    EXPECT_NE(std::wstring::npos, system.Texts()[0].find(c.summary)) << system.Texts()[0];
}

INSTANTIATE_TEST_SUITE_P(
    Answer, ClashAnswers,
    ::testing::ValuesIn(std::vector<ForAllCase>{
        {"Replace", TransferClashChoice::Replace, false, 3, "new", "", L"3 files (9 bytes) copied"},
        {"ReplaceForAll", TransferClashChoice::Replace, true, 1, "new", "", L"3 files (9 bytes) copied"},
        {"Skip", TransferClashChoice::Skip, false, 3, "old", "", L"0 files (0 bytes) copied"},
        {"SkipForAll", TransferClashChoice::Skip, true, 1, "old", "", L"0 files (0 bytes) copied"},
        {"KeepBoth", TransferClashChoice::KeepBoth, false, 3, "old", "new", L"3 files (9 bytes) copied"},
        {"KeepBothForAll", TransferClashChoice::KeepBoth, true, 1, "old", "new", L"3 files (9 bytes) copied"},
        // Same size, written within the same two seconds: the ones there count as complete.
        {"SkipIdenticalForAll", TransferClashChoice::SkipIdentical, true, 1, "old", "", L"0 files (0 bytes) copied"},
    }),
    [](const ::testing::TestParamInfo<ForAllCase>& param) { return std::string(param.param.label); });

struct CancelCase {
    const char* label;
    bool toPc;
    bool large;
};

class Cancelling : public ExecutiveRealDevice, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(Cancelling, StopsSoonLeavesWholeFilesSaysHowManyAndCanBeResumed) {
    const CancelCase& c = GetParam();
    const std::wstring source = c.toPc ? Media(L"set") : pc + L"\\set";
    ASSERT_TRUE(::CreateDirectoryW(source.c_str(), nullptr));
    const int count = c.large ? 1 : 800;
    for (int i = 0; i < count; ++i) {
        const std::wstring file = source + L"\\f" + std::to_wstring(i) + L".bin";
        ASSERT_TRUE(c.large ? testsupport::MakeSparseFile(file, kHugeFile)
                            : testsupport::WriteFileBytes(file, Pattern(2000, 's')));
    }
    StartConnected();
    // Small files may all be copied before the next report (a quarter of a second
    // on): the user cancels as soon as the job shows.
    mainWnd.atFirstReport = !c.large;
    HRESULT cancelled = E_UNEXPECTED;
    bool enabledWhileRunning = false;
    ULONGLONG askedAt = 0;
    mainWnd.onCopying = [&] {
        enabledWhileRunning = Enabled(L"CancelCopy");
        askedAt = ::GetTickCount64();
        cancelled = exec->InvokeCommand(L"CancelCopy", 0, nullptr);
    };
    system.messages.clear();
    EXPECT_FALSE(Enabled(L"CancelCopy"));
    view->currentFolder = L"/var/mobile/Media/";
    view->selectedRows = {L"set"};
    dialogs.browseFolder = c.toPc ? pc : source;
    const auto copy = [&] {
        system.messages.clear();
        EXPECT_EQ(S_OK, exec->InvokeCommand(c.toPc ? L"CopyToPC" : L"CopyFolderToDevice", 0, nullptr));
        EXPECT_TRUE(PumpUntil([this] { return exec->JobKind() == FileOp_Idle; }, 30000));
    };
    ASSERT_NO_FATAL_FAILURE(copy());
    const ULONGLONG stoppedAfter = ::GetTickCount64() - askedAt;

    EXPECT_TRUE(enabledWhileRunning);
    EXPECT_EQ(S_OK, cancelled);
    EXPECT_FALSE(Enabled(L"CancelCopy"));
    EXPECT_LT(stoppedAfter, 1500u) << "the worker stops within a second (and the summary is shown)";
    const std::wstring target = c.toPc ? pc + L"\\set" : Media(L"set");
    EXPECT_TRUE(Partials(c.toPc ? pc : device).empty());
    const size_t onDisk = Tree(target).size();
    EXPECT_LT(onDisk, static_cast<size_t>(count));
    ASSERT_EQ(1u, system.Texts().size());
    const std::wstring expected = L"Copy cancelled.\nCopied " + std::to_wstring(onDisk) + L" of " +
                                  std::to_wstring(count) + (count == 1 ? L" file to " : L" files to ");
    EXPECT_EQ(0u, system.Texts()[0].rfind(expected, 0)) << system.Texts()[0];
    EXPECT_EQ(L"Handset Connected.", Status());
    EXPECT_TRUE(Enabled(L"CopyToPC"));
    if (c.large) return;  // started again, it would copy the whole 768 MiB

    // Started again with "Skip identical" for all: the files complete are
    // passed over, the rest arrive, and nothing gets a numbered name.
    CountingClashPrompt prompt;
    prompt.answer = {TransferClashChoice::SkipIdentical, true, false};
    ScopedClashPrompt scoped(prompt);
    ASSERT_NO_FATAL_FAILURE(copy());
    EXPECT_EQ(onDisk ? 1u : 0u, prompt.asked.size());
    EXPECT_EQ(static_cast<size_t>(count), Tree(target).size());
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(Pattern(2000, 's'), testsupport::ReadFileBytes(target + L"\\f" + std::to_wstring(i) + L".bin")) << i;
    ASSERT_EQ(1u, system.Texts().size());
    const std::wstring summary = system.Texts()[0];
    EXPECT_EQ(0u, summary.rfind(L"Copy Finished!\n" + FilesText(count - onDisk) + L" (" +
                                    SizeText((count - onDisk) * 2000ull) + L") copied to ",
                                0))
        << summary;
    const std::wstring skipped = onDisk ? L"\n" + FilesText(onDisk) + L" skipped." : L"";
    EXPECT_NE(std::wstring::npos, summary.find(skipped)) << summary;
}

INSTANTIATE_TEST_SUITE_P(Moment, Cancelling,
                         ::testing::Values(CancelCase{"LargeFileToPc", true, true},
                                           CancelCase{"SmallFilesToPc", true, false},
                                           CancelCase{"LargeFileToDevice", false, true},
                                           CancelCase{"SmallFilesToDevice", false, false}),
                         [](const ::testing::TestParamInfo<CancelCase>& param) {
                             return std::string(param.param.label);
                         });

TEST_F(ExecutiveRealDevice, TheSummaryNamesTheFirstTenFailedItemsAndWhy) {
    std::vector<std::wstring> drop;
    std::vector<platform::UniqueFile> held;
    for (int i = 0; i < 12; ++i) {
        wchar_t name[16];
        std::swprintf(name, 16, L"f%02d.txt", i);
        drop.push_back(pc + L"\\" + name);
        ASSERT_TRUE(testsupport::WriteFileBytes(drop.back(), "x"));
        // Held by another program that shares nothing: it cannot be read.
        if (i > 0) held.emplace_back(::CreateFileW(drop.back().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                                   nullptr));
    }
    StartConnected();
    view->currentFolder = L"/var/mobile/Media/DCIM/";
    CommandArgs args;
    args.words[4] = reinterpret_cast<INT_PTR>(MakeDrop(drop));
    system.messages.clear();
    ASSERT_EQ(S_OK, exec->InvokeCommand(L"DropFiles", 0, &args));
    ASSERT_TRUE(PumpUntil([this] { return exec->JobKind() == FileOp_Idle; }, 20000));

    ASSERT_EQ(1u, system.messages.size());
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), system.messages[0].type & MB_ICONMASK);
    std::wstring expected = L"Copy Failed. Copied 1 of 12 files to /var/mobile/Media/DCIM in ";
    EXPECT_EQ(0u, system.messages[0].text.rfind(expected, 0)) << system.messages[0].text;
    std::wstring names = L"\nNot copied:";
    for (int i = 1; i <= 10; ++i) names += L"\n" + drop[static_cast<size_t>(i)] + L": unreadable";
    names += L"\n... and 1 more (see the log).";
    EXPECT_NE(std::wstring::npos, system.messages[0].text.find(names)) << system.messages[0].text;
    EXPECT_EQ("x", testsupport::ReadFileBytes(Media(L"DCIM\\f00.txt")));
}

// "1.19 GB" and the like, back to bytes (roughly: the text keeps three digits).
double BytesOf(const std::wstring& text) {
    wchar_t* unit = nullptr;
    const double number = std::wcstod(text.c_str(), &unit);
    for (const auto& [name, scale] : {std::pair<const wchar_t*, double>{L" KB", 1024.0}, {L" MB", 1048576.0},
                                      {L" GB", 1073741824.0}, {L" TB", 1099511627776.0}})
        if (std::wcscmp(unit, name) == 0) return number * scale;
    return -1;
}

// A file larger than the free space of the volume it is to go to: the job is
// refused before anything moves, and the box says how much is missing. When
// the file is at the target already (a stopped copy started again), the
// answer to its clash may need no room at all: the job is not refused.
struct SpaceCase {
    const char* label;
    bool toPc;
    bool there;
};

class NotEnoughSpace : public ExecutiveRealDevice, public ::testing::WithParamInterface<SpaceCase> {};

INSTANTIATE_TEST_SUITE_P(Direction, NotEnoughSpace,
                         ::testing::Values(SpaceCase{"ToThePc", true, false}, SpaceCase{"ToTheDevice", false, false},
                                           SpaceCase{"ToThePcWhereItIsAlready", true, true},
                                           SpaceCase{"ToTheDeviceWhereItIsAlready", false, true}),
                         [](const ::testing::TestParamInfo<SpaceCase>& c) { return std::string(c.param.label); });

TEST_P(NotEnoughSpace, RefusesTheJobUpFrontSayingWhatIsMissingUnlessAClashMayMakeRoom) {
    const SpaceCase& c = GetParam();
    ULARGE_INTEGER free{};
    ASSERT_TRUE(::GetDiskFreeSpaceExW((c.toPc ? pc : device).c_str(), &free, nullptr, nullptr));
    // Sparse: planning reads its size only, so it costs no disk.
    const std::uint64_t size = free.QuadPart + 1024 * kMiB;
    const std::wstring source = c.toPc ? Media(L"DCIM\\big.mov") : pc + L"\\big.mov";
    const std::wstring target = c.toPc ? pc + L"\\big.mov" : Media(L"DCIM\\big.mov");
    ASSERT_TRUE(testsupport::MakeSparseFile(source, static_cast<LONGLONG>(size)));
    if (c.there) {
        ASSERT_TRUE(testsupport::MakeSparseFile(target, static_cast<LONGLONG>(size)));
    }
    // Skipped whatever it holds: a copy of it would fill the disk.
    CountingClashPrompt prompt;
    prompt.answer.choice = TransferClashChoice::Skip;
    ScopedClashPrompt scoped(prompt);
    StartConnected();
    view->currentFolder = L"/var/mobile/Media/DCIM/";
    view->selectedRows = {L"big.mov"};
    dialogs.browseFolder = pc;
    dialogs.openFile = source;
    mainWnd.Reset();
    system.messages.clear();
    ASSERT_EQ(S_OK, exec->InvokeCommand(c.toPc ? L"CopyToPC" : L"CopyFileToDevice", 0, nullptr));
    ASSERT_TRUE(PumpUntil([this] { return exec->JobKind() == FileOp_Idle; }, 20000));

    ASSERT_EQ(1u, system.messages.size());
    const std::wstring text = system.messages[0].text;
    const std::wstring where = c.toPc ? pc : L"/var/mobile/Media/DCIM";
    EXPECT_EQ(c.there ? 1u : 0u, prompt.asked.size());
    if (c.there) {
        EXPECT_EQ(std::vector<WPARAM>{1}, mainWnd.finishes);
        EXPECT_EQ(0u, text.rfind(L"Copy Finished!\n0 files (0 bytes) copied to " + where + L" in ", 0)) << text;
        EXPECT_NE(std::wstring::npos, text.find(L"\n1 file skipped.")) << text;
    } else {
        EXPECT_EQ(std::vector<WPARAM>{0}, mainWnd.finishes);
        EXPECT_TRUE(mainWnd.reports.empty()) << "no copy was started";
        EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), system.messages[0].type & MB_ICONMASK);
        const std::wstring start =
            L"Copy Failed. Not enough space in " + where + L": the copy needs " + SizeText(size) + L", ";
        const std::wstring end = L" missing). Nothing was copied.";
        ASSERT_EQ(0u, text.rfind(start, 0)) << text;
        ASSERT_GT(text.size(), end.size());
        ASSERT_EQ(text.size() - end.size(), text.rfind(end)) << text;
        // Others write to the same disk meanwhile: the shortfall is about the 1 GiB added.
        const size_t open = text.rfind(L" is free (");
        ASSERT_NE(std::wstring::npos, open) << text;
        const double missing = BytesOf(text.substr(open + 10, text.size() - end.size() - open - 10));
        EXPECT_GT(missing, 0.5 * 1024 * kMiB) << text;
        EXPECT_LT(missing, 4.0 * 1024 * kMiB) << text;
    }

    // Nothing arrived, not even a partial file.
    EXPECT_EQ(c.toPc && !c.there ? 0u : 1u, Tree(pc).size());
    EXPECT_EQ(c.toPc || c.there ? 2u : 1u, Tree(device + L"\\var\\mobile\\Media\\DCIM").size());
    EXPECT_TRUE(Partials(device).empty());
    EXPECT_EQ(L"Handset Connected.", Status());
    EXPECT_TRUE(Enabled(L"CopyToPC"));
}

// A folder the library will not write to (here one that went behind the
// program's back; "/" on a handset without the root service is another): the
// box names every item and why.
TEST_F(ExecutiveRealDevice, AFolderThatCannotTakeFilesIsNamedWithEveryItem) {
    ASSERT_TRUE(testsupport::WriteFileBytes(pc + L"\\a.txt", "a"));
    ASSERT_TRUE(testsupport::WriteFileBytes(pc + L"\\b.txt", "b"));
    StartConnected();
    view->currentFolder = L"/var/mobile/Media/Gone/";
    const std::wstring refused =
        L"Copy Failed. /var/mobile/Media/Gone on the handset cannot take files: it is gone, or the handset does not "
        L"allow writing there. Nothing was copied.\nNot copied:";
    const std::wstring why = L": refused where it was to be written";

    dialogs.openFile = pc + L"\\a.txt";
    system.messages.clear();
    ASSERT_EQ(S_OK, exec->InvokeCommand(L"CopyFileToDevice", 0, nullptr));
    ASSERT_TRUE(PumpUntil([this] { return exec->JobKind() == FileOp_Idle; }, 20000));
    ASSERT_EQ(1u, system.messages.size());
    EXPECT_EQ(refused + L"\n" + pc + L"\\a.txt" + why, system.messages[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), system.messages[0].type & MB_ICONMASK);

    CommandArgs args;
    args.words[4] = reinterpret_cast<INT_PTR>(MakeDrop({pc + L"\\a.txt", pc + L"\\b.txt"}));
    system.messages.clear();
    ASSERT_EQ(S_OK, exec->InvokeCommand(L"DropFiles", 0, &args));
    ASSERT_TRUE(PumpUntil([this] { return exec->JobKind() == FileOp_Idle; }, 20000));
    ASSERT_EQ(1u, system.messages.size());
    EXPECT_EQ(refused + L"\n" + pc + L"\\a.txt" + why + L"\n" + pc + L"\\b.txt" + why, system.messages[0].text);
    EXPECT_FALSE(testsupport::FileExists(Media(L"Gone")));
}

// Answers the real clash dialog from another thread with BM_CLICK, as a
// user's clicks arrive: the check box first when asked to, then one button.
// Records what each dialog said and offered.
class ClashDialogAnswerer {
public:
    struct Seen {
        std::wstring text;
        std::vector<std::wstring> controls;  // the buttons, then the check box
    };

    ClashDialogAnswerer(int button, bool forAll) : thread_([this, button, forAll] { Run(button, forAll); }) {}
    ~ClashDialogAnswerer() { Finish(); }
    ClashDialogAnswerer(const ClashDialogAnswerer&) = delete;
    ClashDialogAnswerer& operator=(const ClashDialogAnswerer&) = delete;

    std::vector<Seen> Finish() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        return seen_;
    }

private:
    static std::wstring Text(HWND dialog, int id) {
        wchar_t text[512] = {};
        ::GetDlgItemTextW(dialog, id, text, 512);
        return text;
    }

    void Run(int button, bool forAll) {
        while (!stop_) {
            HWND dialog = ::FindWindowW(L"#32770", kClashCaption);
            if (!dialog || !::IsWindowVisible(dialog)) {
                ::Sleep(20);
                continue;
            }
            Seen seen{Text(dialog, kClashText), {}};
            for (int id : {int(kClashReplace), int(kClashSkip), int(kClashKeepBoth), int(kClashSkipIdentical), IDCANCEL,
                           int(kClashForAll)})
                seen.controls.push_back(::IsWindowVisible(::GetDlgItem(dialog, id)) ? Text(dialog, id) : L"(hidden)");
            seen_.push_back(seen);
            if (forAll) ::SendMessageW(::GetDlgItem(dialog, kClashForAll), BM_CLICK, 0, 0);
            ::SendMessageW(::GetDlgItem(dialog, button), BM_CLICK, 0, 0);
            // The next question is another window. One that stays up is closed
            // (Cancel copy), so the test fails instead of waiting for ever.
            for (int i = 0; i < 500 && ::IsWindow(dialog); ++i) ::Sleep(10);
            if (::IsWindow(dialog)) {
                seen_.push_back({L"(still up after the click)", {}});
                ::PostMessageW(dialog, WM_CLOSE, 0, 0);
                for (int i = 0; i < 500 && ::IsWindow(dialog); ++i) ::Sleep(10);
            }
        }
    }

    std::atomic<bool> stop_{false};
    std::vector<Seen> seen_;
    std::thread thread_;
};

// A copy stopped part-way and started again: answered in the real clash
// dialog, "Skip identical" for all remaining conflicts passes over what is
// complete already, copies the rest and doubles nothing.
TEST_F(ExecutiveRealDevice, AStoppedCopyResumesWithSkipIdenticalChosenInTheRealDialog) {
    constexpr int kFiles = 24;
    ASSERT_TRUE(::CreateDirectoryW(Media(L"set").c_str(), nullptr));
    std::vector<std::string> bytes;
    for (int i = 0; i < kFiles; ++i) {
        wchar_t name[16];
        std::swprintf(name, 16, L"f%02d.bin", i);
        bytes.push_back(Pattern(100000 + static_cast<size_t>(i) * 1000, static_cast<char>('a' + i)));
        ASSERT_TRUE(testsupport::WriteFileBytes(Media(L"set\\") + name, bytes.back()));
    }
    // One is at the target already, complete (a copy keeps its time): the first copy is stopped at its question.
    ASSERT_TRUE(::CreateDirectoryW((pc + L"\\set").c_str(), nullptr));
    ASSERT_TRUE(::CopyFileW(Media(L"set\\f07.bin").c_str(), (pc + L"\\set\\f07.bin").c_str(), TRUE));
    StartConnected();
    view->currentFolder = L"/var/mobile/Media/";
    view->selectedRows = {L"set"};
    dialogs.browseFolder = pc;
    const auto copy = [this](int button, bool forAll) {
        ClashDialogAnswerer answerer(button, forAll);
        system.messages.clear();
        EXPECT_EQ(S_OK, exec->InvokeCommand(L"CopyToPC", 0, nullptr));
        EXPECT_TRUE(PumpUntil([this] { return exec->JobKind() == FileOp_Idle; }, 20000));
        return answerer.Finish();
    };

    std::vector<ClashDialogAnswerer::Seen> seen = copy(IDCANCEL, false);
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ((std::vector<std::wstring>{L"&Replace", L"&Skip", L"&Keep both", L"Skip &identical", L"Cancel copy",
                                         L"Do this for all remaining conflicts"}),
              seen[0].controls);
    EXPECT_EQ(0u, seen[0].text.find(L"\"f07.bin\" already exists in " + pc + L"\\set.")) << seen[0].text;
    EXPECT_NE(std::wstring::npos, seen[0].text.find(L"the one there looks complete")) << seen[0].text;
    // The files before the question (in the order the folder lists them) are complete.
    const std::vector<std::wstring> before = Tree(pc + L"\\set");
    ASSERT_EQ(1u, system.Texts().size());
    EXPECT_EQ(0u, system.Texts()[0].rfind(L"Copy cancelled.\nCopied " + std::to_wstring(before.size() - 1) + L" of " +
                                              FilesText(kFiles) + L" to " + pc,
                                          0))
        << system.Texts()[0];

    seen = copy(kClashSkipIdentical, true);
    ASSERT_EQ(1u, seen.size()) << "asked once, for all";
    std::uint64_t copiedBytes = 0;
    for (int i = 0; i < kFiles; ++i) {
        wchar_t name[16];
        std::swprintf(name, 16, L"f%02d.bin", i);
        if (std::find(before.begin(), before.end(), name) == before.end()) copiedBytes += bytes[i].size();
        EXPECT_EQ(bytes[i], testsupport::ReadFileBytes(pc + L"\\set\\" + name)) << i;
    }
    EXPECT_EQ(static_cast<size_t>(kFiles), Tree(pc + L"\\set").size()) << "no numbered copies";
    EXPECT_TRUE(Partials(pc).empty());
    ASSERT_EQ(1u, system.Texts().size());
    const std::wstring summary = system.Texts()[0];
    EXPECT_EQ(0u, summary.rfind(L"Copy Finished!\n" + FilesText(kFiles - before.size()) + L" (" +
                                    SizeText(copiedBytes) + L") copied to " + pc + L" in ",
                                0))
        << summary;
    EXPECT_NE(std::wstring::npos, summary.find(L"\n" + FilesText(before.size()) + L" skipped.")) << summary;
}

}  // namespace
}  // namespace exectest
