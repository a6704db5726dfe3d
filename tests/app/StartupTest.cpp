// The real Pelican.exe under Wine: what a user sees when a library is
// missing, and the single-instance guard.
#include <gtest/gtest.h>

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

}  // namespace
