// The application log: settings, levels, time stamps, hex dumps, the size cap
// and concurrent writers.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/Applog.h"
#include "app/ProgramPaths.h"
#include "platform/SystemServices.h"
#include "tests/support/TestPaths.h"

namespace {

using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

// Each test writes the settings beside the test program and its own log file.
class ApplogTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings_ = ModuleFileName(nullptr) + L".cfg";
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        logName_ = std::string("applog-") + info->name() + "-" + std::to_string(::GetCurrentProcessId()) + ".log";
    }
    void TearDown() override {
        std::wstring path = log_.LogFilePath();
        log_.Reset();
        if (!path.empty()) ::DeleteFileW(path.c_str());
        ::DeleteFileW(settings_.c_str());
    }
    HRESULT OpenWith(const std::string& extra, int mask = 1) {
        std::string text = "[LogSetting]\r\nMask=" + std::to_string(mask) + "\r\nFile=" + logName_ + "\r\n" + extra;
        EXPECT_TRUE(WriteFileBytes(settings_, text));
        return log_.Open(::GetModuleHandleW(nullptr));
    }
    std::string Contents() { return ReadFileBytes(log_.LogFilePath()); }

    CApplog log_;
    std::wstring settings_;
    std::string logName_;
};

TEST_F(ApplogTest, WithoutSettingsFileOpenFailsAndNothingIsWritten) {
    ::DeleteFileW(settings_.c_str());
    EXPECT_EQ(E_FAIL, log_.Open(::GetModuleHandleW(nullptr)));
    EXPECT_EQ(0u, log_.SinkCount());
}

TEST_F(ApplogTest, MaskZeroOpensWithoutSinks) {
    EXPECT_EQ(1, OpenWith("Level=4\r\n", 0));
    EXPECT_EQ(0u, log_.SinkCount());
    log_.Write(0, L"goes nowhere\n");
}

TEST_F(ApplogTest, LevelFilteringAndPlainLines) {
    ASSERT_EQ(S_OK, OpenWith("Level=2\r\nEnableTimeStamp=0\r\n"));
    log_.Write(0, L"zero\n");
    log_.Write(2, L"two\n");
    log_.Write(4, L"four\n");
    EXPECT_EQ("zero\ntwo\n", Contents());
    unsigned level = 99;
    EXPECT_EQ(S_OK, log_.GetLevel(&level));
    EXPECT_EQ(2u, level);
    EXPECT_EQ(E_INVALIDARG, log_.GetLevel(nullptr));
}

// A clock that reads what the test sets.
class FixedTicks : public platform::RealSystemServices {
public:
    DWORD TickCount() override { return ticks; }
    DWORD ticks = 0;
};

TEST_F(ApplogTest, TimeStampsPrefixEveryLineByDefault) {
    ASSERT_EQ(S_OK, OpenWith("Level=0\r\n"));
    // "%8d : %s": a signed decimal, right-aligned in eight places and wider when
    // it needs to be, whatever the time since start (up days, weeks, wrapped).
    FixedTicks clock;
    platform::ScopedSystemServices seam{clock};
    const std::pair<DWORD, const char*> cases[] = {
        {5, "       5 : hello\n"},
        {99999999, "99999999 : hello\n"},
        {100000000, "100000000 : hello\n"},  // a machine up for 28 hours
        {3000000000u, "-1294967296 : hello\n"},
    };
    std::string expected;
    for (const auto& [ticks, line] : cases) {
        clock.ticks = ticks;
        log_.Write(0, L"hello\n");
        expected += line;
    }
    EXPECT_EQ(expected, Contents());
}

TEST_F(ApplogTest, WriteHexLaysOutSixteenValuesPerLineInTwoGroups) {
    ASSERT_EQ(S_OK, OpenWith("Level=1\r\nEnableTimeStamp=0\r\n"));
    BYTE bytes[20];
    for (int i = 0; i < 20; ++i) bytes[i] = static_cast<BYTE>(i);
    EXPECT_EQ(S_OK, log_.WriteHex(1, bytes, 20));
    EXPECT_EQ(" 00 01 02 03 04 05 06 07  08 09 0A 0B 0C 0D 0E 0F \n 10 11 12 13 \n", Contents());
    EXPECT_EQ(E_NOTIMPL, log_.WriteHex(2, bytes, 20));
    EXPECT_EQ(E_INVALIDARG, log_.WriteHex(1, bytes, 0));
    EXPECT_EQ(E_INVALIDARG, log_.WriteHex(1, nullptr, 4));
}

TEST_F(ApplogTest, FileIsEmptiedOnlyAfterAThousandLinesAndNeverBelow1024Bytes) {
    // MaxLogSize 0 still gives a 1024-byte cap.
    ASSERT_EQ(S_OK, OpenWith("Level=0\r\nEnableTimeStamp=0\r\nMaxLogSize=0\r\n"));
    for (int i = 0; i < 1000; ++i) log_.Write(0, L"123456789\n");
    EXPECT_EQ(10000u, Contents().size()) << "no size check before the 1000th line";
    log_.Write(0, L"after\n");
    EXPECT_EQ("after\n", Contents());
}

TEST_F(ApplogTest, NonAsciiIsConvertedAndUnmappableBecomesASpace) {
    ASSERT_EQ(S_OK, OpenWith("Level=0\r\nEnableTimeStamp=0\r\n"));
    log_.Write(0, L"a\x4E2D" L"b\n");
    EXPECT_EQ("a b\n", Contents());
}

TEST_F(ApplogTest, ConcurrentWritersLoseNoLineAndInterleaveNoCharacters) {
    ASSERT_EQ(S_OK, OpenWith("Level=0\r\nEnableTimeStamp=0\r\nMaxLogSize=100000\r\n"));
    constexpr int kThreads = 8, kLines = 400;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            for (int n = 0; n < kLines; ++n) {
                std::wstring line = L"T" + std::to_wstring(t) + L"-" + std::to_wstring(n) + L"-abcdefghijklmnop\n";
                log_.Write(0, line.c_str());
            }
        });
    }
    for (auto& th : threads) th.join();
    std::istringstream in(Contents());
    std::set<std::string> seen;
    std::string line;
    while (std::getline(in, line)) {
        ASSERT_EQ(0u, line.rfind("T", 0)) << line;
        ASSERT_EQ("-abcdefghijklmnop", line.substr(line.size() - 17)) << line;
        seen.insert(line);
    }
    EXPECT_EQ(static_cast<size_t>(kThreads * kLines), seen.size());
}

TEST(LogFunction, RespectsTheLevelAndFormatsWideStrings) {
    std::wstring settings = ModuleFileName(nullptr) + L".cfg";
    std::string name = "logfn-" + std::to_string(::GetCurrentProcessId()) + ".log";
    ASSERT_TRUE(WriteFileBytes(settings, "[LogSetting]\r\nMask=1\r\nLevel=2\r\nEnableTimeStamp=0\r\nFile=" + name));
    ASSERT_TRUE(StartAppLog(::GetModuleHandleW(nullptr)));
    auto* log = static_cast<CApplog*>(AppLog());
    std::wstring path = log->LogFilePath();
    EXPECT_EQ(1, PelicanLog(2, L"Don't find control %s!\n", L"Nothing"));
    EXPECT_EQ(0, PelicanLog(4, L"tracing %d\n", 4));
    std::string text = ReadFileBytes(path);
    EXPECT_NE(std::string::npos, text.find("Start at ")) << text;
    EXPECT_NE(std::string::npos, text.find("Version = ")) << text;
    EXPECT_NE(std::string::npos, text.find("Don't find control Nothing!\n")) << text;
    EXPECT_EQ(std::string::npos, text.find("tracing"));
    EndAppLog();
    EXPECT_EQ(nullptr, AppLog());
    EXPECT_EQ(0, PelicanLog(0, L"no log\n"));
    EXPECT_NE(std::string::npos, ReadFileBytes(path).find("End at ")) << "the end banner is written";
    ::DeleteFileW(path.c_str());
    ::DeleteFileW(settings.c_str());
}

TEST(CreateMissingDirectories, CreatesEveryLevelAndIgnoresTheFileName) {
    testsupport::ScratchFolder scratch;
    std::wstring file = scratch.path() + L"a\\b\\c\\log.txt";
    EXPECT_TRUE(CreateMissingDirectories(file));
    EXPECT_TRUE(testsupport::FileExists(scratch.path() + L"a\\b\\c"));
    EXPECT_FALSE(testsupport::FileExists(file)) << "only folders are made";
    EXPECT_TRUE(CreateMissingDirectories(scratch.path() + L"x\\y"));
    EXPECT_TRUE(testsupport::FileExists(scratch.path() + L"x\\y"));
}

}  // namespace
