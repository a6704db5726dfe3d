// The update check's command line, the real Caretaker stand-in, the write probe
// and the system version test.
#include <windows.h>
// The platform headers below need the types of <windows.h>.
#include <shlwapi.h>

#include <sstream>

#include "app/ProgramPaths.h"
#include "executive/UpdateCheck.h"
#include "tests/executive/ExecutiveFixture.h"
#include "tests/support/TestPaths.h"

namespace exectest {
namespace {

using CheckUpdate = ExecutiveFixture;

std::wstring ExpectedLine(const std::wstring& address, const wchar_t* flag) {
    const std::wstring dir = ModuleDirectory(nullptr);
    return dir + L"Caretaker.exe \"" + address + L"\" " + flag + L" " + std::to_wstring(::GetCurrentProcessId()) +
           L" \"" + dir + L"executive_tests.exe\" ";
}

TEST_F(CheckUpdate, PassesWhetherARecordCameAsTheThirdWord) {
    config->strings[L"CheckupdateWeb"] = L"http://update.example/pelican check?v=1 0";
    ASSERT_EQ(S_OK, Invoke(L"CheckUpdate"));
    CommandArgs record;
    ASSERT_EQ(S_OK, Invoke(L"CheckUpdate", &record));
    ASSERT_EQ(2u, system.started.size());
    EXPECT_EQ(ExpectedLine(L"http://update.example/pelican check?v=1 0", L"0"), system.started[0].second);
    EXPECT_EQ(ExpectedLine(L"http://update.example/pelican check?v=1 0", L"1"), system.started[1].second);
    // The updater is named exactly, so blanks in the program folder cannot start something else.
    EXPECT_EQ(ModuleDirectory(nullptr) + L"Caretaker.exe", system.started[0].first);
    EXPECT_TRUE(trace.Has(L"OnCheckUpdate.\n"));
    EXPECT_TRUE(trace.Has(system.started[0].second));
}

TEST_F(CheckUpdate, AnAddressThatCannotBeQuotedStartsNothing) {
    EXPECT_EQ(E_FAIL, Invoke(L"CheckUpdate"));
    EXPECT_TRUE(trace.Has(L"CheckupdateWeb is empty.\n"));
    for (const wchar_t* bad : {L"http://x/\" 0 1 \"C:\\evil.exe", L"http://x/path\\"}) {
        config->strings[L"CheckupdateWeb"] = bad;
        EXPECT_EQ(E_FAIL, Invoke(L"CheckUpdate")) << bad;
    }
    EXPECT_TRUE(system.started.empty());
}

TEST_F(CheckUpdate, TheButtonAsksForAnAnswerAndSaysWhenNoAddressIsSet) {
    CommandArgs record;
    EXPECT_EQ(E_FAIL, Invoke(L"CheckUpdateNow", &record));
    ASSERT_EQ(1u, system.messages.size());
    EXPECT_EQ(L"No update address is set.", system.messages[0].text);
    EXPECT_TRUE(system.started.empty());
    config->strings[L"CheckupdateWeb"] = L"https://update.example/pelican.txt";
    ASSERT_EQ(S_OK, Invoke(L"CheckUpdateNow", &record));
    ASSERT_EQ(1u, system.started.size());
    EXPECT_EQ(ExpectedLine(L"https://update.example/pelican.txt", L"1") + L"interactive", system.started[0].second);
}

TEST_F(CheckUpdate, AFailedStartIsOnlyTraced) {
    config->strings[L"CheckupdateWeb"] = L"http://update.example/";
    system.startResult = false;
    EXPECT_EQ(S_OK, Invoke(L"CheckUpdate"));
    EXPECT_TRUE(trace.Has(L"CreateProcess CheckUpdate Failed.\n"));
    EXPECT_TRUE(system.messages.empty());
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

TEST(Caretaker, ReceivesTheAddressWithBlanksAsOneArgument) {
    testsupport::ScratchFolder scratch(L"care");
    const std::wstring record = scratch.path() + L"args.txt";
    ASSERT_TRUE(::SetEnvironmentVariableW(L"PELICAN_CARETAKER_RECORD", record.c_str()));
    const std::wstring dir = testsupport::ProgramDirectory();
    const std::wstring line =
        BuildUpdaterCommandLine(dir, L"http://update.example/check now?v=1 2", true, 1234, L"Pelican");
    platform::RealSystemServices real;
    ASSERT_TRUE(real.StartProcess(dir + L"Caretaker.exe", line));
    ASSERT_TRUE(PumpUntil([&] { return !testsupport::ReadFileBytes(record).empty(); }, 15000));
    ::SetEnvironmentVariableW(L"PELICAN_CARETAKER_RECORD", nullptr);
    const std::vector<std::string> args = Lines(testsupport::ReadFileBytes(record));
    ASSERT_EQ(5u, args.size());
    EXPECT_EQ("http://update.example/check now?v=1 2", args[1]);
    EXPECT_EQ("1", args[2]);
    EXPECT_EQ("1234", args[3]);
    EXPECT_NE(std::string::npos, args[4].find("Pelican.exe"));
    EXPECT_EQ(args[0].substr(0, args[0].size() - 13), args[4].substr(0, args[4].size() - 11)) << "one folder";
}

class Probe : public ::testing::Test {
protected:
    FakeSystem system;
    TraceRecorder trace;
    platform::ScopedSystemServices systemScope{system};
    ScopedDebugTraceSink traceScope{trace};
    testsupport::ScratchFolder folder{L"probe"};

    std::wstring Folder() { return folder.path().substr(0, folder.path().size() - 1); }
    std::vector<std::wstring> Entries(const std::wstring& dir) {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW fd;
        HANDLE find = ::FindFirstFileW((dir + L"\\*").c_str(), &fd);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            if (std::wstring(fd.cFileName) != L"." && std::wstring(fd.cFileName) != L"..")
                names.push_back(fd.cFileName);
        } while (::FindNextFileW(find, &fd));
        ::FindClose(find);
        return names;
    }
};

TEST_F(Probe, AWritableFolderPassesAndKeepsNothing) {
    EXPECT_TRUE(WriteProbe(Folder()));
    EXPECT_TRUE(Entries(Folder()).empty());
    EXPECT_TRUE(trace.Has(Folder() + L"\\Qtx4242.txt"));
    EXPECT_TRUE(WriteProbe(folder.path())) << "a trailing backslash is fine too";
}

TEST_F(Probe, TheUsersOwnFilesUnderTheProbeNamesAreLeftAlone) {
    ASSERT_TRUE(testsupport::WriteFileBytes(folder.path() + L"Qtx4242.txt", "my notes"));
    ASSERT_TRUE(::CreateDirectoryW((folder.path() + L"Qtx4242").c_str(), nullptr));
    ASSERT_TRUE(testsupport::WriteFileBytes(folder.path() + L"Qtx4242\\keep.txt", "keep"));
    EXPECT_TRUE(WriteProbe(Folder()));
    EXPECT_EQ("my notes", testsupport::ReadFileBytes(folder.path() + L"Qtx4242.txt"));
    EXPECT_EQ("keep", testsupport::ReadFileBytes(folder.path() + L"Qtx4242\\keep.txt"));
    EXPECT_EQ(2u, Entries(Folder()).size());
    EXPECT_TRUE(trace.Has(Folder() + L"\\Qtx4243.txt")) << "the next free name was used";
}

TEST_F(Probe, AFileIsNotAFolder) {
    ASSERT_TRUE(testsupport::WriteFileBytes(folder.path() + L"plain.txt", "x"));
    EXPECT_FALSE(WriteProbe(folder.path() + L"plain.txt"));
    EXPECT_TRUE(trace.Has(L"Path Is Not Directory.\n"));
    EXPECT_FALSE(WriteProbe(L""));
    EXPECT_EQ("x", testsupport::ReadFileBytes(folder.path() + L"plain.txt"));
}

TEST_F(Probe, AReadOnlyFolderFailsAndKeepsNothing) {
    // Wine has no access control lists, and the tests run as root, so a folder
    // of the kernel's (sysfs, where nobody may create entries) stands in for a
    // folder the user may not write to.
    const std::wstring locked = L"Z:\\sys";
    ASSERT_TRUE(::PathIsDirectoryW(locked.c_str()));
    const std::vector<std::wstring> before = Entries(locked);
    EXPECT_FALSE(WriteProbe(locked));
    EXPECT_EQ(before, Entries(locked));
    bool traced = false;
    for (const std::wstring& line : trace.lines) traced = traced || line.rfind(L"Path is unwritable.Error:", 0) == 0;
    EXPECT_TRUE(traced);
}

}  // namespace
}  // namespace exectest
