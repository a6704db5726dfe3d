// The device transfer module: binding the device library, the guarded
// operations, notifications and the order of destruction.
#include <algorithm>

#include "fileview/DirectoryFileTree.h"
#include "tests/shuttle/ShuttleFixture.h"

namespace {

const wchar_t kInstallText[] =
    L"It seems that you don't have iTunes installed. Please install iTunes 7.6 or higher First!";

int Progress(int, int) { return 0; }

using Notify = int (*)(int);
Notify FakeNotify() {
    return reinterpret_cast<Notify>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"Handset.dll"), "FakeHandsetNotify")));
}

size_t Count(const std::vector<std::string>& lines, const std::string& prefix) {
    return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
}

void ExpectUnavailable(ShuttleFixture& f) {
    ASSERT_EQ(1u, f.system.boxes.size());
    EXPECT_EQ(kInstallText, f.system.boxes[0].text);
    EXPECT_EQ(L"Handset", f.system.boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK), f.system.boxes[0].type);
    EXPECT_EQ(nullptr, f.system.boxes[0].owner);
    EXPECT_EQ(nullptr, f.Device()) << "the device object is handed out as null, with success";
    IShuttle* s = f.Shuttle();
    EXPECT_FALSE(s->CreateFolder(L"/var/mobile/Media//Photos"));
    const wchar_t* list[] = {L"/a", nullptr};
    EXPECT_EQ(-1, s->QueryPathList(list));
    EXPECT_FALSE(s->CopyToPC(list, L"C:\\", &Progress));
    EXPECT_EQ(nullptr, s->GetDirectoryTree(L"/", 2));
}

TEST_F(ShuttleFixture, WithoutHandsetDllTheUserIsToldOnceAndEveryOperationAnswersZero) {
    LibraryFrom(scratch.path());  // a folder without any Handset.dll
    ASSERT_EQ(S_OK, bus->InitializeModules());
    ExpectUnavailable(*this);
    EXPECT_FALSE(Loaded());
}

TEST_F(ShuttleFixture, ALibraryWithoutExportOneIsUnloadedAndTheUserTold) {
    LibraryFrom(testsupport::TestDirectory() + L"handset-fake\\noexport");
    ASSERT_EQ(S_OK, shuttle->Initialize());
    ExpectUnavailable(*this);
    EXPECT_FALSE(Loaded());
}

TEST_F(ShuttleFixture, AFactoryWithoutObjectUnloadsTheLibraryAndTellsTheUser) {
    ScriptedLibrary(L"null");
    ASSERT_EQ(S_OK, shuttle->Initialize());
    ExpectUnavailable(*this);
    EXPECT_FALSE(Loaded());
    EXPECT_EQ((std::vector<std::string>{"DllCreateObject", "Unloaded"}), Journal());
}

TEST_F(ShuttleFixture, ARefusedNotificationFunctionKeepsTheLibraryUntilDestructionAndStillCloses) {
    ScriptedLibrary(L"refuse");
    ASSERT_EQ(S_OK, shuttle->Initialize());
    ExpectUnavailable(*this);
    EXPECT_TRUE(Loaded());
    EXPECT_EQ(0u, Count(Journal(), "IsConnected")) << "unavailable: nothing reaches the library";
    Destroy();
    EXPECT_FALSE(Loaded());
    auto lines = Journal();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ("Close", lines[lines.size() - 2]);
    EXPECT_EQ("Unloaded", lines.back()) << "closed first, then unloaded";
}

TEST_F(ShuttleFixture, WithoutExecutiveInitializeFailsWithTheBusResult) {
    CEmberSoftBus* lonely = new CEmberSoftBus();
    auto* module = new CAppModuleShuttle();
    ASSERT_EQ(S_OK, lonely->RegisterModule(&ember::MID_Shuttle, module, nullptr));
    IEmberAppModule* none = nullptr;
    HRESULT expected = lonely->GetModule(&ember::MID_CmdExecutive, &none);
    ASSERT_LT(expected, 0);
    EXPECT_EQ(expected, module->Initialize());
    EXPECT_TRUE(system.boxes.empty());
    lonely->Release();
    CAppModuleShuttle unbound;
    EXPECT_EQ(E_POINTER, unbound.Initialize());
}

TEST_F(ShuttleFixture, QueryInterfaceHandsOutTheShuttleTheDeviceAndNothingElse) {
    EXPECT_EQ(E_POINTER, shuttle->QueryInterface(ember::IID_IShuttle, nullptr));
    void* out = nullptr;
    EXPECT_EQ(E_NOINTERFACE, shuttle->QueryInterface(ember::IID_IFileView, &out));
    EXPECT_EQ(static_cast<IShuttle*>(shuttle), Shuttle());
    EXPECT_EQ(0u, shuttle->AddRef());
}

struct BoundShuttle : ShuttleFixture {
    void SetUp() override {
        ShuttleFixture::SetUp();
        ScriptedLibrary(L"");
        ASSERT_EQ(S_OK, bus->InitializeModules());
        ASSERT_TRUE(system.boxes.empty());
        ClearJournal();
    }
};

TEST_F(BoundShuttle, EveryOperationAsksForTheDeviceThenForwardsTheSameArguments) {
    IShuttle* s = Shuttle();
    ASSERT_NE(nullptr, Device());
    wchar_t target[260] = L"/var/mobile/Media/DCIM//a.jpg";
    const wchar_t* list[] = {L"/x", L"/y", nullptr};
    EXPECT_TRUE(s->CopyToPC(list, L"C:\\pc", &Progress));
    EXPECT_TRUE(s->CopyFileToDevice(L"C:\\a.jpg", target, &Progress));
    EXPECT_TRUE(s->CopyFolderToDevice(L"C:\\dir", target, &Progress));
    EXPECT_TRUE(s->DeletePath(L"/d"));
    EXPECT_TRUE(s->CreateFolder(L"/c"));
    EXPECT_TRUE(s->RenamePath(L"/o", L"/n"));
    tag_DirectoryFileTree* tree = s->GetDirectoryTree(L"/var/mobile/Media/", 2);
    ASSERT_NE(nullptr, tree);
    EXPECT_EQ(L"fake", tree->name);
    EXPECT_EQ(2, s->QueryPathList(list));
    EXPECT_EQ((std::vector<std::string>{"IsConnected", "CopyToPC /x /y -> C:\\pc", "IsConnected",
                                        "CopyFileToDevice C:\\a.jpg /var/mobile/Media/DCIM//a.jpg", "IsConnected",
                                        "CopyFolderToDevice C:\\dir /var/mobile/Media/DCIM//a.jpg", "IsConnected",
                                        "DeletePath /d", "IsConnected", "CreateFolder /c", "IsConnected",
                                        "RenamePath /o /n", "IsConnected", "GetDirectoryTree /var/mobile/Media/ 2",
                                        "IsConnected", "QueryPathList 2"}),
              Journal());
}

TEST_F(BoundShuttle, AnEmptyListNeverAsksWhetherADeviceIsAttached) {
    IShuttle* s = Shuttle();
    const wchar_t* empty[] = {nullptr};
    EXPECT_FALSE(s->CopyToPC(empty, L"C:\\pc", &Progress));
    EXPECT_FALSE(s->CopyToPC(nullptr, L"C:\\pc", &Progress));
    EXPECT_EQ(-1, s->QueryPathList(empty));
    EXPECT_TRUE(Journal().empty());
}

TEST_F(BoundShuttle, NotificationsBecomeCommandsOnTheCallersThread) {
    Notify notify = FakeNotify();
    ASSERT_NE(nullptr, notify);
    EXPECT_EQ(0x1234, notify(1));
    EXPECT_EQ(0x1234, notify(2));
    EXPECT_EQ(0, notify(3));
    EXPECT_EQ(0, notify(0));
    EXPECT_EQ(0x1234, notify(10));
    EXPECT_EQ(0x1234, notify(11));
    EXPECT_EQ(0, notify(12));
    auto calls = executive->Calls();
    ASSERT_EQ(4u, calls.size()) << "values 0, 3 and 12 call nothing";
    EXPECT_EQ(L"DeviceArrival", calls[0].name);
    EXPECT_EQ(L"DeviceRemoved", calls[1].name);
    EXPECT_EQ(L"DeviceServiceMissing", calls[2].name);
    EXPECT_EQ(L"DeviceNotTrusted", calls[3].name);
    for (const Invocation& c : calls) {
        EXPECT_EQ(0, c.param);
        EXPECT_EQ(nullptr, c.args);
        EXPECT_EQ(::GetCurrentThreadId(), c.thread);
    }
}

// The executive is deleted before this module; notices after the host's stop must not reach it.
TEST_F(BoundShuttle, AfterUninitializeNotificationsReachNobody) {
    EXPECT_EQ(S_OK, shuttle->Uninitialize());
    Notify notify = FakeNotify();
    ASSERT_NE(nullptr, notify);
    EXPECT_EQ(0, notify(2));
    EXPECT_TRUE(executive->Calls().empty());
}

TEST_F(BoundShuttle, DestructionClosesTheDeviceThenUnloadsTheLibrary) {
    Destroy();
    EXPECT_EQ((std::vector<std::string>{"Close", "Unloaded"}), Journal());
    EXPECT_FALSE(Loaded());
    EXPECT_EQ(0, CAppModuleShuttle::Notify(1)) << "no sink after destruction: nothing to call";
}

struct DetachedShuttle : ShuttleFixture {
    void SetUp() override {
        ShuttleFixture::SetUp();
        ScriptedLibrary(L"absent");
        ASSERT_EQ(S_OK, bus->InitializeModules());
        ClearJournal();
    }
};

TEST_F(DetachedShuttle, WithoutADeviceOnlyIsConnectedReachesTheLibrary) {
    IShuttle* s = Shuttle();
    wchar_t target[260] = L"/a";
    const wchar_t* list[] = {L"/x", nullptr};
    EXPECT_FALSE(s->CopyToPC(list, L"C:\\pc", &Progress));
    EXPECT_FALSE(s->CopyFileToDevice(L"C:\\a", target, &Progress));
    EXPECT_FALSE(s->CopyFolderToDevice(L"C:\\d", target, &Progress));
    EXPECT_FALSE(s->DeletePath(L"/d"));
    EXPECT_FALSE(s->CreateFolder(L"/c"));
    EXPECT_FALSE(s->RenamePath(L"/o", L"/n"));
    EXPECT_EQ(nullptr, s->GetDirectoryTree(L"/", 2));
    EXPECT_EQ(-1, s->QueryPathList(list));
    auto lines = Journal();
    EXPECT_EQ(8u, lines.size());
    EXPECT_EQ(8u, Count(lines, "IsConnected"));
}

TEST(ShuttleDll, ExportsItsFactoryAsNumberOneAndByName) {
    HMODULE dll = ::LoadLibraryW((testsupport::ProgramDirectory() + L"Shuttle.dll").c_str());
    ASSERT_NE(nullptr, dll);
    FARPROC byNumber = ::GetProcAddress(dll, MAKEINTRESOURCEA(1));
    EXPECT_NE(nullptr, byNumber);
    EXPECT_EQ(byNumber, ::GetProcAddress(dll, "DllCreateObject"));
    auto create = reinterpret_cast<UINT_PTR (*)()>(reinterpret_cast<void*>(byNumber));
    auto* module = reinterpret_cast<IEmberAppModule*>(create());
    ASSERT_NE(nullptr, module);
    void* shuttle = nullptr;
    EXPECT_EQ(S_OK, module->QueryInterface(ember::IID_IShuttle, &shuttle));
    EXPECT_NE(nullptr, shuttle);
    module->Release();
    ::FreeLibrary(dll);
}

}  // namespace
