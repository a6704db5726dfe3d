// The handset backend's operations against the stand-in handset.
#include <algorithm>
#include <mutex>

#include "tests/handset/StandinFixture.h"

namespace {

using standin::StandinFixture;

int Ignore(int, int) { return 0; }

const tag_DirectoryFileTree* Child(const tag_DirectoryFileTree* node, const std::wstring& name) {
    for (const auto& c : node->children)
        if (c.name == name) return &c;
    return nullptr;
}

TEST_F(StandinFixture, ArrivesWithinASecondOfPlugInAndGoesAtUnplug) {
    ::Sleep(200);
    EXPECT_TRUE(Codes().empty()) << "nothing is attached yet";
    EXPECT_FALSE(handset->IsConnected());
    const ULONGLONG start = ::GetTickCount64();
    Plug();
    ASSERT_EQ(std::vector<int>{1}, WaitFor(1));
    EXPECT_LT(standin::Recorded().ticks[0] - start, 1000u);
    EXPECT_TRUE(handset->IsConnected());
    Unplug();
    ASSERT_EQ((std::vector<int>{1, 2}), WaitFor(2));
    EXPECT_FALSE(handset->IsConnected());
    Plug();
    ASSERT_EQ((std::vector<int>{1, 2, 1}), WaitFor(3));
    ::Sleep(300);
    EXPECT_EQ(3u, Codes().size()) << "never twice for one change";
}

TEST_F(StandinFixture, ListsCopiesAndManagesEntries) {
    OnDevice(L"DCIM\\100APPLE\\IMG_0001.JPG", std::string(3000, 'j'));
    OnDevice(L"DCIM\\100APPLE\\IMG_0002.JPG", "two");
    Connect();
    tag_DirectoryFileTree* tree = handset->GetDirectoryTree(L"/var/mobile/Media/DCIM/", 2);
    ASSERT_NE(nullptr, tree);
    ASSERT_NE(nullptr, Child(tree, L"100APPLE"));
    EXPECT_TRUE(Child(tree, L"100APPLE")->children.empty()) << "files are left out at the deepest level";
    const tag_DirectoryFileTree* folder = handset->GetDirectoryTree(L"/var/mobile/Media/DCIM/100APPLE/", 2);
    ASSERT_NE(nullptr, folder);
    ASSERT_EQ(2u, folder->children.size());
    EXPECT_EQ(L"IMG_0001.JPG", folder->children[0].name);
    EXPECT_EQ(3000u, folder->children[0].size);

    const wchar_t* paths[] = {L"/var/mobile/Media/DCIM/100APPLE", nullptr};
    ASSERT_TRUE(handset->CopyToPC(paths, pc.c_str(), &Ignore));
    EXPECT_EQ(std::string(3000, 'j'), testsupport::ReadFileBytes(pc + L"\\100APPLE\\IMG_0001.JPG"));

    OnPc(L"up.txt", "uploaded");
    wchar_t target[260] = L"/var/mobile/Media/DCIM//up.txt";
    ASSERT_TRUE(handset->CopyFileToDevice((pc + L"\\up.txt").c_str(), target, &Ignore));
    EXPECT_EQ("uploaded", testsupport::ReadFileBytes(media + L"\\DCIM\\up.txt"));
    EXPECT_TRUE(handset->CreateFolder(L"/var/mobile/Media/New"));
    EXPECT_FALSE(handset->CreateFolder(L"/var/mobile/Media/New")) << "already there";
    EXPECT_TRUE(handset->RenamePath(L"/var/mobile/Media/New", L"/var/mobile/Media/Renamed"));
    EXPECT_TRUE(handset->PathExists(L"/var/mobile/Media/Renamed"));
    EXPECT_TRUE(handset->DeletePath(L"/var/mobile/Media/DCIM"));
    EXPECT_FALSE(handset->PathExists(L"/var/mobile/Media/DCIM"));
}

// Spelling of a PC path for a device-side name written through the stand-in's folder.
std::wstring Big(wchar_t c, size_t n) { return std::wstring(n, c); }

TEST_F(StandinFixture, NamesDatesAndSizesSurviveBothWays) {
    // 255 bytes is the longest name a handset (and Linux) holds.
    const std::wstring unicode = L"\x65E5\x672C \xE9t\xE9 \x00FC.txt";
    const std::wstring longest = Big(L'n', 251) + L".txt";
    OnDevice(L"Docs\\" + unicode, "unicode");
    OnDevice(L"Docs\\" + longest, "long");
    FILETIME old{};
    const ULONGLONG ticks = 130000000000000000ull;  // 2012
    old.dwLowDateTime = static_cast<DWORD>(ticks);
    old.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    {
        HANDLE f = ::CreateFileW((media + L"\\Docs\\" + unicode).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, f);
        ::SetFileTime(f, nullptr, nullptr, &old);
        ::CloseHandle(f);
    }
    Connect();
    // A name Windows cannot hold is stored with look-alikes, as the folder backend stores it.
    ASSERT_TRUE(handset->CreateFolder(L"/var/mobile/Media/Docs/what?"));
    tag_DirectoryFileTree* tree = handset->GetDirectoryTree(L"/var/mobile/Media/Docs/", 1);
    ASSERT_NE(nullptr, tree);
    ASSERT_NE(nullptr, Child(tree, unicode));
    EXPECT_EQ(ticks, Child(tree, unicode)->modified);
    ASSERT_NE(nullptr, Child(tree, longest));

    const wchar_t* paths[] = {L"/var/mobile/Media/Docs", nullptr};
    ASSERT_TRUE(handset->CopyToPC(paths, pc.c_str(), &Ignore));
    EXPECT_EQ("unicode", testsupport::ReadFileBytes(pc + L"\\Docs\\" + unicode));
    EXPECT_EQ("long", testsupport::ReadFileBytes(pc + L"\\Docs\\" + longest));
    EXPECT_TRUE(testsupport::FileExists(pc + L"\\Docs\\what\xFF1F"));
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(::GetFileAttributesExW((pc + L"\\Docs\\" + unicode).c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(ticks, (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime);

    // And back under other names, into a new folder; the date goes with them.
    ASSERT_TRUE(handset->CreateFolder(L"/var/mobile/Media/Back"));
    wchar_t target[260] = L"/var/mobile/Media/Back/";
    ASSERT_TRUE(handset->CopyFolderToDevice((pc + L"\\Docs").c_str(), target, &Ignore));
    EXPECT_EQ(L"/var/mobile/Media/Back/", std::wstring(target)) << "the caller's buffer is left as it was";
    EXPECT_EQ("unicode", testsupport::ReadFileBytes(media + L"\\Back\\Docs\\" + unicode));
    EXPECT_EQ("long", testsupport::ReadFileBytes(media + L"\\Back\\Docs\\" + longest));
    tree = handset->GetDirectoryTree(L"/var/mobile/Media/Back/Docs/", 1);
    ASSERT_NE(nullptr, tree);
    ASSERT_NE(nullptr, Child(tree, unicode));
    EXPECT_EQ(ticks, Child(tree, unicode)->modified);
    // A second copy of the same file keeps both.
    wchar_t again[260] = L"/var/mobile/Media/Back//long.txt";
    ASSERT_TRUE(handset->CopyFileToDevice((pc + L"\\Docs\\" + longest).c_str(), again, &Ignore));
    ASSERT_TRUE(handset->CopyFileToDevice((pc + L"\\Docs\\" + longest).c_str(), again, &Ignore));
    EXPECT_TRUE(handset->PathExists(L"/var/mobile/Media/Back/long (2).txt"));
    const wchar_t* query[] = {L"/var/mobile/Media/Back/long.txt", L"/var/mobile/Media/nothing", nullptr};
    EXPECT_EQ(1, handset->QueryPathList(query));
}

TEST_F(StandinFixture, TrueSizesPastFourGiBAndLargeFolders) {
    {
        HANDLE f = ::CreateFileW((media + L"\\big.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, f);
        LARGE_INTEGER size;
        size.QuadPart = 5ll << 30;  // sparse on the host: nothing is written
        ::SetFilePointerEx(f, size, nullptr, FILE_BEGIN);
        ::SetEndOfFile(f);
        ::CloseHandle(f);
    }
    // Made on the host by the wrapper (--many): 5,000 files made under Wine take ten seconds.
    ASSERT_TRUE(testsupport::FileExists(media + L"\\Many\\f4999")) << "run with --many";
    Connect();
    tag_DirectoryFileTree* tree = handset->GetDirectoryTree(L"/var/mobile/Media/", 1);
    ASSERT_NE(nullptr, tree);
    ASSERT_NE(nullptr, Child(tree, L"big.bin"));
    EXPECT_EQ(5ull << 30, Child(tree, L"big.bin")->size);
    const ULONGLONG start = ::GetTickCount64();
    tree = handset->GetDirectoryTree(L"/var/mobile/Media/Many/", 2);
    ASSERT_NE(nullptr, tree);
    EXPECT_EQ(5000u, tree->children.size());
    EXPECT_EQ(L"f9", tree->children[9].name) << "in the order people sort names";
    EXPECT_LT(::GetTickCount64() - start, 5000u);
}

TEST_F(StandinFixture, TheRootServiceShowsTheWholeHandset) {
    if (root.empty()) GTEST_FAIL() << "run with --root";
    Connect();
    tag_DirectoryFileTree* tree = handset->GetDirectoryTree(L"/", 2);
    ASSERT_NE(nullptr, tree);
    ASSERT_NE(nullptr, Child(tree, L"private"));
    ASSERT_NE(nullptr, Child(tree, L"var"));
    EXPECT_TRUE(handset->PathExists(L"/private/etc/hosts"));
    const wchar_t* paths[] = {L"/private/etc/hosts", nullptr};
    ASSERT_TRUE(handset->CopyToPC(paths, pc.c_str(), &Ignore));
    EXPECT_EQ("127.0.0.1 localhost\n", testsupport::ReadFileBytes(pc + L"\\hosts"));
}

TEST_F(StandinFixture, WithoutTheRootServiceOnlyTheWayDownToTheMediaFolderShows) {
    if (!root.empty()) GTEST_FAIL() << "run without --root";
    Connect();
    struct Case {
        const wchar_t* folder;
        const wchar_t* only;
    } cases[] = {{L"/", L"var"}, {L"/var/", L"mobile"}, {L"/var/mobile/", L"Media"}};
    for (const Case& c : cases) {
        tag_DirectoryFileTree* tree = handset->GetDirectoryTree(c.folder, 1);
        ASSERT_NE(nullptr, tree) << c.folder;
        ASSERT_EQ(1u, tree->children.size()) << c.folder;
        EXPECT_EQ(c.only, tree->children[0].name) << c.folder;
    }
    EXPECT_EQ(nullptr, handset->GetDirectoryTree(L"/private/", 1));
    EXPECT_FALSE(handset->PathExists(L"/private/etc"));
    EXPECT_FALSE(handset->CreateFolder(L"/var/mobile/Library"));
    EXPECT_FALSE(handset->DeletePath(L"/var/mobile/Media")) << "never the media folder itself";
}

// The progress function unplugs the handset once the copy is under way, and
// holds the copy until the stand-in (which looks every 25 ms) has seen it: on
// a quiet machine 12 MiB would otherwise arrive before the cable is "pulled".
std::wstring g_plugged;
int UnplugOnce(int, int done) {
    if (done > 0 && !g_plugged.empty()) {
        ::DeleteFileW(g_plugged.c_str());
        g_plugged.clear();
        ::Sleep(300);
    }
    return 1;
}

TEST_F(StandinFixture, RemovalMidCopyFailsAtOnceAndLeavesNoPartFileEitherSide) {
    const std::string big(12 << 20, 'b');
    OnDevice(L"Movies\\m.mov", big);
    OnPc(L"up.bin", big);
    for (const bool toPc : {true, false}) {
        SCOPED_TRACE(toPc ? "to the PC" : "to the handset");
        Plug();
        ASSERT_EQ(1, WaitFor(Codes().size() + 1).back());
        g_plugged = state + L"\\plugged";
        // The removal may be told before the copy has returned.
        const size_t before = Codes().size();
        const ULONGLONG start = ::GetTickCount64();
        wchar_t target[260] = L"/var/mobile/Media/Movies//up.bin";
        const wchar_t* paths[] = {L"/var/mobile/Media/Movies/m.mov", nullptr};
        const bool ok = toPc ? handset->CopyToPC(paths, pc.c_str(), &UnplugOnce)
                             : handset->CopyFileToDevice((pc + L"\\up.bin").c_str(), target, &UnplugOnce);
        EXPECT_FALSE(ok);
        EXPECT_LT(::GetTickCount64() - start, 3000u);
        ASSERT_EQ(2, WaitFor(before + 1).back());
        EXPECT_FALSE(HoldsPartial(pc));
        EXPECT_FALSE(testsupport::FileExists(pc + L"\\m.mov"));
    }
    // The part left on the handset when it went is removed when it is back.
    Plug();
    ASSERT_EQ(1, WaitFor(Codes().size() + 1).back());
    const ULONGLONG end = ::GetTickCount64() + 2000;
    while (HoldsPartial(media + L"\\Movies") && ::GetTickCount64() < end) ::Sleep(20);
    EXPECT_FALSE(HoldsPartial(media + L"\\Movies"));
    EXPECT_FALSE(testsupport::FileExists(media + L"\\Movies\\up.bin"));
}

struct CopyThread {
    handset::device::CMuxHandset* handset;
    std::wstring source;
    bool ok = false;
    static DWORD WINAPI Run(void* self) {
        auto* job = static_cast<CopyThread*>(self);
        wchar_t target[260] = L"/var/mobile/Media//up.bin";
        job->ok = job->handset->CopyFileToDevice(job->source.c_str(), target, &Ignore);
        return 0;
    }
};

TEST_F(StandinFixture, ARenameDuringACopyNeitherWaitsNorBreaksTheCopy) {
    OnPc(L"up.bin", std::string(96 << 20, 'u'));
    OnDevice(L"old", "x");
    Connect();
    CopyThread job{handset, pc + L"\\up.bin"};
    HANDLE thread = ::CreateThread(nullptr, 0, &CopyThread::Run, &job, 0, nullptr);
    ::Sleep(30);
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_TRUE(handset->RenamePath(L"/var/mobile/Media/old", L"/var/mobile/Media/new"));
    EXPECT_LT(::GetTickCount64() - start, 1000u);
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(thread, 60000));
    ::CloseHandle(thread);
    EXPECT_TRUE(job.ok);
    EXPECT_EQ(size_t(96) << 20, testsupport::ReadFileBytes(media + L"\\up.bin").size());
    EXPECT_TRUE(testsupport::FileExists(media + L"\\new"));
}

TEST_F(StandinFixture, CloseEndsAtOnceWhileConnected) {
    Connect();
    const ULONGLONG start = ::GetTickCount64();
    handset->Close();
    handset = nullptr;
    EXPECT_LT(::GetTickCount64() - start, 500u);
}

// The debugger output of this process: OutputDebugString raises an exception
// that a vectored handler sees before anyone else.
std::mutex g_debugLock;
std::string g_debug;
LONG CALLBACK CaptureDebugOutput(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* r = info->ExceptionRecord;
    if (r->ExceptionCode == DBG_PRINTEXCEPTION_C && r->NumberParameters >= 2) {
        std::lock_guard<std::mutex> lock(g_debugLock);
        g_debug.append(reinterpret_cast<const char*>(r->ExceptionInformation[1]),
                       static_cast<size_t>(r->ExceptionInformation[0]));
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

// Run beside a handset without a pairing record, or one that refuses the session.
TEST_F(StandinFixture, AHandsetThatDoesNotTrustThisPcIsNoArrivalButIsToldOnce) {
    void* handler = ::AddVectoredExceptionHandler(1, &CaptureDebugOutput);
    Plug();
    ASSERT_EQ(std::vector<int>{handset::device::kNotTrusted}, WaitFor(1, 3000));
    ::Sleep(2500);  // several more attempts
    ::RemoveVectoredExceptionHandler(handler);
    EXPECT_EQ(std::vector<int>{handset::device::kNotTrusted}, Codes()) << "no arrival; told once";
    EXPECT_FALSE(handset->IsConnected());
    std::lock_guard<std::mutex> lock(g_debugLock);
    const std::string expected =
        standin::Env(L"PELICAN_EXPECT_REASON").empty() ? "no pairing record" : "refused the session: InvalidHostID";
    EXPECT_NE(std::string::npos, g_debug.find(expected)) << g_debug;
}

}  // namespace

namespace {

// Answers every clash with one choice and stops after `stopAfter` progress reports.
struct ChoosingSink : ITransferSink {
    TransferClashChoice choice = TransferClashChoice::KeepBoth;
    int clashes = 0;
    int reports = 0;
    int stopAfter = -1;
    bool OnProgress(const TransferProgress&) override { return stopAfter < 0 || ++reports <= stopAfter; }
    TransferClashChoice OnClash(const TransferClash&) override {
        ++clashes;
        return choice;
    }
    void OnItemFailed(const wchar_t*, TransferError) override {}
};

TEST_F(StandinFixture, WholeJobTransfersAskAboutClashesAndStopWhenTold) {
    OnDevice(L"Up\\a.txt", "old");
    OnPc(L"a.txt", "new!");
    OnPc(L"big.bin", std::string(8 << 20, 'b'));
    Connect();
    IHandsetTransfer* transfer = handset->Transfer();
    const std::wstring a = pc + L"\\a.txt", big = pc + L"\\big.bin";
    const wchar_t* items[] = {a.c_str(), nullptr};
    struct Case {
        TransferClashChoice choice;
        const char* after;
    } cases[] = {{TransferClashChoice::Skip, "old"}, {TransferClashChoice::Replace, "new!"}};
    for (const Case& c : cases) {
        ChoosingSink sink;
        sink.choice = c.choice;
        ITransferJob* job = transfer->PlanToDevice(items, L"/var/mobile/Media/Up/");
        ASSERT_NE(nullptr, job);
        EXPECT_EQ(TransferOutcome::Completed, job->Run(&sink));
        job->Release();
        EXPECT_EQ(1, sink.clashes);
        EXPECT_EQ(c.after, testsupport::ReadFileBytes(media + L"\\Up\\a.txt"));
    }
    // Stopped after the first chunk: nothing half-written stays behind.
    const wchar_t* bigItems[] = {big.c_str(), nullptr};
    ChoosingSink stopping;
    stopping.stopAfter = 1;
    ITransferJob* job = transfer->PlanToDevice(bigItems, L"/var/mobile/Media/Up/");
    ASSERT_NE(nullptr, job);
    EXPECT_EQ(TransferOutcome::Cancelled, job->Run(&stopping));
    job->Release();
    EXPECT_FALSE(testsupport::FileExists(media + L"\\Up\\big.bin"));
    EXPECT_FALSE(HoldsPartial(media + L"\\Up"));
    std::uint64_t free = 0;
    EXPECT_TRUE(transfer->DeviceFreeBytes(&free));
    EXPECT_GT(free, 0u);
}

// Small files go several at a time per connection: a file that grew past one
// chunk after planning, or vanished, must not shift the others' answers.
TEST_F(StandinFixture, ManySmallFilesArriveWholeWhenOneChangedAfterPlanning) {
    auto content = [](int i) { return std::string(100 + i * 37, static_cast<char>('a' + i % 26)); };
    for (int i = 0; i < 40; ++i) OnDevice(L"Batch\\f" + std::to_wstring(i) + L".bin", content(i));
    Connect();
    const wchar_t* items[] = {L"/var/mobile/Media/Batch", nullptr};
    ITransferJob* job = handset->Transfer()->PlanToPC(items, pc.c_str());
    ASSERT_NE(nullptr, job);
    const std::string grown(3 << 20, 'g');
    OnDevice(L"Batch\\f7.bin", grown);
    ASSERT_TRUE(::DeleteFileW((media + L"\\Batch\\f8.bin").c_str()));
    ChoosingSink sink;
    EXPECT_EQ(TransferOutcome::Failed, job->Run(&sink)) << "the vanished file is named";
    job->Release();
    EXPECT_EQ(grown, testsupport::ReadFileBytes(pc + L"\\Batch\\f7.bin"));
    EXPECT_FALSE(testsupport::FileExists(pc + L"\\Batch\\f8.bin"));
    for (int i = 0; i < 40; ++i) {
        if (i == 7 || i == 8) continue;
        EXPECT_EQ(content(i), testsupport::ReadFileBytes(pc + L"\\Batch\\f" + std::to_wstring(i) + L".bin")) << i;
    }
    EXPECT_FALSE(HoldsPartial(pc + L"\\Batch"));

    // And back, written several at a time: bytes and dates whole, nothing left half-written.
    const std::wstring folder = pc + L"\\Batch";
    const wchar_t* back[] = {folder.c_str(), nullptr};
    ASSERT_TRUE(handset->CreateFolder(L"/var/mobile/Media/Returned"));
    job = handset->Transfer()->PlanToDevice(back, L"/var/mobile/Media/Returned/");
    ASSERT_NE(nullptr, job);
    EXPECT_EQ(TransferOutcome::Completed, job->Run(&sink));
    job->Release();
    for (int i = 0; i < 40; ++i) {
        const std::wstring name = L"\\Batch\\f" + std::to_wstring(i) + L".bin";
        if (i == 8) continue;
        EXPECT_EQ(testsupport::ReadFileBytes(pc + name), testsupport::ReadFileBytes(media + L"\\Returned" + name)) << i;
    }
    auto modified = [](const std::wstring& path) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
        return (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    };
    EXPECT_EQ(modified(pc + L"\\Batch\\f3.bin") / 10000000, modified(media + L"\\Returned\\Batch\\f3.bin") / 10000000);
    EXPECT_FALSE(HoldsPartial(media + L"\\Returned\\Batch"));

    // Once more into the folder that is there now: every name is asked about, none written over.
    OnDevice(L"Returned\\Batch\\f5.bin", "mine");
    ChoosingSink skipping;
    skipping.choice = TransferClashChoice::Skip;
    job = handset->Transfer()->PlanToDevice(back, L"/var/mobile/Media/Returned/");
    ASSERT_NE(nullptr, job);
    EXPECT_EQ(TransferOutcome::Completed, job->Run(&skipping));
    job->Release();
    EXPECT_EQ(39, skipping.clashes);
    EXPECT_EQ("mine", testsupport::ReadFileBytes(media + L"\\Returned\\Batch\\f5.bin"));
}

// Pulled out while batches of small files are on their way: nothing half-written
// stays on the handset once it is back.
TEST_F(StandinFixture, SmallFilesCutOffByARemovalLeaveNoPartFiles) {
    for (int i = 0; i < 300; ++i) OnPc(L"Lots\\f" + std::to_wstring(i) + L".bin", std::string(20000, 'l'));
    Connect();
    struct UnplugSink : ChoosingSink {
        std::wstring flag;
        bool OnProgress(const TransferProgress& p) override {
            if (p.filesDone >= 20 && !flag.empty()) {
                ::DeleteFileW(flag.c_str());
                flag.clear();
            }
            return true;
        }
    } sink;
    sink.flag = state + L"\\plugged";
    const std::wstring folder = pc + L"\\Lots";
    const wchar_t* items[] = {folder.c_str(), nullptr};
    const size_t before = Codes().size();
    ITransferJob* job = handset->Transfer()->PlanToDevice(items, L"/var/mobile/Media/");
    ASSERT_NE(nullptr, job);
    EXPECT_EQ(TransferOutcome::DeviceRemoved, job->Run(&sink));
    job->Release();
    ASSERT_EQ(2, WaitFor(before + 1).back());
    Plug();
    ASSERT_EQ(1, WaitFor(before + 2).back());
    const ULONGLONG end = ::GetTickCount64() + 2000;
    while (HoldsPartial(media + L"\\Lots") && ::GetTickCount64() < end) ::Sleep(20);
    EXPECT_FALSE(HoldsPartial(media + L"\\Lots"));
}

}  // namespace
