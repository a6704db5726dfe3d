// The soft bus, the module base and the host base.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/CEmberApplication.h"
#include "framework/CEmberAppModuleBase.h"
#include "framework/CEmberSoftBus.h"
#include "framework/IEmberAppModuleUICtrl.h"
#include "framework/ModuleLibrary.h"
#include "tests/support/TestPaths.h"

namespace {

constexpr GUID kA = {0x11111111, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr GUID kB = {0x22222222, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr GUID kC = {0x33333333, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}};

// Records every life-cycle call into a shared journal.
class RecordingModule : public CEmberAppModuleBase {
public:
    RecordingModule(std::string name, std::vector<std::string>* journal) : name_(std::move(name)), journal_(journal) {}
    ~RecordingModule() override { journal_->push_back("delete " + name_); }

    HRESULT STDMETHODCALLTYPE SetModuleId(const GUID* id) override {
        if (failSetId) return E_ACCESSDENIED;
        return CEmberAppModuleBase::SetModuleId(id);
    }
    HRESULT STDMETHODCALLTYPE Initialize() override {
        journal_->push_back("init " + name_);
        return initResult;
    }
    HRESULT STDMETHODCALLTYPE Uninitialize() override {
        journal_->push_back("uninit " + name_);
        return S_OK;
    }

    bool failSetId = false;
    HRESULT initResult = S_OK;

private:
    std::string name_;
    std::vector<std::string>* journal_;
};

struct BusFixture : ::testing::Test {
    std::vector<std::string> journal;
    CEmberSoftBus* bus = new CEmberSoftBus();
    void TearDown() override {
        if (bus) bus->Release();
    }
    RecordingModule* Add(const GUID& id, const char* name) {
        auto* m = new RecordingModule(name, &journal);
        EXPECT_EQ(S_OK, bus->RegisterModule(&id, m, nullptr));
        return m;
    }
};

TEST_F(BusFixture, DuplicateIdentifiersAreKeptAndTheFirstWins) {
    RecordingModule* first = Add(kA, "first");
    Add(kA, "second");
    EXPECT_EQ(2u, bus->ModuleCount());
    IEmberAppModule* found = nullptr;
    EXPECT_EQ(S_OK, bus->GetModule(&kA, &found));
    EXPECT_EQ(static_cast<IEmberAppModule*>(first), found);
}

TEST_F(BusFixture, AFailingSetModuleIdKeepsTheModuleOutOfTheTable) {
    auto* refused = new RecordingModule("refused", &journal);
    refused->failSetId = true;
    EXPECT_EQ(E_ACCESSDENIED, bus->RegisterModule(&kB, refused, nullptr));
    IEmberAppModule* found = reinterpret_cast<IEmberAppModule*>(0x1234);
    EXPECT_EQ(E_NOINTERFACE, bus->GetModule(&kB, &found));
    EXPECT_EQ(reinterpret_cast<IEmberAppModule*>(0x1234), found) << "out pointer untouched";
    bus->InitializeModules();
    bus->Release();
    bus = nullptr;
    EXPECT_TRUE(journal.empty()) << "neither initialized nor released by the bus";
    delete refused;
}

TEST_F(BusFixture, RegisterAndLookUpRejectNullPointers) {
    EXPECT_EQ(E_POINTER, bus->RegisterModule(&kA, nullptr, nullptr));
    Add(kA, "a");
    EXPECT_EQ(E_INVALIDARG, bus->GetModule(&kA, nullptr));
    void* out = nullptr;
    EXPECT_EQ(E_NOTIMPL, bus->QueryInterface(IID_IUnknown, &out));
}

TEST_F(BusFixture, InitializeStopsAtTheFirstFailureAndUninitializeStillReachesAllInReverse) {
    Add(kA, "a");
    Add(kB, "b")->initResult = E_UNEXPECTED;
    Add(kC, "c");
    EXPECT_EQ(E_UNEXPECTED, bus->InitializeModules());
    EXPECT_EQ(S_OK, bus->UninitializeModules());
    bus->Release();
    bus = nullptr;
    std::vector<std::string> expected = {"init a",   "init b",   "uninit c", "uninit b",
                                         "uninit a", "delete a", "delete b", "delete c"};
    EXPECT_EQ(expected, journal);
}

TEST(ModuleBase, DefaultsAndQueryInterfaceLeavesTheOutPointerAlone) {
    auto* m = new CEmberAppModuleBase();
    void* out = reinterpret_cast<void*>(0x42);
    EXPECT_EQ(E_NOINTERFACE, m->QueryInterface(IID_IUnknown, &out));
    EXPECT_EQ(reinterpret_cast<void*>(0x42), out);
    EXPECT_EQ(0u, m->AddRef());
    EXPECT_EQ(S_OK, m->Reserved());
    GUID zero{};
    EXPECT_TRUE(ember::SameGuid(zero, m->ModuleId()));
    EXPECT_EQ(S_OK, m->SetModuleId(&kC));
    EXPECT_TRUE(ember::SameGuid(kC, m->ModuleId()));
    EXPECT_EQ(0u, m->Release());
}

// A host whose catalogue is a callback.
class TestHost : public CEmberApplication {
public:
    bool loadResult = true;
    std::vector<std::string>* journal = nullptr;
    bool LoadModules(IEmberSoftBus* bus) override {
        if (loadResult) {
            auto* m = new RecordingModule("m", journal);
            bus->RegisterModule(&kA, m, nullptr);
        }
        return loadResult;
    }
};

TEST(Host, StartFailsWithoutInitializingWhenLoadingFails) {
    std::vector<std::string> journal;
    {
        TestHost host;
        host.journal = &journal;
        host.loadResult = false;
        EXPECT_EQ(E_FAIL, host.Start());
        EXPECT_EQ(S_OK, host.Stop());
    }
    EXPECT_TRUE(journal.empty());
}

TEST(Host, StartStopAndGetModule) {
    std::vector<std::string> journal;
    {
        TestHost host;
        host.journal = &journal;
        EXPECT_EQ(S_OK, host.Start());
        IEmberAppModule* m = nullptr;
        EXPECT_EQ(S_OK, host.GetModule(&kA, &m));
        EXPECT_NE(nullptr, m);
        EXPECT_EQ(S_OK, host.Stop());
    }
    std::vector<std::string> expected = {"init m", "uninit m", "delete m"};
    EXPECT_EQ(expected, journal);
}

std::vector<bool> g_probeReports;
void ProbeReport(bool mapped) { g_probeReports.push_back(mapped); }

TEST(ModuleLibrary, ModulesAreDeletedBeforeTheirLibraryIsUnloaded) {
    std::wstring dll = testsupport::TestDirectory() + L"ProbeModule.dll";
    g_probeReports.clear();
    auto* bus = new CEmberSoftBus();
    ASSERT_EQ(S_OK, BindModuleLibrary(bus, kA, dll));
    ASSERT_EQ(S_OK, BindModuleLibrary(bus, kB, dll));
    HMODULE probe = ::GetModuleHandleW(dll.c_str());
    ASSERT_NE(nullptr, probe);
    auto setReport = reinterpret_cast<void (*)(void (*)(bool))>(
        reinterpret_cast<void*>(::GetProcAddress(probe, "SetProbeReport")));
    ASSERT_NE(nullptr, setReport);
    setReport(&ProbeReport);
    bus->Release();
    EXPECT_EQ((std::vector<bool>{true, true}), g_probeReports);
    EXPECT_EQ(nullptr, ::GetModuleHandleW(dll.c_str())) << "every reference was given back";
}

TEST(ModuleLibrary, MissingLibraryOrFactoryFailsAndLeavesNothingLoaded) {
    auto* bus = new CEmberSoftBus();
    std::wstring dir = testsupport::TestDirectory();
    EXPECT_LT(BindModuleLibrary(bus, kA, dir + L"DoesNotExist.dll"), 0);
    EXPECT_LT(BindModuleLibrary(bus, kA, dir + L"NoFactory.dll"), 0);
    EXPECT_EQ(nullptr, ::GetModuleHandleW((dir + L"NoFactory.dll").c_str()));
    EXPECT_EQ(0u, bus->ModuleCount());
    EXPECT_EQ(E_POINTER, BindModuleLibrary(nullptr, kA, dir + L"ProbeModule.dll"));
    bus->Release();
}

TEST(ViewName, CopiesAtMostTheCapacityAndRefusesANullBuffer) {
    CEmberAppModuleViewBase view(L"FileTreeView");
    wchar_t small[5];
    EXPECT_EQ(S_OK, view.GetViewName(small, 5));
    EXPECT_STREQ(L"File", small);
    EXPECT_EQ(E_POINTER, view.GetViewName(nullptr, 5));
    wchar_t big[128];
    EXPECT_EQ(S_OK, view.GetViewName(big, 128));
    EXPECT_STREQ(L"FileTreeView", big);
    EXPECT_EQ(nullptr, view.GetViewWindow());
}

}  // namespace
