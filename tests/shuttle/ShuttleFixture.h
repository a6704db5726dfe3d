// The device transfer module on a soft bus with a recording command executive,
// a recording system seam and a chosen Handset.dll.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "framework/CEmberSoftBus.h"
#include "platform/SystemServices.h"
#include "shuttle/CAppModuleShuttle.h"
#include "tests/support/TestPaths.h"

struct Invocation {
    std::wstring name;
    LONG param;
    CommandArgs* args;
    DWORD thread;
};

class RecordingExecutive : public CEmberAppModuleBase, public ICommandExecutive {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (ember::SameGuid(iid, ember::IID_ICommandExecutive)) {
            *out = static_cast<ICommandExecutive*>(this);
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 0; }
    ULONG STDMETHODCALLTYPE Release() override { return CEmberAppModuleBase::Release(); }
    LONG STDMETHODCALLTYPE IsCommandEnabled(const wchar_t*) override { return 1; }
    INT_PTR STDMETHODCALLTYPE GetCommandValue(const wchar_t*, LONG) override { return 0; }
    HRESULT STDMETHODCALLTYPE InvokeCommand(const wchar_t* name, LONG param, CommandArgs* args) override {
        std::lock_guard<std::mutex> lock(lock_);
        calls_.push_back({name, param, args, ::GetCurrentThreadId()});
        return 0x1234;
    }
    HRESULT STDMETHODCALLTYPE OnKeyMessage(UINT, LONG, LONG, LONG) override { return S_OK; }

    std::vector<Invocation> Calls() {
        std::lock_guard<std::mutex> lock(lock_);
        return calls_;
    }

private:
    std::mutex lock_;
    std::vector<Invocation> calls_;
};

class RecordingSystem : public platform::ISystemServices {
public:
    struct Box {
        HWND owner;
        std::wstring text, caption;
        UINT type;
    };
    int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) override {
        boxes.push_back({owner, text, caption, type});
        return IDOK;
    }
    bool StartProcess(const std::wstring&, const std::wstring&) override { return false; }
    SYSTEMTIME LocalTime() override { return {}; }
    DWORD TickCount() override { return 0; }
    long long UnixTime() override { return 0; }
    DWORD OsMajorVersion() override { return 6; }
    DWORD OsMinorVersion() override { return 1; }
    std::vector<Box> boxes;
};

struct ShuttleFixture : ::testing::Test {
    RecordingSystem system;
    platform::ScopedSystemServices seam{system};
    testsupport::ScratchFolder scratch{L"sh"};
    std::wstring journal = scratch.path() + L"journal.txt";
    CEmberSoftBus* bus = new CEmberSoftBus();
    RecordingExecutive* executive = new RecordingExecutive();
    CAppModuleShuttle* shuttle = new CAppModuleShuttle();

    void SetUp() override {
        ::SetEnvironmentVariableW(L"PELICAN_FAKE_JOURNAL", journal.c_str());
        ASSERT_EQ(S_OK, bus->RegisterModule(&ember::MID_CmdExecutive, executive, nullptr));
        ASSERT_EQ(S_OK, bus->RegisterModule(&ember::MID_Shuttle, shuttle, nullptr));
    }
    void TearDown() override {
        Destroy();
        ::SetDllDirectoryW(nullptr);
        ::SetEnvironmentVariableW(L"PELICAN_FAKE_HANDSET", nullptr);
        ::SetEnvironmentVariableW(L"PELICAN_FAKE_JOURNAL", nullptr);
        ::SetEnvironmentVariableW(L"PELICAN_DEVICE_ROOT", nullptr);
    }
    void Destroy() {
        if (bus) bus->Release();
        bus = nullptr;
    }

    // Where the next LoadLibrary("Handset.dll") finds its library.
    void LibraryFrom(const std::wstring& folder) { ASSERT_TRUE(::SetDllDirectoryW(folder.c_str())); }
    void ScriptedLibrary(const wchar_t* mode) {
        ::SetEnvironmentVariableW(L"PELICAN_FAKE_HANDSET", mode);
        LibraryFrom(testsupport::TestDirectory() + L"handset-fake\\scripted");
    }
    // The calls the scripted library saw, one per line.
    std::vector<std::string> Journal() {
        std::vector<std::string> lines;
        std::string text = testsupport::ReadFileBytes(journal);
        size_t start = 0;
        for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
    void ClearJournal() { ::DeleteFileW(journal.c_str()); }
    IShuttle* Shuttle() {
        IShuttle* s = nullptr;
        EXPECT_EQ(S_OK, shuttle->QueryInterface(ember::IID_IShuttle, reinterpret_cast<void**>(&s)));
        return s;
    }
    IHandsetInteraction* Device() {
        IHandsetInteraction* d = reinterpret_cast<IHandsetInteraction*>(1);
        EXPECT_EQ(S_OK, shuttle->QueryInterface(ember::IID_IHandsetInteraction, reinterpret_cast<void**>(&d)));
        return d;
    }
    static bool Loaded() { return ::GetModuleHandleW(L"Handset.dll") != nullptr; }
};
