// The folder-backed device's operations, including the faults a user meets.
#include <algorithm>
#include <atomic>
#include <utility>

#include "outside/handset/DevicePaths.h"
#include "tests/outside/HandsetFixture.h"

namespace {

std::vector<std::pair<int, int>> g_progress;  // the plain progress function records here
int Record(int total, int done) {
    g_progress.emplace_back(total, done);
    return 0;  // like a post that found no window: must not stop the copy
}

std::wstring g_vanishRoot;  // moved away by Vanish after the first chunk
int Vanish(int total, int done) {
    g_progress.emplace_back(total, done);
    if (done > 0 && !g_vanishRoot.empty()) {
        ::MoveFileW(g_vanishRoot.c_str(), (g_vanishRoot + L"-gone").c_str());
        g_vanishRoot.clear();
    }
    return 1;
}

std::vector<std::wstring> ChildNames(const tag_DirectoryFileTree* node) {
    std::vector<std::wstring> names;
    for (const auto& c : node->children) names.push_back(c.name);
    return names;
}

const tag_DirectoryFileTree* Child(const tag_DirectoryFileTree* node, const std::wstring& name) {
    for (const auto& c : node->children)
        if (c.name == name) return &c;
    return nullptr;
}

struct DeviceOps : HandsetFixture {
    void SetUp() override {
        HandsetFixture::SetUp();
        g_progress.clear();
        g_vanishRoot.clear();
    }
    std::vector<std::wstring> List(std::initializer_list<const wchar_t*> paths) { return {paths.begin(), paths.end()}; }
    bool CopyToPc(std::initializer_list<const wchar_t*> paths, ProgressCallback progress = &Record) {
        std::vector<const wchar_t*> list(paths.begin(), paths.end());
        list.push_back(nullptr);
        return handset->CopyToPC(list.data(), pc.c_str(), progress);
    }
    bool FileToDevice(const std::wstring& pcFile, const std::wstring& devicePath, ProgressCallback progress = &Record) {
        wchar_t buffer[260] = {};
        wcsncpy(buffer, devicePath.c_str(), 259);
        bool ok = handset->CopyFileToDevice(pcFile.c_str(), buffer, progress);
        EXPECT_EQ(devicePath, buffer) << "the caller's buffer is left as it was";
        return ok;
    }
};

TEST_F(DeviceOps, ConnectedWhileTheFolderExists) {
    EXPECT_TRUE(handset->IsConnected());
    ASSERT_TRUE(::MoveFileW(device.c_str(), (device + L"-x").c_str()));
    EXPECT_FALSE(handset->IsConnected());
    EXPECT_FALSE(handset->PathExists(L"/"));
    EXPECT_EQ(nullptr, handset->GetDirectoryTree(L"/", 2));
}

TEST_F(DeviceOps, TreeListsFoldersFirstInNaturalOrderWithFilesLeftOutAtTheDeepestLevel) {
    OnDevice(L"var\\mobile\\Media\\DCIM\\100APPLE\\IMG_10.JPG", "ten");
    OnDevice(L"var\\mobile\\Media\\DCIM\\100APPLE\\IMG_9.JPG", "nine");
    OnDevice(L"var\\mobile\\Media\\DCIM\\readme.txt", "12345");
    OnDevice(L"var\\mobile\\Media\\DCIM\\99APPLE\\x.jpg", "x");
    OnDevice(L"var\\mobile\\Media\\DCIM\\~$pelican-1-1.part", "half");

    tag_DirectoryFileTree* tree = handset->GetDirectoryTree(L"/var/mobile/Media//DCIM/", 2);
    ASSERT_NE(nullptr, tree);
    EXPECT_EQ(L"DCIM", tree->name);
    EXPECT_NE(0, tree->isDirectory);
    EXPECT_EQ((std::vector<std::wstring>{L"99APPLE", L"100APPLE", L"readme.txt"}), ChildNames(tree));
    EXPECT_EQ(5u, Child(tree, L"readme.txt")->size);
    EXPECT_EQ(0, Child(tree, L"readme.txt")->isDirectory);
    {
        std::wstring backing;
        ASSERT_TRUE(handset->Resolve(L"/var/mobile/Media/DCIM/readme.txt", &backing));
        HANDLE file = ::CreateFileW(backing.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        const FILETIME when{0x12345678, 0x01D9ABCD};
        ::SetFileTime(file, nullptr, nullptr, &when);
        ::CloseHandle(file);
        tree = handset->GetDirectoryTree(L"/var/mobile/Media/DCIM/", 1);
        ASSERT_NE(nullptr, tree);
        EXPECT_EQ(0x01D9ABCD12345678ull, Child(tree, L"readme.txt")->modified) << "the list's date column";
    }
    tree = handset->GetDirectoryTree(L"/var/mobile/Media//DCIM/", 2);
    // Second level: only what the folder tree needs.
    EXPECT_TRUE(Child(tree, L"100APPLE")->children.empty());

    tree = handset->GetDirectoryTree(L"/var/mobile/Media/DCIM/100APPLE", 1);
    ASSERT_NE(nullptr, tree);
    EXPECT_EQ((std::vector<std::wstring>{L"IMG_9.JPG", L"IMG_10.JPG"}), ChildNames(tree));

    tree = handset->GetDirectoryTree(L"/var", 3);
    ASSERT_NE(nullptr, tree);
    ASSERT_NE(nullptr, Child(tree, L"mobile"));
    const tag_DirectoryFileTree* media = Child(Child(tree, L"mobile"), L"Media");
    ASSERT_NE(nullptr, media);
    ASSERT_NE(nullptr, Child(media, L"DCIM"));
    EXPECT_TRUE(Child(media, L"DCIM")->children.empty()) << "three levels asked, three given";

    EXPECT_EQ(L"/", handset->GetDirectoryTree(L"/", 1)->name);
    EXPECT_EQ(nullptr, handset->GetDirectoryTree(L"/var/missing", 2));
    EXPECT_EQ(nullptr, handset->GetDirectoryTree(L"/var/mobile/Media/DCIM/readme.txt", 2));
}

TEST_F(DeviceOps, ASparseFileOfFiveGiBIsListedWithItsTrueSize) {
    const std::wstring big = device + L"\\big.bin";
    HANDLE file = ::CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD got = 0;
    // Without sparse support the file would really take 5 GiB of disk.
    ASSERT_TRUE(::DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &got, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = 5ll << 30;
    ASSERT_TRUE(::SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(::SetEndOfFile(file));
    ::CloseHandle(file);

    tag_DirectoryFileTree* tree = handset->GetDirectoryTree(L"/", 1);
    ASSERT_NE(nullptr, tree);
    ASSERT_NE(nullptr, Child(tree, L"big.bin"));
    EXPECT_EQ(5ull << 30, Child(tree, L"big.bin")->size);
}

TEST_F(DeviceOps, CopiesFilesAndWholeFoldersToThePcWithProgressInKiB) {
    std::string photo(300 * 1024 + 5, 'p');
    OnDevice(L"DCIM\\100APPLE\\IMG_0001.JPG", photo);
    OnDevice(L"DCIM\\100APPLE\\deep\\er\\note.txt", "deep");
    OnDevice(L"Books\\book.epub", std::string(2048, 'b'));

    ASSERT_TRUE(CopyToPc({L"/DCIM/100APPLE", L"//Books/book.epub"}));
    EXPECT_EQ(photo, PcFile(L"100APPLE\\IMG_0001.JPG"));
    EXPECT_EQ("deep", PcFile(L"100APPLE\\deep\\er\\note.txt"));
    EXPECT_EQ(std::string(2048, 'b'), PcFile(L"book.epub"));
    // The source is untouched.
    EXPECT_EQ(photo, DeviceFile(L"DCIM\\100APPLE\\IMG_0001.JPG"));

    ASSERT_FALSE(g_progress.empty());
    const int totalKiB = (300 * 1024 + 5 + 4 + 2048 + 1023) / 1024;
    for (const auto& [total, done] : g_progress) {
        EXPECT_EQ(totalKiB, total);
        EXPECT_LE(done, total);
    }
    EXPECT_EQ(totalKiB, g_progress.back().second);
    EXPECT_FALSE(HoldsPartial(pc));
}

TEST_F(DeviceOps, AnExistingPcFileIsKeptAndTheCopyGetsANumberedName) {
    OnDevice(L"a.jpg", "device");
    OnPc(L"a.jpg", "mine");
    OnPc(L"a (2).jpg", "mine too");
    ASSERT_TRUE(CopyToPc({L"/a.jpg"}));
    EXPECT_EQ("mine", PcFile(L"a.jpg"));
    EXPECT_EQ("mine too", PcFile(L"a (2).jpg"));
    EXPECT_EQ("device", PcFile(L"a (3).jpg"));
}

TEST_F(DeviceOps, AFolderCopiedOntoAnExistingFolderIsMerged) {
    OnDevice(L"Music\\one.mp3", "1");
    OnDevice(L"Music\\two.mp3", "2");
    OnPc(L"Music\\one.mp3", "old");
    ASSERT_TRUE(CopyToPc({L"/Music"}));
    EXPECT_EQ("old", PcFile(L"Music\\one.mp3"));
    EXPECT_EQ("1", PcFile(L"Music\\one (2).mp3"));
    EXPECT_EQ("2", PcFile(L"Music\\two.mp3"));
}

// Wine shows host file names with ":" as they are, as a handset's own names may be.
TEST_F(DeviceOps, ANameWithAColonReachesThePcUnderASafeSpelling) {
    HANDLE f = ::CreateFileW((L"\\\\?\\" + device + L"\\Re: notes.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, f) << "the backing folder cannot hold the name";
    DWORD written = 0;
    ::WriteFile(f, "colon", 5, &written, nullptr);
    ::CloseHandle(f);
    tag_DirectoryFileTree* tree = handset->GetDirectoryTree(L"/", 1);
    ASSERT_NE(nullptr, tree);
    EXPECT_NE(nullptr, Child(tree, L"Re: notes.txt"));

    ASSERT_TRUE(CopyToPc({L"/Re: notes.txt"}));
    EXPECT_EQ("colon", PcFile(L"Re\xFF1A notes.txt"));
    EXPECT_EQ((std::vector<std::wstring>{L"Re\xFF1A notes.txt"}), Names(pc));
}

TEST_F(DeviceOps, ADriveOrStreamSpelledAsADeviceNameIsRefused) {
    OnDevice(L"a", "x");
    EXPECT_FALSE(handset->PathExists(L"/C:/Windows"));
    EXPECT_FALSE(handset->PathExists(L"/a:stream"));
    EXPECT_FALSE(handset->CreateFolder(L"/NUL"));
    EXPECT_FALSE(handset->CreateFolder(L"/new:folder"));
    EXPECT_FALSE(CopyToPc({L"C:/Windows/win.ini"}));
}

TEST_F(DeviceOps, PathsWithDotDotNeverLeaveTheDevice) {
    OnPc(L"secret.txt", "pc data");
    OnDevice(L"var\\x.txt", "x");
    const std::wstring up = L"/var/../../pc/secret.txt";
    EXPECT_FALSE(handset->PathExists(up.c_str()));
    EXPECT_FALSE(handset->DeletePath(up.c_str()));
    EXPECT_FALSE(handset->DeletePath(L"/var/.."));
    EXPECT_FALSE(handset->RenamePath(L"/var/x.txt", L"/../escaped.txt"));
    EXPECT_FALSE(handset->CreateFolder(L"/var/../../pc/made"));
    EXPECT_FALSE(FileToDevice(pc + L"\\secret.txt", L"/../secret2.txt"));
    EXPECT_FALSE(CopyToPc({L"/var/../../pc/secret.txt"}));
    EXPECT_EQ(nullptr, handset->GetDirectoryTree(L"/..", 2));
    EXPECT_EQ("pc data", PcFile(L"secret.txt"));
    EXPECT_TRUE(OnDeviceExists(L"var\\x.txt"));
    EXPECT_FALSE(testsupport::FileExists(scratch.path() + L"escaped.txt"));
    EXPECT_FALSE(testsupport::FileExists(scratch.path() + L"secret2.txt"));
    EXPECT_FALSE(OnPcExists(L"made"));
}

// Running as root under Wine, read-only attributes and modes do not stop a
// write; /proc is a folder nobody may create files in.
TEST_F(DeviceOps, AnUnwritablePcTargetFailsCleanly) {
    const std::wstring unwritable = L"Z:\\proc\\self";
    if (!testsupport::FileExists(unwritable)) GTEST_SKIP() << "no /proc on this host to stand for an unwritable folder";
    OnDevice(L"a.jpg", "device");
    std::vector<const wchar_t*> list{L"/a.jpg", nullptr};
    EXPECT_FALSE(handset->CopyToPC(list.data(), unwritable.c_str(), &Record));
    EXPECT_EQ("device", DeviceFile(L"a.jpg"));
    EXPECT_FALSE(testsupport::FileExists(unwritable + L"\\a.jpg"));
}

TEST_F(DeviceOps, AMissingPcTargetOrMissingSourceFails) {
    OnDevice(L"a.jpg", "a");
    std::vector<const wchar_t*> list{L"/a.jpg", nullptr};
    EXPECT_FALSE(handset->CopyToPC(list.data(), (pc + L"\\missing").c_str(), &Record));
    // One missing item fails the job; the others still arrive.
    EXPECT_FALSE(CopyToPc({L"/gone.jpg", L"/a.jpg"}));
    EXPECT_EQ("a", PcFile(L"a.jpg"));
}

TEST_F(DeviceOps, TheDeviceVanishingDuringACopyToThePcLeavesNothingHalfWritten) {
    OnDevice(L"movie.mov", std::string(3 << 20, 'm'));
    g_vanishRoot = device;
    EXPECT_FALSE(CopyToPc({L"/movie.mov"}, &Vanish));
    EXPECT_TRUE(Names(pc).empty());
    EXPECT_EQ(std::string(3 << 20, 'm'), testsupport::ReadFileBytes(device + L"-gone\\movie.mov"));
}

DWORD g_progressThread = 0;
bool g_progressOffThread = false;
int RecordThread(int total, int done) {
    if (::GetCurrentThreadId() != g_progressThread) g_progressOffThread = true;
    return Record(total, done);
}

TEST_F(DeviceOps, ManySmallFilesArriveWholeAndProgressStaysOnTheCallersThread) {
    std::uint64_t bytes = 0;
    for (int d = 0; d < 4; ++d)
        for (int i = 0; i < 30; ++i) {
            std::string content(100 + d * 1000 + i * 37, static_cast<char>('a' + i % 26));
            bytes += content.size();
            OnDevice(L"Album\\" + std::to_wstring(d) + L"\\IMG_" + std::to_wstring(i) + L".JPG", content);
        }
    g_progressThread = ::GetCurrentThreadId();
    g_progressOffThread = false;
    ASSERT_TRUE(CopyToPc({L"/Album"}, &RecordThread));
    for (int d = 0; d < 4; ++d)
        for (int i = 0; i < 30; ++i)
            ASSERT_EQ(std::string(100 + d * 1000 + i * 37, static_cast<char>('a' + i % 26)),
                      PcFile(L"Album\\" + std::to_wstring(d) + L"\\IMG_" + std::to_wstring(i) + L".JPG"));
    EXPECT_FALSE(g_progressOffThread);
    EXPECT_EQ(handset::KiBRoundedUp(bytes), g_progress.back().second);
    EXPECT_FALSE(HoldsPartial(pc));
}

HANDLE g_copying = nullptr;  // set once a copy is under way
int HoldOnFirstChunk(int, int done) {
    if (done > 0 && g_copying && ::WaitForSingleObject(g_copying, 0) == WAIT_TIMEOUT) {
        ::SetEvent(g_copying);
        ::Sleep(300);  // Close arrives meanwhile
    }
    return 1;
}

TEST_F(DeviceOps, CloseDuringACopyStopsItWithoutLeavingHalfAFile) {
    OnDevice(L"movie.mov", std::string(8 << 20, 'm'));
    g_copying = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    struct Job {
        DeviceOps* test;
        bool result = true;
    } job{this};
    HANDLE worker = ::CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto* j = static_cast<Job*>(p);
            j->result = j->test->CopyToPc({L"/movie.mov"}, &HoldOnFirstChunk);
            return 0;
        },
        &job, 0, nullptr);
    ASSERT_NE(nullptr, worker);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(g_copying, 10000));
    handset->Close();  // waits for the copy to give up
    handset = nullptr;
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(worker, 10000));
    ::CloseHandle(worker);
    ::CloseHandle(g_copying);
    g_copying = nullptr;
    EXPECT_FALSE(job.result);
    EXPECT_TRUE(Names(pc).empty());
    EXPECT_EQ(std::string(8 << 20, 'm'), DeviceFile(L"movie.mov"));
}

TEST_F(DeviceOps, CopiesAPcFileIntoADeviceFolder) {
    OnPc(L"a.jpg", std::string(70000, 'a'));
    OnDevice(L"DCIM\\keep.txt", "k");
    ASSERT_TRUE(FileToDevice(pc + L"\\a.jpg", L"/DCIM//a.jpg"));
    EXPECT_EQ(std::string(70000, 'a'), DeviceFile(L"DCIM\\a.jpg"));
    EXPECT_EQ(std::string(70000, 'a'), PcFile(L"a.jpg"));
    EXPECT_EQ(std::make_pair(69, 69), g_progress.back());
    // Again: the first copy stays, the second gets a numbered name.
    OnPc(L"a.jpg", "newer");
    ASSERT_TRUE(FileToDevice(pc + L"\\a.jpg", L"/DCIM/a.jpg"));
    EXPECT_EQ(std::string(70000, 'a'), DeviceFile(L"DCIM\\a.jpg"));
    EXPECT_EQ("newer", DeviceFile(L"DCIM\\a (2).jpg"));
    EXPECT_FALSE(HoldsPartial(device));
}

TEST_F(DeviceOps, ACopyToTheDeviceNeedsAnExistingFolderAndAPcFile) {
    OnPc(L"a.jpg", "a");
    OnPc(L"dir\\b.txt", "b");
    EXPECT_FALSE(FileToDevice(pc + L"\\a.jpg", L"/missing/a.jpg"));
    EXPECT_FALSE(FileToDevice(pc + L"\\nothing.jpg", L"/a.jpg"));
    EXPECT_FALSE(FileToDevice(pc + L"\\dir", L"/dir"));
    EXPECT_FALSE(FileToDevice(pc + L"\\a.jpg", L"/"));
    wchar_t unterminated[260];
    std::fill(std::begin(unterminated), std::end(unterminated), L'a');
    EXPECT_FALSE(handset->CopyFileToDevice((pc + L"\\a.jpg").c_str(), unterminated, &Record));
    EXPECT_TRUE(Names(device).empty());
}

TEST_F(DeviceOps, CopiesAPcFolderWithAllItHoldsIntoADeviceFolder) {
    OnPc(L"Trip\\day1\\a.jpg", "a");
    OnPc(L"Trip\\day2\\b.jpg", "b");
    OnPc(L"Trip\\list.txt", "l");
    ::CreateDirectoryW((pc + L"\\Trip\\empty").c_str(), nullptr);
    OnDevice(L"DCIM\\x", "x");
    wchar_t target[260] = L"/DCIM/";
    ASSERT_TRUE(handset->CopyFolderToDevice((pc + L"\\Trip\\").c_str(), target, &Record));
    EXPECT_STREQ(L"/DCIM/", target);
    EXPECT_EQ("a", DeviceFile(L"DCIM\\Trip\\day1\\a.jpg"));
    EXPECT_EQ("b", DeviceFile(L"DCIM\\Trip\\day2\\b.jpg"));
    EXPECT_EQ("l", DeviceFile(L"DCIM\\Trip\\list.txt"));
    EXPECT_TRUE(OnDeviceExists(L"DCIM\\Trip\\empty"));
    wchar_t missing[260] = L"/nowhere";
    EXPECT_FALSE(handset->CopyFolderToDevice((pc + L"\\Trip").c_str(), missing, &Record));
}

TEST_F(DeviceOps, AFolderCopiedIntoItselfIsCopiedOnce) {
    OnDevice(L"A\\f.txt", "f");
    wchar_t target[260] = L"/A";
    ASSERT_TRUE(handset->CopyFolderToDevice((device + L"\\A").c_str(), target, &Record));
    EXPECT_EQ("f", DeviceFile(L"A\\A\\f.txt"));
    EXPECT_FALSE(OnDeviceExists(L"A\\A\\A"));
}

TEST_F(DeviceOps, CreatesOneFolderAndReportsExistingOnes) {
    OnDevice(L"Media\\x", "x");
    EXPECT_TRUE(handset->CreateFolder(L"/Media//Photos"));
    EXPECT_TRUE(handset->PathExists(L"/Media/Photos"));
    EXPECT_FALSE(handset->CreateFolder(L"/Media/Photos"));
    EXPECT_FALSE(handset->CreateFolder(L"/Media/a/b"));
    EXPECT_FALSE(handset->CreateFolder(L"/"));
    EXPECT_FALSE(handset->CreateFolder(L"/Media/bad."));
}

TEST_F(DeviceOps, DeletesFilesAndWholeFoldersButNeverTheRoot) {
    OnDevice(L"Media\\DCIM\\100APPLE\\a.jpg", "a");
    OnDevice(L"Media\\DCIM\\b.jpg", "b");
    OnDevice(L"Media\\keep.txt", "k");
    ::SetFileAttributesW((device + L"\\Media\\DCIM\\b.jpg").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(handset->DeletePath(L"/Media/DCIM"));
    EXPECT_FALSE(OnDeviceExists(L"Media\\DCIM"));
    EXPECT_TRUE(handset->DeletePath(L"/Media/keep.txt"));
    EXPECT_FALSE(handset->DeletePath(L"/Media/keep.txt"));
    EXPECT_FALSE(handset->DeletePath(L"/"));
    EXPECT_FALSE(handset->DeletePath(L"//"));
    EXPECT_TRUE(testsupport::FileExists(device));
}

TEST_F(DeviceOps, RenamesWithoutEverReplacingAnotherEntry) {
    OnDevice(L"Media\\a.txt", "a");
    OnDevice(L"Media\\b.txt", "b");
    OnDevice(L"Media\\Dir\\x", "x");
    EXPECT_FALSE(handset->RenamePath(L"/Media/a.txt", L"/Media/b.txt"));
    EXPECT_EQ("b", DeviceFile(L"Media\\b.txt"));
    EXPECT_TRUE(handset->RenamePath(L"/Media/a.txt", L"/Media/c.txt"));
    EXPECT_EQ("a", DeviceFile(L"Media\\c.txt"));
    EXPECT_TRUE(handset->RenamePath(L"/Media/Dir", L"/Media/Folder"));
    EXPECT_EQ("x", DeviceFile(L"Media\\Folder\\x"));
    EXPECT_FALSE(handset->RenamePath(L"/Media/missing", L"/Media/d.txt"));
    EXPECT_FALSE(handset->RenamePath(L"/", L"/root2"));
    EXPECT_FALSE(handset->RenamePath(L"/Media/c.txt", L"/Media/c?.txt"));
    // Only the letter case changes: the entry meets its own old name.
    EXPECT_TRUE(handset->RenamePath(L"/Media/c.txt", L"/Media/C.txt"));
    EXPECT_EQ((std::vector<std::wstring>{L"C.txt"}), [&] {
        auto names = Names(device + L"\\Media");
        names.erase(std::remove(names.begin(), names.end(), L"b.txt"), names.end());
        names.erase(std::remove(names.begin(), names.end(), L"Folder"), names.end());
        return names;
    }());
}

// Device trees run deep: a device path that fits its 260-character buffer may
// still make a PC path longer than that, and nothing may be cut.
TEST_F(DeviceOps, PathsLongerThanTheClassicLimitWorkBothWays) {
    std::wstring devicePath;
    for (int i = 0; i < 7; ++i) {
        devicePath += L"/folder-with-a-rather-long-name-" + std::to_wstring(i);
        ASSERT_TRUE(handset->CreateFolder(devicePath.c_str())) << i;
    }
    OnPc(L"a.jpg", "deep");
    ASSERT_TRUE(FileToDevice(pc + L"\\a.jpg", devicePath + L"/a.jpg"));
    ASSERT_TRUE(handset->PathExists((devicePath + L"/a.jpg").c_str()));
    ASSERT_TRUE(CopyToPc({L"/folder-with-a-rather-long-name-0"}));
    EXPECT_TRUE(handset->DeletePath(L"/folder-with-a-rather-long-name-0"));
    EXPECT_TRUE(Names(device).empty());
    // The copy on the PC side holds the file at the bottom.
    std::wstring pcPath = L"\\\\?\\" + pc;
    for (int i = 0; i < 7; ++i) pcPath += L"\\folder-with-a-rather-long-name-" + std::to_wstring(i);
    EXPECT_GT(pcPath.size() - 4 + 6, 260u) << "the PC path of the file, without its prefix";
    EXPECT_EQ("deep", testsupport::ReadFileBytes(pcPath + L"\\a.jpg"));
}

TEST_F(DeviceOps, QueryPathListCountsTheExistingPaths) {
    OnDevice(L"a", "a");
    std::vector<const wchar_t*> list{L"/a", L"/b", L"//a", nullptr};
    EXPECT_EQ(2, handset->QueryPathList(list.data()));
    std::vector<const wchar_t*> empty{nullptr};
    EXPECT_EQ(-1, handset->QueryPathList(empty.data()));
    EXPECT_EQ(-1, handset->QueryPathList(nullptr));
}

// A tree stays the library's until the same thread asks again; a tree handed
// to another thread is not freed by this one's call.
TEST_F(DeviceOps, TreesLiveUntilTheNextCallOfTheSameThread) {
    OnDevice(L"A\\x", "x");
    OnDevice(L"B\\y", "y");
    tag_DirectoryFileTree* mine = handset->GetDirectoryTree(L"/A", 1);
    HANDLE other = ::CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto* self = static_cast<DeviceOps*>(p);
            return self->handset->GetDirectoryTree(L"/B", 1) ? 0 : 1;
        },
        this, 0, nullptr);
    ASSERT_NE(nullptr, other);
    ::WaitForSingleObject(other, 10000);
    DWORD code = 1;
    ::GetExitCodeThread(other, &code);
    ::CloseHandle(other);
    EXPECT_EQ(0u, code);
    ASSERT_NE(nullptr, mine);
    EXPECT_EQ(L"A", mine->name);
    EXPECT_EQ(L"x", mine->children.at(0).name);
}

}  // namespace
