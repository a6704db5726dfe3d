// Device entries offered to the shell, with the real device modules and a
// drop target in a process of its own: what arrives there byte for byte,
// the device commands while it reads, a read that fails when the device goes.
#include <gtest/gtest.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "framework/CEmberSoftBus.h"
#include "framework/EmberGuids.h"
#include "shelltransfer/CDeviceFileStream.h"
#include "shelltransfer/ClipboardFiles.h"
#include "shelltransfer/DeviceReadSession.h"
#include "shuttle/IShuttle.h"
#include "tests/executive/ExecutiveFixture.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/TestPaths.h"

namespace exectest {
namespace {

using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

constexpr LONGLONG kMiB = 1 << 20;

std::string Pattern(size_t size, char seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(seed + i * 13 + i / 1000);
    return bytes;
}

// Records the progress reports with the command state at each.
class ProgressWnd : public TestMainWnd {
public:
    struct Report {
        UINT total;
        UINT done;
        bool copyEnabled;
    };
    std::vector<Report> reports;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_COPY_PROGRESS && executive) {
            reports.push_back(
                {static_cast<UINT>(wp), static_cast<UINT>(lp), executive->IsCommandEnabled(L"CopyToPC") != 0});
        }
        return TestMainWnd::WindowProc(msg, wp, lp);
    }
};

class ShellTransfer : public ::testing::Test, protected ExecutiveSeams {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, ::OleInitialize(nullptr));
        for (const wchar_t* folder :
             {L"", L"\\var", L"\\var\\mobile", L"\\var\\mobile\\Media", L"\\var\\mobile\\Media\\DCIM",
              L"\\var\\mobile\\Media\\DCIM\\Trip", L"\\var\\mobile\\Media\\DCIM\\Trip\\Day 1"})
            ASSERT_TRUE(::CreateDirectoryW((device + folder).c_str(), nullptr));
        files_ = {{L"IMG_0001.JPG", Pattern(3 * kMiB + 17, 'a')},
                  {L"IMG_0002.JPG", Pattern(4097, 'b')},
                  {L"Trip\\notes.txt", "two days"},
                  {L"Trip\\Day 1\\IMG_0100.JPG", Pattern(70000, 'c')},
                  {L"Trip\\Day 1\\empty.txt", ""}};
        for (const auto& [name, bytes] : files_) ASSERT_TRUE(WriteFileBytes(Dcim(name), bytes));
        // A time the copy could not get by chance.
        HANDLE photo =
            ::CreateFileW(Dcim(L"IMG_0002.JPG").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        const FILETIME april2019{0x5D2C4000, 0x01D4F0C3};
        ASSERT_TRUE(::SetFileTime(photo, nullptr, nullptr, &april2019));
        ::CloseHandle(photo);
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
        ::OleUninitialize();
    }

    void Start() {
        bus = new CEmberSoftBus();
        view = new FakeFileView(&journal);
        exec = new CAppModuleCmdExecutive();
        ui = new FakeUI(&journal);
        ASSERT_EQ(S_OK, bus->RegisterModule(&ember::MID_ConfigModule, new FakeConfig(&journal), nullptr));
        ASSERT_EQ(S_OK, bus->RegisterModule(&ember::MID_FileView, view, nullptr));
        ASSERT_EQ(S_OK, bus->RegisterModule(&ember::MID_UIMain, ui, nullptr));
        ASSERT_EQ(S_OK, bus->RegisterModule(&ember::MID_CmdExecutive, exec, nullptr));
        ui->executive = exec;
        ASSERT_TRUE(RegisterShuttle(bus));
        ASSERT_TRUE(mainWnd.Create());
        mainWnd.executive = exec;
        app.SetMainWnd(&mainWnd);
        ASSERT_EQ(S_OK, bus->InitializeModules());
        ASSERT_TRUE(PumpUntil([this] { return Enabled(L"DragFileToPC"); }, 10000)) << "the device arrived";
        view->currentFolder = L"/var/mobile/Media/DCIM/";
    }

    std::wstring Dcim(const std::wstring& relative) const {
        return device + L"\\var\\mobile\\Media\\DCIM\\" + relative;
    }
    bool Enabled(const wchar_t* name) { return exec->IsCommandEnabled(name) != 0; }
    std::wstring Report() { return Widen(ReadFileBytes(report)); }
    static std::wstring Widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

    // The report holds these lines in some order, every folder before what it holds, then the mode.
    void ExpectArrived(const std::set<std::wstring>& entries, const std::wstring& mode) {
        std::vector<std::wstring> lines;
        std::wstringstream in(Report());
        for (std::wstring line; std::getline(in, line);) lines.push_back(line);
        ASSERT_GE(lines.size(), 2u) << Narrow(Report());
        EXPECT_EQ((std::vector<std::wstring>{mode, L"end"}), std::vector<std::wstring>(lines.end() - 2, lines.end()));
        lines.resize(lines.size() - 2);
        EXPECT_EQ(entries, std::set<std::wstring>(lines.begin(), lines.end())) << Narrow(Report());
        std::set<std::wstring> folders;
        for (const std::wstring& line : lines) {
            const size_t start = line.find(L' ') + 1, slash = line.find_last_of(L'\\');
            if (slash != std::wstring::npos && slash > start) {
                EXPECT_TRUE(folders.count(line.substr(start, slash - start)))
                    << Narrow(line) << " came before its folder";
            }
            if (line.compare(0, 4, L"dir ") == 0) folders.insert(line.substr(4));
        }
    }
    static std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

    // A drop target window in another process, with the pointer resting on it.
    std::unique_ptr<testsupport::RunningProgram> StartTarget(bool sync) {
        auto target = std::make_unique<testsupport::RunningProgram>(
            testsupport::TestDirectory() + L"droptarget.exe", std::vector<std::wstring>{},
            L"drop \"" + pc + L"\" \"" + report + L"\" 300 300" + (sync ? L" sync" : L""));
        EXPECT_TRUE(target->started());
        HWND window = target->WaitWindow(L"Drop target", 10000);
        EXPECT_NE(nullptr, window);
        ::SetCursorPos(400, 375);
        return target;
    }

    testsupport::ScratchFolder scratch{L"shell"};
    const std::wstring device = scratch.path() + L"device";
    const std::wstring pc = scratch.path() + L"pc";
    const std::wstring report = scratch.path() + L"report.txt";
    std::vector<std::pair<std::wstring, std::string>> files_;

    ProgressWnd mainWnd;
    CEmberSoftBus* bus = nullptr;
    FakeFileView* view = nullptr;
    FakeUI* ui = nullptr;
    CAppModuleCmdExecutive* exec = nullptr;
};

// With the button up, the drag drops at once where the pointer rests: the
// OLE drag runs whole, across the two processes, without a hand on the mouse.
TEST_F(ShellTransfer, DraggedEntriesArriveWholeInAnotherProcess) {
    for (bool sync : {false, true}) {
        SCOPED_TRACE(sync ? "target reads inside its drop" : "target reads on its own thread");
        testsupport::RemoveTree(pc);
        ASSERT_TRUE(::CreateDirectoryW(pc.c_str(), nullptr));
        ::DeleteFileW(report.c_str());
        mainWnd.reports.clear();
        system.messages.clear();
        auto target = StartTarget(sync);
        view->selectedRows = {L"IMG_0001.JPG", L"IMG_0002.JPG", L"Trip"};

        ASSERT_EQ(S_OK, exec->InvokeCommand(L"DragFileToPC", 0, nullptr));
        ASSERT_TRUE(PumpUntil([&] { return target->WaitExit(0); }, 30000)) << "the drop target did not finish";
        ExpectArrived({L"file IMG_0001.JPG 3145745", L"file IMG_0002.JPG 4097", L"dir Trip", L"file Trip\\notes.txt 8",
                       L"dir Trip\\Day 1", L"file Trip\\Day 1\\IMG_0100.JPG 70000", L"file Trip\\Day 1\\empty.txt 0"},
                      sync ? L"async 0" : L"async 1");
        // The device's modification time goes with the file.
        WIN32_FILE_ATTRIBUTE_DATA onDevice{}, arrived{};
        ASSERT_TRUE(::GetFileAttributesExW(Dcim(L"IMG_0002.JPG").c_str(), GetFileExInfoStandard, &onDevice));
        ASSERT_TRUE(::GetFileAttributesExW((pc + L"\\IMG_0002.JPG").c_str(), GetFileExInfoStandard, &arrived));
        EXPECT_EQ(0, ::CompareFileTime(&onDevice.ftLastWriteTime, &arrived.ftLastWriteTime));
        for (const auto& [name, bytes] : files_) EXPECT_EQ(bytes, ReadFileBytes(pc + L"\\" + name)) << Narrow(name);

        ASSERT_TRUE(PumpUntil([this] { return exec->JobKind() == FileOp_Idle && Enabled(L"CopyToPC"); }, 10000));
        ASSERT_FALSE(mainWnd.reports.empty());
        for (const ProgressWnd::Report& r : mainWnd.reports) EXPECT_FALSE(r.copyEnabled) << "commands on while read";
        EXPECT_EQ(mainWnd.reports.back().total, mainWnd.reports.back().done);
        EXPECT_EQ(0, exec->GetCommandValue(L"CopyProgress", 1));
        EXPECT_TRUE(system.Texts().empty()) << "a drag that arrived says nothing";
    }
}

// The private copies in the temporary folder (Wine reuses process ids, so a
// crashed run's copies may be there already).
std::vector<std::wstring> LeftCopies() {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    std::vector<std::wstring> left;
    WIN32_FIND_DATAW fd;
    const std::wstring pattern =
        std::wstring(temp) + L"Pelican-read-" + std::to_wstring(::GetCurrentProcessId()) + L"-*";
    HANDLE find = ::FindFirstFileW(pattern.c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return left;
    do left.push_back(fd.cFileName);
    while (::FindNextFileW(find, &fd));
    ::FindClose(find);
    return left;
}

TEST_F(ShellTransfer, AReadFailsWhenTheDeviceGoesAndTheTargetKeepsNothing) {
    // Large enough that the copy still runs when the removal is seen; sparse, so it costs no disk.
    HANDLE big = ::CreateFileW(Dcim(L"MOVIE.MOV").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, big);
    LARGE_INTEGER end;
    end.QuadPart = 768 * kMiB;
    ASSERT_TRUE(::SetFilePointerEx(big, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(big));
    ::CloseHandle(big);
    ASSERT_TRUE(::CreateDirectoryW(pc.c_str(), nullptr));
    auto target = StartTarget(false);
    view->selectedRows = {L"IMG_0002.JPG", L"MOVIE.MOV"};
    // Taken away whole, as a handset is unplugged; the file being copied stays readable meanwhile.
    const std::vector<std::wstring> copiesBefore = LeftCopies();
    bool removed = false;

    ASSERT_EQ(S_OK, exec->InvokeCommand(L"DragFileToPC", 0, nullptr));
    // The window thread keeps answering while the file is read: no message takes
    // long to handle (COM's calls into this thread arrive as sent messages, which
    // PeekMessage handles itself).
    DWORD longest = 0;
    const DWORD start = ::GetTickCount();
    while (!target->WaitExit(0) && ::GetTickCount() - start < 30000) {
        // The first file is whole at the target: the movie is asked for next. Nothing
        // looks into the private copies, as an open look would keep a stream from removing its own.
        if (!removed && testsupport::FileExists(pc + L"\\IMG_0002.JPG"))
            removed = ::MoveFileW(device.c_str(), (device + L"-away").c_str()) != 0;
        MSG msg;
        for (;;) {
            const DWORD before = ::GetTickCount();
            const BOOL got = ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
            if (got) ::DispatchMessageW(&msg);
            longest = std::max(longest, ::GetTickCount() - before);
            if (!got) break;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    ASSERT_TRUE(target->WaitExit(0)) << "the drop target did not finish";
    EXPECT_LT(longest, 1000u) << "the window thread was held by a read";
    ASSERT_TRUE(removed) << "the device was removed during the read";
    ExpectArrived({L"file IMG_0002.JPG 4097", L"fail MOVIE.MOV 0x8003001e"}, L"async 1");
    EXPECT_FALSE(testsupport::FileExists(pc + L"\\MOVIE.MOV"));
    EXPECT_FALSE(testsupport::FileExists(pc + L"\\MOVIE.MOV.partial"));
    EXPECT_EQ(Pattern(4097, 'b'), ReadFileBytes(pc + L"\\IMG_0002.JPG"));

    ASSERT_TRUE(PumpUntil([this] { return exec->JobKind() == FileOp_Idle; }, 10000));
    EXPECT_EQ(std::vector<std::wstring>{L"Copy Failed."}, system.Texts());
    // The library's watcher tells of the removal in its own time.
    EXPECT_TRUE(PumpUntil([this] { return !Enabled(L"CopyToPC"); }, 10000)) << "no device, no device commands";
    EXPECT_EQ(0, exec->GetCommandValue(L"CopyProgress", 1));
    EXPECT_EQ(copiesBefore, LeftCopies()) << "the private copies go with their streams";
}

TEST_F(ShellTransfer, CtrlCOffersTheSelectionToAPasteInAnotherProcessAndExitEmptiesTheClipboard) {
    ASSERT_TRUE(::CreateDirectoryW(pc.c_str(), nullptr));
    view->selectedRows = {L"IMG_0002.JPG", L"Trip"};
    ASSERT_EQ(S_OK, exec->InvokeCommand(L"CopyToClipboard", 0, nullptr));
    EXPECT_TRUE(mainWnd.reports.empty()) << "nothing is read before a paste";

    testsupport::RunningProgram paste(testsupport::TestDirectory() + L"droptarget.exe", {},
                                      L"paste \"" + pc + L"\" \"" + report + L"\"");
    ASSERT_TRUE(PumpUntil([&] { return paste.WaitExit(0); }, 30000)) << "the paste did not finish";
    ExpectArrived({L"file IMG_0002.JPG 4097", L"dir Trip", L"file Trip\\notes.txt 8", L"dir Trip\\Day 1",
                   L"file Trip\\Day 1\\IMG_0100.JPG 70000", L"file Trip\\Day 1\\empty.txt 0"},
                  L"async 0");
    EXPECT_EQ(Pattern(70000, 'c'), ReadFileBytes(pc + L"\\Trip\\Day 1\\IMG_0100.JPG"));
    ASSERT_TRUE(PumpUntil([this] { return exec->JobKind() == FileOp_Idle && Enabled(L"CopyToPC"); }, 10000));

    // Leaving empties our entry rather than flushing it: nothing more is read.
    const size_t reports = mainWnd.reports.size();
    bus->UninitializeModules();
    const CLIPFORMAT descriptor = static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"FileGroupDescriptorW"));
    EXPECT_FALSE(::IsClipboardFormatAvailable(descriptor));
    PumpFor(100);
    EXPECT_EQ(reports, mainWnd.reports.size());
}

TEST_F(ShellTransfer, CtrlVCopiesThePcFilesOnTheClipboardAndLeavesThemThere) {
    ASSERT_TRUE(::CreateDirectoryW(pc.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((pc + L"\\Scans").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(pc + L"\\Scans\\page.png", "page"));
    ASSERT_TRUE(WriteFileBytes(pc + L"\\letter.txt", "dear handset"));
    const std::vector<std::wstring> paths = {pc + L"\\letter.txt", pc + L"\\Scans"};
    ASSERT_TRUE(::OpenClipboard(mainWnd.hwnd()));
    ASSERT_TRUE(::EmptyClipboard());
    ASSERT_NE(nullptr, ::SetClipboardData(CF_HDROP, MakeDrop(paths)));
    ASSERT_TRUE(::CloseClipboard());

    ASSERT_EQ(S_OK, exec->InvokeCommand(L"PasteFromClipboard", 0, nullptr));
    EXPECT_EQ(FileOp_DropFiles, exec->JobKind());
    ASSERT_TRUE(PumpUntil([this] { return exec->JobKind() == FileOp_Idle; }, 20000));
    EXPECT_EQ("dear handset", ReadFileBytes(Dcim(L"letter.txt")));
    EXPECT_EQ("page", ReadFileBytes(Dcim(L"Scans\\page.png")));

    // The clipboard still holds its list, whole: a second paste finds it again.
    HGLOBAL again = CopyClipboardFileDrop(mainWnd.hwnd());
    ASSERT_NE(nullptr, again);
    wchar_t first[MAX_PATH] = {};
    EXPECT_EQ(2u, ::DragQueryFileW(static_cast<HDROP>(again), 0xFFFFFFFF, nullptr, 0));
    ::DragQueryFileW(static_cast<HDROP>(again), 0, first, MAX_PATH);
    EXPECT_EQ(paths[0], first);
    ::DragFinish(static_cast<HDROP>(again));
}

TEST_F(ShellTransfer, AnEntryWhosePathWouldNotFitIsRefusedBeforeAnythingIsOffered) {
    std::wstring deep = Dcim(L"Trip");
    for (int i = 0; i < 7; ++i) {
        deep += L"\\" + std::wstring(40, wchar_t(L'a' + i));
        ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr));
    }
    view->selectedRows = {L"Trip"};
    EXPECT_EQ(E_FAIL, exec->InvokeCommand(L"CopyToClipboard", 0, nullptr));
    ASSERT_EQ(1u, system.messages.size());
    EXPECT_EQ(0u, system.messages[0].text.find(L"The path is too long to copy (at most 259 characters):"));
    EXPECT_EQ(E_FAIL, exec->InvokeCommand(L"DragFileToPC", 0, nullptr));
    EXPECT_TRUE(Enabled(L"CopyToPC"));
}

// The session's progress function takes no context.
std::vector<std::pair<int, int>>* gReadReports = nullptr;
int RecordRead(int total, int done) {
    if (gReadReports) gReadReports->push_back({total, done});
    return 1;
}

// Reads up to `bytes` in pieces of `piece`; the bytes read.
size_t ReadSome(IStream* stream, size_t bytes, ULONG piece) {
    std::vector<char> buffer(piece);
    size_t total = 0;
    for (ULONG got = 1; total < bytes && got; total += got) {
        got = 0;
        if (FAILED(stream->Read(buffer.data(), static_cast<ULONG>(std::min<size_t>(piece, bytes - total)), &got)))
            break;
    }
    return total;
}

// The bar shows what the target has read, not what came from the device.
TEST_F(ShellTransfer, ProgressFollowsWhatTheTargetHasReadInFewReports) {
    IEmberAppModule* module = nullptr;
    IShuttle* shuttle = nullptr;
    ASSERT_EQ(S_OK, bus->GetModule(&ember::MID_Shuttle, &module));
    ASSERT_EQ(S_OK, module->QueryInterface(ember::IID_IShuttle, reinterpret_cast<void**>(&shuttle)));
    std::vector<std::pair<int, int>> reports;
    gReadReports = &reports;
    const size_t movie = files_[0].second.size(), photo = files_[1].second.size();
    const int totalKiB = static_cast<int>((movie + photo + 1023) / 1024);
    auto session = std::make_shared<DeviceReadSession>(shuttle, nullptr, 0, &RecordRead, movie + photo);
    const std::wstring dcim = L"/var/mobile/Media/DCIM/";
    IStream* first = new CDeviceFileStream(session, dcim + L"IMG_0001.JPG", L"IMG_0001.JPG", movie);
    IStream* second = new CDeviceFileStream(session, dcim + L"IMG_0002.JPG", L"IMG_0002.JPG", photo);

    // Half the first file read in small pieces: all of it came from the device, the bar is at half.
    ASSERT_EQ(movie / 2, ReadSome(first, movie / 2, 4096));
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(totalKiB, reports.back().first);
    EXPECT_NEAR(static_cast<int>(movie / 2 / 1024), reports.back().second, totalKiB / 100);
    // Read again from the start, the same bytes count once.
    const std::pair<int, int> half = reports.back();
    LARGE_INTEGER start{};
    ASSERT_EQ(S_OK, first->Seek(start, STREAM_SEEK_SET, nullptr));
    ASSERT_EQ(movie / 2, ReadSome(first, movie / 2, 65536));
    EXPECT_EQ(half, reports.back());
    ASSERT_EQ(movie - movie / 2, ReadSome(first, movie, 65536));
    EXPECT_GT(totalKiB, reports.back().second) << "full before the last file was read";
    ASSERT_EQ(photo, ReadSome(second, photo, 1000));
    EXPECT_EQ(std::make_pair(totalKiB, totalKiB), reports.back());
    // 400 reads of 4 KiB and more; a report for each would flood the window's queue.
    EXPECT_LE(reports.size(), 210u);
    for (size_t i = 1; i < reports.size(); ++i) EXPECT_LT(reports[i - 1].second, reports[i].second);
    first->Release();
    second->Release();
    gReadReports = nullptr;
}

// What a program puts on the clipboard is read only as far as it holds together.
TEST(ClipboardFileList, OnlyAWholeListIsTaken) {
    auto block = [](const std::wstring& list, bool wide, size_t offset, size_t cut) {
        std::string bytes(sizeof(DROPFILES), '\0');
        DROPFILES header{};
        header.pFiles = static_cast<DWORD>(offset);
        header.fWide = wide;
        std::memcpy(bytes.data(), &header, sizeof(header));
        bytes.resize(offset, '\0');
        if (wide)
            bytes.append(reinterpret_cast<const char*>(list.data()), list.size() * sizeof(wchar_t));
        else
            bytes.append(std::string(list.begin(), list.end()));
        bytes.resize(bytes.size() - cut);
        return bytes;
    };
    const std::wstring two(L"C:\\a.txt\0C:\\b\0\0", 15);
    struct Case {
        const char* what;
        std::string bytes;
        bool whole;
    } cases[] = {
        {"wide list", block(two, true, sizeof(DROPFILES), 0), true},
        {"narrow list", block(two, false, sizeof(DROPFILES), 0), true},
        {"list after a gap", block(two, true, sizeof(DROPFILES) + 8, 0), true},
        {"no closing empty path", block(two, true, sizeof(DROPFILES), sizeof(wchar_t)), false},
        {"cut inside a path", block(two, true, sizeof(DROPFILES), 12), false},
        {"list starts past the end", block(L"", true, 4096, 0), false},
        {"list starts inside the header", block(two, true, 4, 0), false},
        {"header only", std::string(sizeof(DROPFILES) - 1, '\0'), false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.whole, IsWellFormedFileDrop(c.bytes.data(), c.bytes.size())) << c.what;
}

}  // namespace
}  // namespace exectest
