// The stand-ins for the outside configuration and version libraries, through
// the contracts the program relies on.
#include <gtest/gtest.h>

#include "app/Almanac.h"
#include "app/IConfigSettings.h"
#include "framework/CEmberSoftBus.h"
#include "framework/EmberGuids.h"
#include "framework/ModuleLibrary.h"
#include "outside/config/ConfigModule.h"
#include "tests/support/TestPaths.h"

namespace {

TEST(ConfigModule, DefaultsPersistenceAndBoundedStrings) {
    testsupport::ScratchFolder scratch;
    std::wstring store = scratch.path() + L"config\\Settings.ini";
    {
        CConfigModule config(store);
        EXPECT_EQ(0, config.GetIntValue(L"CurrentSpecifyFolder", 0, 1));
        EXPECT_EQ(5, config.GetIntValue(L"NeverSet", 5, 1));
        wchar_t name[1024];
        EXPECT_NE(0, config.GetStringValue(L"VersionName", name, 1024, 0));
        EXPECT_STREQ(L"EmberPelican", name);
        EXPECT_EQ(0, config.GetStringValue(L"CheckupdateWeb", name, 1024, 0));
        EXPECT_STREQ(L"", name);

        config.SetIntValue(L"CurrentSpecifyFolder", 1, 0);
        config.SetStringValue(L"CurrentSkinPath", L"C:\\skins\\blue\\", 0);
        config.SetStringValue(L"VersionName", L"line one\r\nline two", 0);
        // A key that would corrupt the file is refused.
        config.SetStringValue(L"bad=key", L"x", 0);
    }
    CConfigModule again(store);
    EXPECT_EQ(1, again.GetIntValue(L"CurrentSpecifyFolder", 0, 1));
    wchar_t path[260];
    EXPECT_NE(0, again.GetStringValue(L"CurrentSkinPath", path, 260, 0));
    EXPECT_STREQ(L"C:\\skins\\blue\\", path);
    wchar_t tiny[4] = L"abc";
    EXPECT_EQ(0, again.GetStringValue(L"CurrentSkinPath", tiny, 4, 0)) << "never handed out cut short";
    EXPECT_STREQ(L"", tiny);
    wchar_t version[64];
    again.GetStringValue(L"VersionName", version, 64, 0);
    EXPECT_STREQ(L"line one  line two", version);
    EXPECT_EQ(0, again.GetStringValue(L"bad=key", version, 64, 0));
}

TEST(ConfigModule, KeepsEveryCharacterAndReadsWhatOlderVersionsWroteInTheCodePage) {
    testsupport::ScratchFolder scratch;
    ::CreateDirectoryW((scratch.path() + L"config").c_str(), nullptr);
    const std::wstring store = scratch.path() + L"config\\Settings.ini";
    const std::wstring old = L"[Settings]\r\nCurrentSkinPath=C:\\Caf\u00e9\\skins\\\r\nCurrentSpecifyFolder=1\r\n";
    char narrow[256] = {};
    int length = ::WideCharToMultiByte(CP_ACP, 0, old.c_str(), -1, narrow, sizeof(narrow), nullptr, nullptr);
    ASSERT_GT(length, 1);
    ASSERT_TRUE(testsupport::WriteFileBytes(store, std::string(narrow, length - 1)));

    const std::wstring russian = L"C:\\Users\\\u041f\u0440\u0438\u043c\u0435\u0440\\Pelican\\skins\\default\\";
    {
        CConfigModule config(store);
        config.SetStringValue(L"SkinPath", russian.c_str(), 0);
    }
    const std::string bytes = testsupport::ReadFileBytes(store);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ("\xFF\xFE", bytes.substr(0, 2)) << "UTF-16 with its byte-order mark";
    CConfigModule again(store);
    wchar_t value[260];
    ASSERT_NE(0, again.GetStringValue(L"SkinPath", value, 260, 0));
    EXPECT_EQ(russian, value);
    ASSERT_NE(0, again.GetStringValue(L"CurrentSkinPath", value, 260, 0));
    EXPECT_STREQ(L"C:\\Caf\u00e9\\skins\\", value) << "the older file's values survive the change";
    EXPECT_EQ(1, again.GetIntValue(L"CurrentSpecifyFolder", 0, 1));
}

TEST(ConfigModule, AnswersBothSettingsInterfacesThroughTheBus) {
    testsupport::ScratchFolder scratch;
    auto* bus = new CEmberSoftBus();
    ASSERT_EQ(S_OK, BindModuleLibrary(bus, ember::MID_ConfigModule, testsupport::ProgramDirectory() + L"Config.dll"));
    IEmberAppModule* module = nullptr;
    ASSERT_EQ(S_OK, bus->GetModule(&ember::MID_ConfigModule, &module));
    IConfigSettings* settings = nullptr;
    IConfigSettings2* settings2 = nullptr;
    EXPECT_EQ(S_OK, module->QueryInterface(ember::IID_IConfigSettings, reinterpret_cast<void**>(&settings)));
    EXPECT_EQ(S_OK, module->QueryInterface(ember::IID_IConfigSettings2, reinterpret_cast<void**>(&settings2)));
    EXPECT_EQ(E_POINTER, module->QueryInterface(ember::IID_IConfigSettings, nullptr));
    void* other = nullptr;
    EXPECT_EQ(E_NOINTERFACE, module->QueryInterface(ember::IID_IFileView, &other));
    ASSERT_NE(nullptr, settings2);
    wchar_t name[64];
    EXPECT_NE(0, settings2->GetStringValue(L"VersionName", name, 64, 0));
    EXPECT_STREQ(L"EmberPelican", name);
    bus->Release();
}

TEST(Almanac, GivesTheDataFolderNameAndEmptyAnswersOtherwise) {
    HMODULE self = ::GetModuleHandleW(nullptr);
    // The test program's folder has no Almanac.dll: an empty answer, no failure.
    EXPECT_EQ(L"", AlmanacString(self, L"Almanac", L"AppDataPath", 260, 255));
    HMODULE almanac = ::LoadLibraryW((testsupport::ProgramDirectory() + L"Almanac.dll").c_str());
    ASSERT_NE(nullptr, almanac);
    EXPECT_EQ(L"Pelican", AlmanacString(almanac, L"Almanac", L"AppDataPath", 260, 255));
    EXPECT_EQ(L"", AlmanacString(almanac, L"Almanac", L"NoSuchKey", 260, 255));
    EXPECT_EQ(L"", AlmanacString(almanac, L"Almanac", L"AppDataPath", 3, 255)) << "too small a buffer";
    ::FreeLibrary(almanac);
}

}  // namespace
