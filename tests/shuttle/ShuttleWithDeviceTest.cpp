// The device transfer module with the real folder-backed Handset.dll.
#include "fileview/DirectoryFileTree.h"
#include "tests/shuttle/ShuttleFixture.h"

namespace {

int Progress(int, int) { return 1; }

struct RealDevice : ShuttleFixture {
    std::wstring device = scratch.path() + L"device";
    std::wstring pc = scratch.path() + L"pc";

    void SetUp() override {
        ShuttleFixture::SetUp();
        ASSERT_TRUE(::CreateDirectoryW(device.c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryW(pc.c_str(), nullptr));
        ::CreateDirectoryW((device + L"\\var").c_str(), nullptr);
        ::CreateDirectoryW((device + L"\\var\\mobile").c_str(), nullptr);
        ::CreateDirectoryW((device + L"\\var\\mobile\\Media").c_str(), nullptr);
        ASSERT_TRUE(testsupport::WriteFileBytes(device + L"\\var\\mobile\\Media\\song.mp3", "la la"));
        ::SetEnvironmentVariableW(L"PELICAN_DEVICE_ROOT", device.c_str());
        LibraryFrom(testsupport::ProgramDirectory());
    }
    std::vector<Invocation> WaitForCalls(size_t n) {
        ULONGLONG end = ::GetTickCount64() + 3000;
        while (executive->Calls().size() < n && ::GetTickCount64() < end) ::Sleep(10);
        return executive->Calls();
    }
};

TEST_F(RealDevice, AnAttachedDeviceArrivesOnTheLibrarysThreadAndIsUsable) {
    ASSERT_EQ(S_OK, bus->InitializeModules());
    EXPECT_TRUE(system.boxes.empty());
    ASSERT_NE(nullptr, Device());
    auto calls = WaitForCalls(1);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(L"DeviceArrival", calls[0].name);
    EXPECT_NE(::GetCurrentThreadId(), calls[0].thread);

    IShuttle* s = Shuttle();
    EXPECT_TRUE(Device()->PathExists(L"/var/mobile/Media"));
    EXPECT_TRUE(s->CreateFolder(L"/var/mobile/Media//Photos"));
    tag_DirectoryFileTree* tree = s->GetDirectoryTree(L"/var/mobile/Media/", 2);
    ASSERT_NE(nullptr, tree);
    ASSERT_EQ(2u, tree->children.size());
    EXPECT_EQ(L"Photos", tree->children[0].name);
    EXPECT_EQ(L"song.mp3", tree->children[1].name);
    EXPECT_EQ(5u, tree->children[1].size);

    const wchar_t* list[] = {L"/var/mobile/Media/song.mp3", nullptr};
    ASSERT_TRUE(s->CopyToPC(list, pc.c_str(), &Progress));
    EXPECT_EQ("la la", testsupport::ReadFileBytes(pc + L"\\song.mp3"));
    wchar_t target[260] = L"/var/mobile/Media/Photos//song.mp3";
    ASSERT_TRUE(s->CopyFileToDevice((pc + L"\\song.mp3").c_str(), target, &Progress));
    EXPECT_EQ("la la", testsupport::ReadFileBytes(device + L"\\var\\mobile\\Media\\Photos\\song.mp3"));

    ASSERT_TRUE(::MoveFileW(device.c_str(), (device + L"-out").c_str()));
    calls = WaitForCalls(2);
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ(L"DeviceRemoved", calls[1].name);
    EXPECT_FALSE(s->CreateFolder(L"/var/x"));
    Destroy();
    EXPECT_FALSE(Loaded());
}

TEST_F(RealDevice, ADeviceFolderThatIsNotThereYetArrivesLater) {
    ::SetEnvironmentVariableW(L"PELICAN_DEVICE_ROOT", (scratch.path() + L"later").c_str());
    ASSERT_EQ(S_OK, bus->InitializeModules());
    ::Sleep(400);
    EXPECT_TRUE(executive->Calls().empty());
    IShuttle* s = Shuttle();
    EXPECT_EQ(nullptr, s->GetDirectoryTree(L"/", 2));
    ASSERT_TRUE(::MoveFileW(device.c_str(), (scratch.path() + L"later").c_str()));
    auto calls = WaitForCalls(1);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(L"DeviceArrival", calls[0].name);
    EXPECT_NE(nullptr, s->GetDirectoryTree(L"/", 2));
}

}  // namespace
