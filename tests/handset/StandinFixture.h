// The handset backend against the stand-in handset (a Linux process reached
// through USBMUXD_SOCKET_ADDRESS; its state folder is PELICAN_STANDIN_DIR).
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "outside/handset/device/CMuxHandset.h"
#include "tests/outside/HandsetFixture.h"
#include "tests/support/TestPaths.h"

namespace standin {

inline std::wstring Env(const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD n = ::GetEnvironmentVariableW(name, value, 1024);
    return n && n < 1024 ? std::wstring(value, n) : std::wstring();
}

// The notification function is a plain function; it records here.
struct Events {
    std::mutex lock;
    std::vector<int> codes;
    std::vector<ULONGLONG> ticks;
};
inline Events& Recorded() {
    static Events events;
    return events;
}
inline int Notice(int code) {
    std::lock_guard<std::mutex> lock(Recorded().lock);
    Recorded().codes.push_back(code);
    Recorded().ticks.push_back(::GetTickCount64());
    return 0;
}

struct StandinFixture : ::testing::Test {
    std::wstring state = Env(L"PELICAN_STANDIN_DIR");
    std::wstring media;  // what "com.apple.afc" serves, as a PC path
    std::wstring root;   // what "com.apple.afc2" serves, when the handset has it
    testsupport::ScratchFolder scratch{L"mux"};
    std::wstring pc = scratch.path() + L"pc";
    handset::device::CMuxHandset* handset = nullptr;

    void SetUp() override {
        ASSERT_FALSE(state.empty()) << "run through tests/standin/with_standin.sh (see tests/handset/CMakeLists.txt)";
        root = Env(L"PELICAN_STANDIN_ROOT");
        media = root.empty() ? state + L"\\device\\var\\mobile\\Media" : root + L"\\var\\mobile\\Media";
        ASSERT_TRUE(::CreateDirectoryW(pc.c_str(), nullptr));
        {
            std::lock_guard<std::mutex> lock(Recorded().lock);
            Recorded().codes.clear();
            Recorded().ticks.clear();
        }
        Unplug();
        handset::wire::MuxAddress address;
        ASSERT_TRUE(handset::wire::ParseMuxAddress(Env(L"USBMUXD_SOCKET_ADDRESS"), &address));
        handset = new handset::device::CMuxHandset(address);
        ASSERT_TRUE(handset->SetNotificationCallback(&Notice));
    }
    void TearDown() override {
        if (handset) handset->Close();
        Unplug();
    }

    void Plug() { ASSERT_TRUE(testsupport::WriteFileBytes(state + L"\\plugged", "")); }
    // Also waits until the stand-in has seen it: a plug-in that followed at once
    // could otherwise be seen as a removal and a new arrival in the middle of a test.
    void Unplug() {
        ::DeleteFileW((state + L"\\plugged").c_str());
        const ULONGLONG end = ::GetTickCount64() + 3000;
        while (testsupport::FileExists(state + L"\\attached") && ::GetTickCount64() < end) ::Sleep(5);
    }
    std::vector<int> Codes() {
        std::lock_guard<std::mutex> lock(Recorded().lock);
        return Recorded().codes;
    }
    // Waits (bounded) until `count` notifications are in.
    std::vector<int> WaitFor(size_t count, DWORD ms = 5000) {
        const ULONGLONG end = ::GetTickCount64() + ms;
        while (Codes().size() < count && ::GetTickCount64() < end) ::Sleep(10);
        return Codes();
    }
    // Plugs in and waits for the arrival.
    void Connect() {
        Plug();
        auto codes = WaitFor(1);
        ASSERT_EQ(std::vector<int>{1}, codes);
        ASSERT_TRUE(handset->IsConnected());
    }
    void OnDevice(const std::wstring& rel, const std::string& bytes) { HandsetFixture::Put(media, rel, bytes); }
    void OnPc(const std::wstring& rel, const std::string& bytes) { HandsetFixture::Put(pc, rel, bytes); }
    static bool HoldsPartial(const std::wstring& folder) { return HandsetFixture::HoldsPartial(folder); }
};

}  // namespace standin
