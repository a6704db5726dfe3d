// Device path rules, PC spellings, sizes in KiB and where the device folder is configured.
#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

#include "outside/handset/FileCopy.h"
#include "outside/handset/DevicePaths.h"
#include "outside/handset/HandsetConfig.h"
#include "tests/support/TestPaths.h"

using namespace handset;

namespace {

std::vector<std::wstring> Split(const std::wstring& p) {
    std::vector<std::wstring> names;
    EXPECT_TRUE(SplitDevicePath(p, &names)) << "refused: " << std::string(p.begin(), p.end());
    return names;
}

TEST(DevicePaths, RepeatedSlashesAndDotsAreTolerated) {
    EXPECT_EQ((std::vector<std::wstring>{L"var", L"mobile", L"Media", L"a.jpg"}), Split(L"/var/mobile/Media//a.jpg"));
    EXPECT_EQ((std::vector<std::wstring>{L"var", L"x"}), Split(L"//var/./x/"));
    EXPECT_TRUE(Split(L"/").empty());
}

TEST(DevicePaths, PathsThatWouldLeaveTheRootAreRefused) {
    std::vector<std::wstring> names;
    EXPECT_FALSE(SplitDevicePath(L"/var/../../etc", &names));
    EXPECT_FALSE(SplitDevicePath(L"..", &names));
    EXPECT_FALSE(SplitDevicePath(L"/var/a\\..\\b", &names));
    EXPECT_FALSE(SplitDevicePath(L"C:\\Windows", &names));
    EXPECT_FALSE(SplitDevicePath(std::wstring(L"/a\0b", 4), &names));
}

TEST(DevicePaths, PlainNamesAreThoseWindowsHoldsAsTyped) {
    EXPECT_TRUE(IsPlainName(L"IMG_0001.JPG"));
    EXPECT_TRUE(IsPlainName(L".profile"));
    for (const wchar_t* bad :
         {L"", L"a:b", L"C:", L"q?", L"*", L"a|b", L"x.", L"x ", L"CON", L"nul.txt", L"com1", L"LPT9.log"})
        EXPECT_FALSE(IsPlainName(bad)) << std::string(bad, bad + wcslen(bad));
    EXPECT_TRUE(IsPlainName(L"COM10"));
    EXPECT_FALSE(IsPlainName(std::wstring(256, L'a')));
}

TEST(DevicePaths, NamesWindowsCannotHoldGetASafeSpellingAndLoseNothing) {
    EXPECT_EQ(
        L"a\xFF1A"
        L"b.txt",
        PcSafeName(L"a:b.txt"));
    EXPECT_EQ(L"why\xFF1F\xFF0A\xFF02\xFF1C\xFF1E\xFF5C", PcSafeName(L"why?*\"<>|"));
    EXPECT_EQ(L"notes\xFF0E\xFF0E", PcSafeName(L"notes.."));
    EXPECT_EQ(L"song_", PcSafeName(L"song "));
    EXPECT_EQ(L"CON_.txt", PcSafeName(L"CON.txt"));
    EXPECT_EQ(L"aux_", PcSafeName(L"aux"));
    EXPECT_EQ(L"tab_x", PcSafeName(L"tab\tx"));
    EXPECT_EQ(L"IMG_0001.JPG", PcSafeName(L"IMG_0001.JPG"));
    // Different device names never collapse into one PC name through the mapping.
    EXPECT_NE(PcSafeName(L"a:b"), PcSafeName(L"a?b"));
    for (const wchar_t* n : {L"a:b", L"x.", L"CON", L"?"}) EXPECT_TRUE(IsPlainName(PcSafeName(n)));
}

TEST(DevicePaths, NumberedNamesKeepTheExtension) {
    EXPECT_EQ(L"a (2).jpg", NumberedName(L"a.jpg", 2, false));
    EXPECT_EQ(L"archive.tar (3).gz", NumberedName(L"archive.tar.gz", 3, false));
    EXPECT_EQ(L".profile (2)", NumberedName(L".profile", 2, false));
    EXPECT_EQ(L"my.folder (2)", NumberedName(L"my.folder", 2, true));
}

TEST(DevicePaths, ExtendedPathsAreFullAndWithoutTrailingSlash) {
    EXPECT_EQ(L"\\\\?\\C:\\x\\y", ExtendedPath(L"C:\\x\\.\\z\\..\\y\\"));
    EXPECT_EQ(L"\\\\?\\C:\\", ExtendedPath(L"C:\\"));
    EXPECT_EQ(L"\\\\?\\UNC\\server\\share\\f", ExtendedPath(L"\\\\server\\share\\f"));
    EXPECT_EQ(L"\\??\\C:\\x", NativePath(L"\\\\?\\C:\\x"));
    EXPECT_EQ(L"C", LastName(L"\\\\?\\C:\\"));
    EXPECT_EQ(L"photos", LastName(L"C:\\data\\photos\\"));
}

// Sizes of 4 GiB and more must neither wrap nor lose their high part.
TEST(DevicePaths, KiBOfLargeSizes) {
    const std::uint64_t fiveGiB = 5ull << 30;
    EXPECT_EQ(5 * 1024 * 1024, KiBRoundedUp(fiveGiB));
    EXPECT_EQ(4 * 1024 * 1024 + 1, KiBRoundedUp((4ull << 30) + 1));
    EXPECT_EQ(0, KiBRoundedDown(1023));
    EXPECT_EQ(1, KiBRoundedUp(1));
    EXPECT_EQ(INT_MAX, KiBRoundedUp(~0ull));
}

std::vector<std::pair<int, int>> g_reports;  // ProgressCallback is a plain function
int RecordProgress(int total, int done) {
    g_reports.emplace_back(total, done);
    return 1;
}

TEST(ProgressMeterTest, ReportsKiBOfAFiveGiBJobAndEndsAtTheTotal) {
    g_reports.clear();
    const std::uint64_t total = 5ull << 30;
    ProgressMeter meter(&RecordProgress, total);
    meter.Advance(3ull << 30);
    ::Sleep(60);
    meter.Advance(1ull << 30);
    meter.Finish();
    ASSERT_GE(g_reports.size(), 2u);
    EXPECT_EQ(std::make_pair(5 << 20, 0), g_reports.front());
    EXPECT_EQ(std::make_pair(5 << 20, 5 << 20), g_reports.back());
    for (size_t i = 1; i < g_reports.size(); ++i) EXPECT_LE(g_reports[i - 1].second, g_reports[i].second);
    EXPECT_EQ(meter.DoneBytes(), total);
}

TEST(ProgressMeterTest, AnEmptyJobReportsZeroOfZero) {
    g_reports.clear();
    ProgressMeter meter(&RecordProgress, 0);
    meter.Finish();
    ASSERT_FALSE(g_reports.empty());
    EXPECT_EQ(std::make_pair(0, 0), g_reports.back());
}

TEST(HandsetConfigTest, EnvironmentWinsOverTheIniFile) {
    testsupport::ScratchFolder scratch(L"cfg");
    const std::wstring ini = scratch.path() + L"Handset.ini";
    ASSERT_TRUE(testsupport::WriteFileBytes(ini, "[Device]\r\nRoot=Phone\r\n"));
    EXPECT_EQ(L"D:\\env", ConfiguredRoot(L"D:\\env", ini, scratch.path()));
    EXPECT_EQ(scratch.path() + L"Phone", ConfiguredRoot(L"", ini, scratch.path()));
    ASSERT_TRUE(testsupport::WriteFileBytes(ini, "[Device]\r\nRoot=\"\\\\nas\\phone\"\r\n"));
    EXPECT_EQ(L"\\\\nas\\phone", ConfiguredRoot(L"", ini, scratch.path()));
    ::SetEnvironmentVariableW(L"PELICAN_TEST_DIR", L"E:\\x");
    ASSERT_TRUE(testsupport::WriteFileBytes(ini, "[Device]\r\nRoot=%PELICAN_TEST_DIR%\\dev\r\n"));
    EXPECT_EQ(L"E:\\x\\dev", ConfiguredRoot(L"", ini, scratch.path()));
    EXPECT_EQ(L"", ConfiguredRoot(L"", scratch.path() + L"missing.ini", scratch.path()));
}

}  // namespace
