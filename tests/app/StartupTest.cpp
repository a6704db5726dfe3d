// The real Pelican.exe under Wine: what a user sees when a library is
// missing, and the single-instance guard.
#include <gtest/gtest.h>

#include <windows.h>
// Needs the types of <windows.h>.
#include <commctrl.h>

#include "tests/support/ProcessDriver.h"

namespace {

using testsupport::ProgramCopy;
using testsupport::RunningProgram;

constexpr DWORD kStartMs = 20000;

TEST(Startup, WithoutTheDeviceModuleTheProgramEndsWithoutAWindowAndLogsTheExecutive) {
    ProgramCopy copy({L"Shuttle.dll"});
    copy.UseOwnLog(0);
    RunningProgram app(copy.dir() + L"Pelican.exe");
    ASSERT_TRUE(app.started());
    DWORD code = 0;
    ASSERT_TRUE(app.WaitExit(kStartMs, &code));
    std::string log = copy.ReadLog();
    EXPECT_NE(std::string::npos, log.find("Pelican.exe \nStart at ")) << log;
    EXPECT_NE(std::string::npos, log.find("Load command executive module! bRet=1\n")) << log;
    ::DeleteFileW(copy.LogPath().c_str());
}

TEST(Startup, WithoutTheConfigurationLibraryStartUpEndsAtTheExecutive) {
    ProgramCopy copy({L"Config.dll"});
    copy.UseOwnLog(0);
    RunningProgram app(copy.dir() + L"Pelican.exe");
    ASSERT_TRUE(app.started());
    DWORD code = 99;
    ASSERT_TRUE(app.WaitExit(kStartMs, &code)) << "the process must end, not hang";
    EXPECT_NE(7u, code) << "it never reached the message loop";
    EXPECT_NE(std::string::npos, copy.ReadLog().find("bRet=1"));
    ::DeleteFileW(copy.LogPath().c_str());
}

TEST(Startup, WithoutTheVersionLibraryTheUserIsToldWhichFileIsMissing) {
    ProgramCopy copy({L"Almanac.dll"});
    RunningProgram app(copy.dir() + L"Pelican.exe");
    ASSERT_TRUE(app.started());
    HWND box = app.WaitWindow(L"Pelican", kStartMs);
    ASSERT_NE(nullptr, box) << "a message box names the missing library";
    std::wstring text = testsupport::ChildTexts(box);
    EXPECT_NE(std::wstring::npos, text.find(copy.dir() + L"Almanac.dll")) << std::string(text.begin(), text.end());
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    DWORD code = 99;
    ASSERT_TRUE(app.WaitExit(kStartMs, &code));
    EXPECT_NE(7u, code);
}

TEST(Startup, ASecondInstanceRestoresTheFirstWindowAndEnds) {
    ProgramCopy copy;
    RunningProgram first(copy.dir() + L"Pelican.exe");
    ASSERT_TRUE(first.started());
    HWND main = first.WaitWindow(L"EmberPelican", kStartMs);
    ASSERT_NE(nullptr, main);
    ::ShowWindowAsync(main, SW_MINIMIZE);
    for (int i = 0; i < 100 && !::IsIconic(main); ++i) ::Sleep(50);
    ASSERT_TRUE(::IsIconic(main));

    RunningProgram second(copy.dir() + L"Pelican.exe");
    DWORD code = 99;
    ASSERT_TRUE(second.WaitExit(kStartMs, &code));
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(second.Windows().empty());
    for (int i = 0; i < 100 && ::IsIconic(main); ++i) ::Sleep(50);
    EXPECT_FALSE(::IsIconic(main)) << "the first window was restored";

    // Closing the window ends the program through "Power_Off" with exit code 7.
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(first.WaitExit(kStartMs, &code));
    EXPECT_EQ(7u, code);
}

std::wstring StoredSkin(const std::wstring& programFolder) {
    wchar_t value[520] = {};
    ::GetPrivateProfileStringW(L"Settings", L"CurrentSkinPath", L"", value, 520,
                               (programFolder + L"config\\Settings.ini").c_str());
    return value;
}

// Runs the program from `folder` until its main window shows its views, then closes it.
void RunOnce(const std::wstring& folder) {
    RunningProgram app(folder + L"Pelican.exe");
    ASSERT_TRUE(app.started());
    HWND main = app.WaitWindow(L"EmberPelican", kStartMs);
    ASSERT_NE(nullptr, main);
    HWND tree = nullptr;
    for (int i = 0; i < 100 && !(tree = ::FindWindowExW(main, nullptr, WC_TREEVIEWW, nullptr)); ++i) ::Sleep(50);
    EXPECT_NE(nullptr, tree) << "the window is drawn from a skin";
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    DWORD code = 0;
    ASSERT_TRUE(app.WaitExit(kStartMs, &code));
    EXPECT_EQ(7u, code);
}

TEST(Startup, AMovedProgramFolderDrawsFromItsOwnSkinOrSaysWhereItLooked) {
    ProgramCopy copy({L"config"});
    RunOnce(copy.dir());
    ASSERT_EQ(copy.dir() + L"skins\\default\\", StoredSkin(copy.dir()));

    // The folder moves, to a name outside any code page: the stored skin path
    // now names nothing, and the new one must be stored unchanged.
    testsupport::ScratchFolder place(L"moved");
    ASSERT_TRUE(::CreateDirectoryW((place.path() + L"\u041f\u0440\u0438\u043c\u0435\u0440 \u4f8b").c_str(), nullptr));
    const std::wstring moved = place.path() + L"\u041f\u0440\u0438\u043c\u0435\u0440 \u4f8b\\Pelican\\";
    ASSERT_TRUE(
        ::MoveFileW(copy.dir().substr(0, copy.dir().size() - 1).c_str(), moved.substr(0, moved.size() - 1).c_str()));
    RunOnce(moved);
    EXPECT_EQ(moved + L"skins\\default\\", StoredSkin(moved));
    RunOnce(moved);

    // Without the shipped skin either, the user is told where it was looked for, and the program ends.
    ASSERT_TRUE(::DeleteFileW((moved + L"skins\\default\\skin.ini").c_str()));
    {
        RunningProgram app(moved + L"Pelican.exe");
        HWND box = app.WaitWindow(L"Pelican", kStartMs);
        ASSERT_NE(nullptr, box);
        std::wstring text = testsupport::ChildTexts(box);
        EXPECT_NE(std::wstring::npos, text.find(moved + L"skins\\default\\")) << std::string(text.begin(), text.end());
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        DWORD code = 7;
        ASSERT_TRUE(app.WaitExit(kStartMs, &code));
        EXPECT_NE(7u, code);
        EXPECT_EQ(nullptr, app.FindWindow(L"EmberPelican"));
    }
    // Back in place, so that the copy's scratch folder goes with it.
    ASSERT_TRUE(
        ::MoveFileW(moved.substr(0, moved.size() - 1).c_str(), copy.dir().substr(0, copy.dir().size() - 1).c_str()));
}

}  // namespace
