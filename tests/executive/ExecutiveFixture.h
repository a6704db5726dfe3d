// The executive on a real soft bus with recording partners, a stand-in main
// window and the seams answering every prompt.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "framework/CEmberSoftBus.h"
#include "platform/WinApp.h"
#include "tests/executive/ExecutiveFakes.h"

namespace exectest {

// The recording journal and the seams that answer every prompt, installed for
// the lifetime of a fixture; fixtures derive from it before their own members.
struct ExecutiveSeams {
    Journal journal;
    FakeSystem system;
    FakeDialogs dialogs;
    TraceRecorder trace;
    platform::ScopedSystemServices systemScope{system};
    ScopedModalDialogs dialogScope{dialogs};
    ScopedDebugTraceSink traceScope{trace};
    platform::CWinApp app;
};

class ExecutiveFixture : public ::testing::Test, protected ExecutiveSeams {
protected:
    void SetUp() override { Build(true, true); }
    void TearDown() override;

    // Registers the partners (in the host's order) and initializes the executive.
    void Build(bool withMainWindow, bool withFileView);

    HRESULT Invoke(const wchar_t* name, CommandArgs* args = nullptr) { return exec->InvokeCommand(name, 0, args); }
    // "DeviceArrival" on this thread, with the journal cleared afterwards.
    void Arrive();
    std::wstring Status() { return reinterpret_cast<const wchar_t*>(exec->GetCommandValue(L"Information", 0)); }
    LONG Value(const wchar_t* name) { return static_cast<LONG>(exec->GetCommandValue(name, 1)); }
    bool Enabled(const wchar_t* name) { return exec->IsCommandEnabled(name) != 0; }
    // Pumps until the copy job has ended (bounded).
    bool WaitJobEnd(DWORD ms = 10000);

    TestMainWnd mainWnd;

    CEmberSoftBus* bus = nullptr;
    FakeConfig* config = nullptr;
    FakeFileView* view = nullptr;
    FakeUI* ui = nullptr;
    CAppModuleCmdExecutive* exec = nullptr;
    FakeDevice* device = nullptr;
    HRESULT initResult = E_UNEXPECTED;
    std::map<std::wstring, LONG> seedInts;  // settings present before start-up
};

}  // namespace exectest
