// The module host: catalogue order, failure policy per step, exit order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CPelicanApplication.h"
#include "framework/CEmberAppModuleBase.h"
#include "framework/EmberGuids.h"
#include "platform/SystemServices.h"
#include "tests/support/TestPaths.h"

namespace {

std::vector<std::string>* g_journal = nullptr;  // the fixture's, for the factories below

class Recording : public CEmberAppModuleBase {
public:
    explicit Recording(std::string name) : name_(std::move(name)) {}
    ~Recording() override { g_journal->push_back("delete " + name_); }
    HRESULT STDMETHODCALLTYPE Uninitialize() override {
        g_journal->push_back("uninit " + name_);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Initialize() override {
        g_journal->push_back("init " + name_);
        return S_OK;
    }

private:
    std::string name_;
};

template <int N>
IEmberAppModule* MakeNamed() {
    static const char* names[] = {"fileview", "ui", "executive"};
    return new Recording(names[N]);
}
IEmberAppModule* MakeNothing() { return nullptr; }

// Records message boxes instead of showing them.
class RecordingSystem : public platform::RealSystemServices {
public:
    int MessageBox(HWND, const std::wstring& text, const std::wstring& caption, UINT) override {
        boxes.push_back(caption + L"|" + text);
        return IDOK;
    }
    std::vector<std::wstring> boxes;
};

// A scratch program folder: the real version and configuration libraries and
// an inert module DLL standing in for the device module.
class HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_journal = &journal;
        std::wstring bin = testsupport::ProgramDirectory();
        ASSERT_TRUE(::CopyFileW((bin + L"Almanac.dll").c_str(), (dir() + L"Almanac.dll").c_str(), FALSE));
        ASSERT_TRUE(::CopyFileW((bin + L"Config.dll").c_str(), (dir() + L"Config.dll").c_str(), FALSE));
        ASSERT_TRUE(::CopyFileW((testsupport::TestDirectory() + L"ProbeModule.dll").c_str(),
                                (dir() + L"Shuttle.dll").c_str(), FALSE));
    }
    void TearDown() override { g_journal = nullptr; }
    const std::wstring& dir() const { return folder.path(); }
    testsupport::ScratchFolder folder{L"host"};

    // A catalogue with the real order and policies; in-program steps make recording modules.
    std::vector<ModuleStep> Steps() {
        return {
            {ember::MID_AlmanacModule, L"Almanac.dll", nullptr, StepFailure::AbandonStart},
            {ember::MID_ConfigModule, L"Config.dll", nullptr, StepFailure::Ignore},
            {ember::MID_FileView, nullptr, &MakeNamed<0>, StepFailure::StopLoading},
            {ember::MID_UIMain, nullptr, &MakeNamed<1>, StepFailure::StopLoading},
            {ember::MID_CmdExecutive, nullptr, &MakeNamed<2>, StepFailure::LogOnly},
            {ember::MID_Shuttle, L"Shuttle.dll", nullptr, StepFailure::Outcome},
        };
    }
    std::vector<std::string> journal;
    RecordingSystem system;
};

TEST(Catalogue, HasTheFixedOrderAndPolicies) {
    auto steps = CPelicanApplication::Catalogue();
    ASSERT_EQ(6u, steps.size());
    const GUID order[] = {ember::MID_AlmanacModule, ember::MID_ConfigModule, ember::MID_FileView,
                          ember::MID_UIMain,        ember::MID_CmdExecutive, ember::MID_Shuttle};
    for (size_t i = 0; i < 6; ++i) EXPECT_TRUE(ember::SameGuid(order[i], steps[i].id)) << i;
    EXPECT_STREQ(L"Almanac.dll", steps[0].library);
    EXPECT_STREQ(L"Config.dll", steps[1].library);
    EXPECT_STREQ(L"Shuttle.dll", steps[5].library);
    for (size_t i = 2; i < 5; ++i) EXPECT_NE(nullptr, steps[i].create);
    EXPECT_EQ(StepFailure::AbandonStart, steps[0].onFailure);
    EXPECT_EQ(StepFailure::Ignore, steps[1].onFailure);
    EXPECT_EQ(StepFailure::LogOnly, steps[4].onFailure);
    EXPECT_EQ(StepFailure::Outcome, steps[5].onFailure);
}

TEST_F(HostTest, ModulesAreUninitializedInReverseAndDeletedInCatalogueOrder) {
    platform::ScopedSystemServices seam(system);
    {
        CPelicanApplication host(Steps(), dir());
        ASSERT_GE(host.Start(), 0);
        IEmberAppModule* m = nullptr;
        EXPECT_EQ(S_OK, host.GetModule(&ember::MID_Shuttle, &m));
        EXPECT_EQ(S_OK, host.GetModule(&ember::MID_ConfigModule, &m));
        host.Stop();
    }
    std::vector<std::string> expected = {"init fileview",   "init ui",         "init executive", "uninit executive",
                                         "uninit ui",       "uninit fileview", "delete fileview", "delete ui",
                                         "delete executive"};
    EXPECT_EQ(expected, journal);
    EXPECT_TRUE(system.boxes.empty());
}

TEST_F(HostTest, AMissingVersionLibraryNamesItsFullPathAndLoadsNothingElse) {
    platform::ScopedSystemServices seam(system);
    testsupport::ScratchFolder empty;
    {
        CPelicanApplication host(Steps(), empty.path());
        EXPECT_EQ(E_FAIL, host.Start());
        IEmberAppModule* m = nullptr;
        EXPECT_EQ(E_NOINTERFACE, host.GetModule(&ember::MID_FileView, &m));
    }
    EXPECT_TRUE(journal.empty());
    ASSERT_EQ(1u, system.boxes.size());
    EXPECT_NE(std::wstring::npos, system.boxes[0].find(empty.path() + L"Almanac.dll")) << system.boxes[0];
}

TEST_F(HostTest, AMissingDeviceModuleFailsTheStartButTheExecutiveWasRegistered) {
    platform::ScopedSystemServices seam(system);
    auto steps = Steps();
    steps[5].library = L"NoSuchShuttle.dll";
    {
        CPelicanApplication host(steps, dir());
        EXPECT_EQ(E_FAIL, host.Start());
        IEmberAppModule* m = nullptr;
        EXPECT_EQ(S_OK, host.GetModule(&ember::MID_CmdExecutive, &m));
        host.Stop();
    }
    // Registered modules still get Uninitialize and Release though none was initialized.
    std::vector<std::string> expected = {"uninit executive", "uninit ui",         "uninit fileview",
                                         "delete fileview", "delete ui", "delete executive"};
    EXPECT_EQ(expected, journal);
}

TEST_F(HostTest, AnInProgramModuleThatCannotBeMadeStopsLoadingAtOnce) {
    platform::ScopedSystemServices seam(system);
    auto steps = Steps();
    steps[3].create = &MakeNothing;
    {
        CPelicanApplication host(steps, dir());
        EXPECT_EQ(E_FAIL, host.Start());
        IEmberAppModule* m = nullptr;
        EXPECT_EQ(E_NOINTERFACE, host.GetModule(&ember::MID_Shuttle, &m)) << "nothing after the failing step";
    }
    EXPECT_EQ((std::vector<std::string>{"delete fileview"}), journal);
}

TEST_F(HostTest, AMissingConfigurationLibraryIsIgnored) {
    platform::ScopedSystemServices seam(system);
    auto steps = Steps();
    steps[1].library = L"NoSuchConfig.dll";
    CPelicanApplication host(steps, dir());
    EXPECT_GE(host.Start(), 0);
    IEmberAppModule* m = nullptr;
    EXPECT_EQ(E_NOINTERFACE, host.GetModule(&ember::MID_ConfigModule, &m));
    host.Stop();
}

}  // namespace
