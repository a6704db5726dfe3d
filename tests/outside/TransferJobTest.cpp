// Whole-job transfers of the folder-backed device: clash choices, stopping,
// removal during a Replace, links and files held open by others, folder dates.
#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "outside/handset/DevicePaths.h"
#include "outside/handset/NewFiles.h"
#include "outside/handset/Win32Side.h"
#include "tests/outside/HandsetFixture.h"

namespace {

constexpr std::uint64_t kHour = 3600ull * 10000000ull;
constexpr std::uint64_t kBaseTime = 0x01D7000000000000ull;  // a day in 2021
constexpr size_t kMiB = 1 << 20;

class ScriptedSink : public ITransferSink {
public:
    bool OnProgress(const TransferProgress& p) override {
        last = p;
        return !stopWhen || !stopWhen(p);
    }
    TransferClashChoice OnClash(const TransferClash& clash) override {
        clashes.push_back(clash.targetPath);
        return answer;
    }
    void OnItemFailed(const wchar_t* path, TransferError why) override { failures.emplace_back(path, why); }

    TransferClashChoice answer = TransferClashChoice::KeepBoth;
    std::function<bool(const TransferProgress&)> stopWhen;  // true stops the job
    std::vector<std::wstring> clashes;
    std::vector<std::pair<std::wstring, TransferError>> failures;
    TransferProgress last;
};

bool SetModified(const std::wstring& path, std::uint64_t ticks) {
    HANDLE h = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 7, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    FILETIME t{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    const bool ok = ::SetFileTime(h, nullptr, nullptr, &t);
    ::CloseHandle(h);
    return ok;
}

std::uint64_t Modified(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA d{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &d)) return 0;
    return (std::uint64_t(d.ftLastWriteTime.dwHighDateTime) << 32) | d.ftLastWriteTime.dwLowDateTime;
}

// A link made by the host, as a user's ln or a mounted handset makes it: Wine
// shows such links as reparse points and cannot make junctions itself, so an
// absolute link stands in for a junction.
bool HostLink(const std::string& target, const std::wstring& link) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* where = unixName ? unixName(link.c_str()) : nullptr;
    if (!where) return false;
    std::wstring line = L"Z:\\bin\\ln -s \"" + std::wstring(target.begin(), target.end()) + L"\" \"";
    for (const char* c = where; *c; ++c) line += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    line += L"\"";
    ::HeapFree(::GetProcessHeap(), 0, where);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(L"Z:\\bin\\ln", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    // Wine's handle of a host process is signalled before the program has run.
    for (int i = 0; i < 500; ++i, ::Sleep(10))
        if (::GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    return false;
}

std::string UnixPath(const std::wstring& path) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* where = unixName ? unixName(path.c_str()) : nullptr;
    std::string text = where ? where : "";
    if (where) ::HeapFree(::GetProcessHeap(), 0, where);
    return text;
}

struct TransferJobs : HandsetFixture {
    IHandsetTransfer* Transfer() { return handset->Transfer(); }

    TransferOutcome ToDevice(std::vector<std::wstring> pcPaths, const wchar_t* folder, ScriptedSink* sink) {
        std::vector<const wchar_t*> list;
        for (const std::wstring& p : pcPaths) list.push_back(p.c_str());
        list.push_back(nullptr);
        return RunJob(Transfer()->PlanToDevice(list.data(), folder), sink);
    }
    TransferOutcome ToPc(std::vector<const wchar_t*> devicePaths, const std::wstring& folder, ScriptedSink* sink) {
        devicePaths.push_back(nullptr);
        return RunJob(Transfer()->PlanToPC(devicePaths.data(), folder.c_str()), sink);
    }
    TransferOutcome RunJob(ITransferJob* job, ScriptedSink* sink) {
        EXPECT_NE(nullptr, job);
        if (!job) return TransferOutcome::Failed;
        const TransferOutcome outcome = job->Run(sink);
        job->Release();
        return outcome;
    }
};

// The copy meets "a.txt" (same size, an hour older: different) and "b.txt"
// (same size and time: identical), inside a merged folder or as files.
struct ClashCase {
    const char* label;
    TransferClashChoice choice;
    bool asFolder;
    std::vector<std::wstring> names;  // in the target folder afterwards
    std::string a, a2;                // a.txt and "a (2).txt" afterwards ("" absent)
    std::uint64_t skipped;
};

class ClashChoices : public TransferJobs, public ::testing::WithParamInterface<ClashCase> {};

TEST_P(ClashChoices, AreCarriedOut) {
    const ClashCase& c = GetParam();
    OnPc(L"src\\a.txt", "AAAA-new");
    OnPc(L"src\\b.txt", "BBBB");
    OnDevice(L"in\\src\\a.txt", "AAAA-old");
    OnDevice(L"in\\src\\b.txt", "BBBB");
    ASSERT_TRUE(SetModified(pc + L"\\src\\a.txt", kBaseTime + kHour));
    ASSERT_TRUE(SetModified(device + L"\\in\\src\\a.txt", kBaseTime));
    ASSERT_TRUE(SetModified(pc + L"\\src\\b.txt", kBaseTime));
    ASSERT_TRUE(SetModified(device + L"\\in\\src\\b.txt", kBaseTime + 10000000));  // a second apart

    ScriptedSink sink;
    sink.answer = c.choice;
    const TransferOutcome outcome =
        c.asFolder ? ToDevice({pc + L"\\src"}, L"/in", &sink)
                   : ToDevice({pc + L"\\src\\a.txt", pc + L"\\src\\b.txt"}, L"/in/src", &sink);

    EXPECT_EQ(TransferOutcome::Completed, outcome);
    EXPECT_EQ((std::vector<std::wstring>{L"/in/src/a.txt", L"/in/src/b.txt"}), sink.clashes);
    std::vector<std::wstring> names = Names(device + L"\\in\\src");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(c.names, names);
    EXPECT_EQ(c.a, DeviceFile(L"in\\src\\a.txt"));
    EXPECT_EQ(c.a2, DeviceFile(L"in\\src\\a (2).txt"));
    EXPECT_EQ("BBBB", DeviceFile(L"in\\src\\b.txt"));
    EXPECT_EQ(2u, sink.last.filesDone);
    EXPECT_EQ(c.skipped, sink.last.filesSkipped);
    EXPECT_EQ(0u, sink.last.filesFailed);
}

INSTANTIATE_TEST_SUITE_P(
    Choice, ClashChoices,
    ::testing::ValuesIn(std::vector<ClashCase>{
        {"ReplaceFiles", TransferClashChoice::Replace, false, {L"a.txt", L"b.txt"}, "AAAA-new", "", 0},
        {"ReplaceInFolder", TransferClashChoice::Replace, true, {L"a.txt", L"b.txt"}, "AAAA-new", "", 0},
        {"SkipFiles", TransferClashChoice::Skip, false, {L"a.txt", L"b.txt"}, "AAAA-old", "", 2},
        {"SkipInFolder", TransferClashChoice::Skip, true, {L"a.txt", L"b.txt"}, "AAAA-old", "", 2},
        {"KeepBothFiles", TransferClashChoice::KeepBoth, false,
         {L"a (2).txt", L"a.txt", L"b (2).txt", L"b.txt"}, "AAAA-old", "AAAA-new", 0},
        {"KeepBothInFolder", TransferClashChoice::KeepBoth, true,
         {L"a (2).txt", L"a.txt", L"b (2).txt", L"b.txt"}, "AAAA-old", "AAAA-new", 0},
        {"SkipIdenticalFiles", TransferClashChoice::SkipIdentical, false, {L"a (2).txt", L"a.txt", L"b.txt"},
         "AAAA-old", "AAAA-new", 1},
        {"SkipIdenticalInFolder", TransferClashChoice::SkipIdentical, true, {L"a (2).txt", L"a.txt", L"b.txt"},
         "AAAA-old", "AAAA-new", 1},
    }),
    [](const ::testing::TestParamInfo<ClashCase>& param) { return std::string(param.param.label); });

// A name there in another case is the same name on Windows: Replace writes over
// it and Keep both numbers the copy; neither makes a second spelling beside it.
TEST_F(TransferJobs, AClashInAnotherCaseIsTheSameName) {
    OnDevice(L"a.txt", "new");
    for (TransferClashChoice choice : {TransferClashChoice::Replace, TransferClashChoice::KeepBoth}) {
        const std::wstring folder = choice == TransferClashChoice::Replace ? L"replace" : L"keep";
        OnPc(folder + L"\\A.TXT", "old");
        const std::wstring to = pc + L"\\" + folder;
        ScriptedSink sink;
        sink.answer = choice;
        EXPECT_EQ(TransferOutcome::Completed, ToPc({L"/a.txt"}, to, &sink));
        std::vector<std::wstring> names = Names(to);
        std::sort(names.begin(), names.end());
        if (choice == TransferClashChoice::Replace) {
            ASSERT_EQ(1u, names.size());
            EXPECT_EQ("new", testsupport::ReadFileBytes(to + L"\\" + names[0]));
        } else {
            EXPECT_EQ((std::vector<std::wstring>{L"A.TXT", L"a (2).txt"}), names);
        }
    }
}

// Stopping: during one large file, or between many small ones, either way.
struct StopCase {
    const char* label;
    bool toPc;
    bool large;
};

class Stopping : public TransferJobs, public ::testing::WithParamInterface<StopCase> {};

TEST_P(Stopping, LeavesOnlyWholeFilesAndCountsThem) {
    const StopCase& c = GetParam();
    std::wstring source = c.toPc ? device + L"\\set" : pc + L"\\set";
    ASSERT_TRUE(::CreateDirectoryW(source.c_str(), nullptr));
    const int count = c.large ? 1 : 200;
    for (int i = 0; i < count; ++i)
        ASSERT_TRUE(testsupport::WriteFileBytes(source + L"\\f" + std::to_wstring(i) + L".bin",
                                                std::string(c.large ? 6 * kMiB : 100, 'x')));
    ScriptedSink sink;
    sink.stopWhen = [&](const TransferProgress& p) {
        return c.large ? p.bytesDone >= 2 * kMiB : p.filesDone >= 25;
    };
    const TransferOutcome outcome =
        c.toPc ? ToPc({L"/set"}, pc, &sink) : ToDevice({source}, L"/", &sink);

    EXPECT_EQ(TransferOutcome::Cancelled, outcome);
    const std::wstring target = (c.toPc ? pc : device) + L"\\set";
    EXPECT_FALSE(HoldsPartial(c.toPc ? pc : device));
    // Helpers may put some more small files in place before the stop reaches them.
    const std::size_t done = Names(target).size();
    if (c.large) EXPECT_EQ(0u, done);
    else EXPECT_TRUE(done >= 25u && done < 100u) << done;
    EXPECT_EQ(done, sink.last.filesDone) << "the count matches what is on disk";
    EXPECT_EQ(static_cast<std::uint64_t>(count), sink.last.filesTotal);
}

INSTANTIATE_TEST_SUITE_P(Moment, Stopping,
                         ::testing::Values(StopCase{"LargeFileToPc", true, true},
                                           StopCase{"SmallFilesToPc", true, false},
                                           StopCase{"LargeFileToDevice", false, true},
                                           StopCase{"SmallFilesToDevice", false, false}),
                         [](const ::testing::TestParamInfo<StopCase>& param) { return std::string(param.param.label); });

class ReplaceAndRemoval : public TransferJobs, public ::testing::WithParamInterface<bool> {};

TEST_P(ReplaceAndRemoval, KeepsTheOldFile) {
    const bool toPc = GetParam();
    const std::string big(5 * kMiB, 'n');
    if (toPc) {
        OnDevice(L"big.bin", big);
        OnPc(L"big.bin", "old");
    } else {
        OnPc(L"big.bin", big);
        OnDevice(L"big.bin", "old");
    }
    const std::wstring away = device + L"-away";
    ScriptedSink sink;
    sink.answer = TransferClashChoice::Replace;
    sink.stopWhen = [&](const TransferProgress& p) {
        if (p.bytesDone > 0 && testsupport::FileExists(device)) {
            EXPECT_TRUE(::MoveFileW(device.c_str(), away.c_str()));
        }
        return false;
    };
    const TransferOutcome outcome = toPc ? ToPc({L"/big.bin"}, pc, &sink) : ToDevice({pc + L"\\big.bin"}, L"/", &sink);

    EXPECT_EQ(TransferOutcome::DeviceRemoved, outcome);
    EXPECT_EQ(1u, sink.clashes.size());
    ASSERT_TRUE(::MoveFileW(away.c_str(), device.c_str()));
    EXPECT_EQ("old", toPc ? PcFile(L"big.bin") : DeviceFile(L"big.bin"));
    EXPECT_EQ(big, toPc ? DeviceFile(L"big.bin") : PcFile(L"big.bin"));
    EXPECT_FALSE(HoldsPartial(pc));
}

INSTANTIATE_TEST_SUITE_P(Direction, ReplaceAndRemoval, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return std::string(param.param ? "ToPc" : "ToDevice");
                         });

TEST_F(TransferJobs, APcFolderWithLinkLoopsAndAFileHeldOpenIsCopiedOnceAndEnds) {
    OnPc(L"tree\\f.txt", "file");
    OnPc(L"other\\o.txt", "other");
    OnPc(L"tree\\open.txt", "being written");
    ASSERT_TRUE(HostLink(".", pc + L"\\tree\\loop"));
    ASSERT_TRUE(HostLink(UnixPath(pc + L"\\tree"), pc + L"\\tree\\junction"));
    ASSERT_TRUE(HostLink("../other", pc + L"\\tree\\other"));
    // Another program writes the file and lets others read it.
    platform::UniqueFile writer(::CreateFileW((pc + L"\\tree\\open.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                              nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);

    ScriptedSink sink;
    EXPECT_EQ(TransferOutcome::Completed, ToDevice({pc + L"\\tree"}, L"/", &sink));

    std::vector<std::wstring> names = Names(device + L"\\tree");
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::wstring>{L"f.txt", L"open.txt", L"other"}), names);
    EXPECT_EQ("being written", DeviceFile(L"tree\\open.txt"));
    EXPECT_EQ("other", DeviceFile(L"tree\\other\\o.txt")) << "a link is copied as what it points at";
    std::vector<std::pair<std::wstring, TransferError>> leftOut = sink.failures;
    std::sort(leftOut.begin(), leftOut.end());
    ASSERT_EQ(2u, leftOut.size());
    EXPECT_NE(std::wstring::npos, leftOut[0].first.find(L"tree\\junction"));
    EXPECT_NE(std::wstring::npos, leftOut[1].first.find(L"tree\\loop"));
    EXPECT_EQ(TransferError::LinkLeftOut, leftOut[0].second);
    EXPECT_EQ(TransferError::LinkLeftOut, leftOut[1].second);
}

TEST_F(TransferJobs, DeletingADeviceFolderRemovesItsLinkButNotWhatItPointsAt) {
    OnDevice(L"album\\x.jpg", "x");
    OnPc(L"keep\\k.txt", "keep");
    ASSERT_TRUE(HostLink(UnixPath(pc + L"\\keep"), device + L"\\album\\elsewhere"));
    OnDevice(L"album\\z.jpg", "z");

    const bool removed = handset->DeletePath(L"/album");
    EXPECT_EQ("keep", PcFile(L"keep\\k.txt")) << "what the link points at stays";
    EXPECT_FALSE(OnDeviceExists(L"album\\x.jpg"));
    EXPECT_FALSE(OnDeviceExists(L"album\\z.jpg")) << "the delete goes on past the link";
    if (::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) {
        // Wine cannot remove a host's link to a folder without reaching its target; Windows removes the link.
        EXPECT_FALSE(removed);
        EXPECT_EQ(std::vector<std::wstring>{L"elsewhere"}, Names(device + L"\\album"));
    } else {
        EXPECT_TRUE(removed);
        EXPECT_FALSE(OnDeviceExists(L"album"));
    }
}

class FolderDates : public TransferJobs, public ::testing::WithParamInterface<bool> {};

TEST_P(FolderDates, AreKept) {
    const bool toPc = GetParam();
    const std::wstring from = toPc ? device : pc;
    Put(from, L"old\\inner\\f.txt", "f");
    ASSERT_TRUE(SetModified(from + L"\\old\\inner", kBaseTime));
    ASSERT_TRUE(SetModified(from + L"\\old", kBaseTime + kHour));

    ScriptedSink sink;
    EXPECT_EQ(TransferOutcome::Completed, toPc ? ToPc({L"/old"}, pc, &sink) : ToDevice({pc + L"\\old"}, L"/", &sink));
    const std::wstring to = toPc ? pc : device;
    EXPECT_EQ(kBaseTime, Modified(to + L"\\old\\inner"));
    EXPECT_EQ(kBaseTime + kHour, Modified(to + L"\\old"));
}

INSTANTIATE_TEST_SUITE_P(Direction, FolderDates, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return std::string(param.param ? "ToPc" : "ToDevice");
                         });

// Small files reach a PC folder under their own names, in that folder (whose
// name is not plain ASCII), dated; a name taken is left alone; a file never
// kept does not stay.
TEST_F(TransferJobs, SmallFilesWrittenTogetherLandWholeOnlyAtFreeNames) {
    const std::wstring folder = handset::ExtendedPath(pc + L"\\Fotos f\u00FCr Oma");
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(testsupport::WriteFileBytes(folder + L"\\taken.jpg", "old"));
    std::vector<handset::SmallFile> files;
    for (const wchar_t* name : {L"a.jpg", L"\u00FC.jpg", L"taken.jpg", L"empty.txt"}) {
        handset::SmallFile file;
        file.bytes = name == std::wstring(L"empty.txt") ? "" : "new " + std::to_string(files.size());
        file.folder = folder;
        file.finalPath = folder + L"\\" + name;
        file.modified = kBaseTime + files.size() * kHour;
        files.push_back(std::move(file));
    }
    handset::Win32Side::Pc()->WriteMany(&files);

    EXPECT_TRUE(files[0].placed && files[1].placed && files[3].placed);
    EXPECT_FALSE(files[2].placed);
    std::vector<std::wstring> names = Names(folder);
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::wstring>{L"a.jpg", L"empty.txt", L"taken.jpg", L"\u00FC.jpg"}), names);
    EXPECT_EQ("new 0", testsupport::ReadFileBytes(folder + L"\\a.jpg"));
    EXPECT_EQ("new 1", testsupport::ReadFileBytes(folder + L"\\\u00FC.jpg"));
    EXPECT_EQ("old", testsupport::ReadFileBytes(folder + L"\\taken.jpg"));
    EXPECT_EQ(kBaseTime, Modified(folder + L"\\a.jpg"));
    EXPECT_EQ(kBaseTime + 3 * kHour, Modified(folder + L"\\empty.txt"));

    handset::NewFiles newFiles;
    platform::UniqueFile cut = newFiles.Create(folder, folder + L"\\cut.jpg");
    ASSERT_TRUE(cut);
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(cut.get(), "part", 4, &written, nullptr));
    cut.reset();
    EXPECT_FALSE(testsupport::FileExists(folder + L"\\cut.jpg")) << "a file cut short goes";
}

}  // namespace

