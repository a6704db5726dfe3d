// The recording partners and the fixture of the executive tests.
#include "tests/executive/ExecutiveFakes.h"

#include <shlobj.h>

#include <cstring>

#include "framework/EmberGuids.h"
#include "tests/executive/ExecutiveFixture.h"
#include "tests/support/TestPaths.h"

namespace exectest {

std::vector<std::wstring> Journal::With(const std::wstring& prefix) const {
    std::vector<std::wstring> out;
    for (const std::wstring& line : Lines())
        if (line.compare(0, prefix.size(), prefix) == 0) out.push_back(line);
    return out;
}

int Journal::IndexOf(const std::wstring& line) const {
    std::vector<std::wstring> lines = Lines();
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == line) return static_cast<int>(i);
    return -1;
}

// FakeFileView.

HRESULT STDMETHODCALLTYPE FakeFileView::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (!ember::SameGuid(iid, ember::IID_IFileView)) return E_NOINTERFACE;
    *out = static_cast<IFileView*>(this);
    return S_OK;
}

void FakeFileView::Note(const std::wstring& line) {
    threads.insert(::GetCurrentThreadId());
    journal_->Add(L"view." + line);
}

int FakeFileView::LoadTree(const tag_DirectoryFileTree* tree, int reason) {
    Note(L"LoadTree(" + (tree ? tree->name : L"null") + L"," + std::to_wstring(reason) + L")");
    return 1;
}

int FakeFileView::ClearViews() {
    Note(L"ClearViews()");
    return 1;
}

int FakeFileView::SetRootPath(const wchar_t* path) {
    Note(L"SetRootPath(" + std::wstring(path ? path : L"null") + L")");
    return 1;
}

std::wstring FakeFileView::GetSelectedPath() {
    return (currentFolder.empty() || currentFolder.back() == L'/') ? currentFolder + selectedName : currentFolder;
}

const std::vector<std::wstring>& FakeFileView::GetSelectedPaths() {
    selectedPaths_.clear();
    for (const std::wstring& row : selectedRows) selectedPaths_.push_back(currentFolder + row);
    return selectedPaths_;
}

int FakeFileView::EnableViews(int flag) {
    viewsEnabled = flag;
    Note(L"EnableViews(" + std::to_wstring(flag) + L")");
    return 1;
}

int FakeFileView::SelectParentFolder() {
    Note(L"SelectParentFolder()");
    return 1;
}

int FakeFileView::ClearList() {
    Note(L"ClearList()");
    return 1;
}

// FakeDevice.

FakeDevice::FakeDevice(Journal* journal)
    : journal_(journal),
      release_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      started_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      tree_(L"listing", 0, true) {}

FakeDevice::~FakeDevice() {
    ::CloseHandle(release_);
    ::CloseHandle(started_);
}

HRESULT STDMETHODCALLTYPE FakeDevice::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (ember::SameGuid(iid, ember::IID_IShuttle)) {
        *out = static_cast<IShuttle*>(this);
        return S_OK;
    }
    if (ember::SameGuid(iid, ember::IID_IHandsetInteraction)) {
        // As the real module does: success, with no object when the library is not bound.
        *out = libraryBound ? static_cast<IHandsetInteraction*>(this) : nullptr;
        return S_OK;
    }
    return E_NOINTERFACE;
}

bool FakeDevice::Copy(const std::wstring& line, const std::wstring& pcPath, ProgressCallback callback) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        copyThreads.insert(::GetCurrentThreadId());
    }
    journal_->Add(L"shuttle." + line);
    ::SetEvent(started_);
    for (const auto& [total, done] : progress) callback(total, done);
    if (holdCopies) ::WaitForSingleObject(release_, 10000);
    if (!connected) return false;
    return copyResult ? copyResult(pcPath) : true;
}

bool FakeDevice::CopyToPC(const wchar_t* const* devicePaths, const wchar_t* pcFolder, ProgressCallback callback) {
    std::wstring list;
    for (const wchar_t* const* p = devicePaths; *p; ++p) list += (list.empty() ? L"" : L"|") + std::wstring(*p);
    return Copy(L"CopyToPC(" + list + L"," + pcFolder + L")", pcFolder, callback);
}

bool FakeDevice::CopyFileToDevice(const wchar_t* pcFile, wchar_t* devicePath, ProgressCallback callback) {
    return Copy(L"CopyFileToDevice(" + std::wstring(pcFile) + L"," + devicePath + L")", pcFile, callback);
}

bool FakeDevice::CopyFolderToDevice(const wchar_t* pcFolder, wchar_t* devicePath, ProgressCallback callback) {
    return Copy(L"CopyFolderToDevice(" + std::wstring(pcFolder) + L"," + devicePath + L")", pcFolder, callback);
}

bool FakeDevice::DeletePath(const wchar_t* devicePath) {
    journal_->Add(L"shuttle.DeletePath(" + std::wstring(devicePath) + L")");
    return true;
}

bool FakeDevice::CreateFolder(const wchar_t* devicePath) {
    journal_->Add(L"shuttle.CreateFolder(" + std::wstring(devicePath) + L")");
    return createResult;
}

bool FakeDevice::RenamePath(const wchar_t* oldPath, const wchar_t* newPath) {
    journal_->Add(L"shuttle.RenamePath(" + std::wstring(oldPath) + L"," + newPath + L")");
    return renameResult;
}

tag_DirectoryFileTree* FakeDevice::GetDirectoryTree(const wchar_t* folder, int depth) {
    journal_->Add(L"shuttle.GetDirectoryTree(" + std::wstring(folder) + L"," + std::to_wstring(depth) + L")");
    if (onTree) onTree();
    return treeAvailable ? &tree_ : nullptr;
}

bool FakeDevice::PathExists(const wchar_t* devicePath) {
    journal_->Add(L"device.PathExists(" + std::wstring(devicePath) + L")");
    return existing.count(devicePath) != 0;
}

// FakeConfig.

HRESULT STDMETHODCALLTYPE FakeConfig::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (!ember::SameGuid(iid, ember::IID_IConfigSettings)) return E_NOINTERFACE;
    *out = static_cast<IConfigSettings*>(this);
    return S_OK;
}

LONG STDMETHODCALLTYPE FakeConfig::GetIntValue(const wchar_t* key, LONG defaultValue, LONG) {
    auto it = ints.find(key);
    return it == ints.end() ? defaultValue : it->second;
}

void STDMETHODCALLTYPE FakeConfig::SetIntValue(const wchar_t* key, LONG value, LONG) {
    journal_->Add(L"config.SetIntValue(" + std::wstring(key) + L"," + std::to_wstring(value) + L")");
    ints[key] = value;
}

LONG STDMETHODCALLTYPE FakeConfig::GetStringValue(const wchar_t* key, wchar_t* buffer, LONG capacity, LONG) {
    if (!buffer || capacity <= 0) return 0;
    buffer[0] = L'\0';
    auto it = strings.find(key);
    if (it == strings.end() || it->second.size() >= static_cast<size_t>(capacity)) return 0;
    std::wmemcpy(buffer, it->second.c_str(), it->second.size() + 1);
    return 1;
}

void STDMETHODCALLTYPE FakeConfig::SetStringValue(const wchar_t* key, const wchar_t* value, LONG) {
    strings[key] = value;
}

void STDMETHODCALLTYPE FakeConfig::ShowInformation(LONG kind, LONG flag) {
    journal_->Add(L"config.ShowInformation(" + std::to_wstring(kind) + L"," + std::to_wstring(flag) + L")");
}

void STDMETHODCALLTYPE FakeConfig::ShowHelp() { journal_->Add(L"config.ShowHelp()"); }

// FakeUI.

HRESULT STDMETHODCALLTYPE FakeUI::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (!ember::SameGuid(iid, ember::IID_IUIOperation)) return E_NOINTERFACE;
    *out = static_cast<IUIOperation*>(this);
    return S_OK;
}

HRESULT FakeUI::UpdateUI(const wchar_t* names) {
    std::wstring list = names ? names : L"null";
    journal_->Add(L"ui.UpdateUI(" + list + L")");
    if (executive && list == L"CopyProgress")
        progressSeen.push_back(static_cast<LONG>(executive->GetCommandValue(L"CopyProgress", 1)));
    return S_OK;
}

// Seams.

int FakeSystem::MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    messages.push_back({owner, text, caption, type});
    if (onMessage) onMessage(text);
    if (!answers.empty()) {
        int answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    return (type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
}

bool FakeSystem::StartProcess(const std::wstring& application, const std::wstring& commandLine) {
    started.emplace_back(application, commandLine);
    return startResult;
}

std::vector<std::wstring> FakeSystem::Texts() const {
    std::vector<std::wstring> out;
    for (const ShownMessage& m : messages) out.push_back(m.text);
    return out;
}

bool FakeDialogs::BrowseForFolder(HWND owner, const std::wstring& title, UINT flags, std::wstring* folder) {
    owners.push_back(owner);
    titles.push_back(title);
    browseFlags = flags;
    if (browseOk) *folder = browseFolder;
    return browseOk;
}

bool FakeDialogs::OpenFile(HWND owner, std::wstring* file) {
    owners.push_back(owner);
    titles.push_back(L"(open)");
    if (openOk) *file = openFile;
    return openOk;
}

bool FakeDialogs::AskName(HWND owner, const std::wstring& title, std::wstring* result) {
    owners.push_back(owner);
    titles.push_back(title);
    initialNames.push_back(*result);
    if (nameOk) *result = name;
    return nameOk;
}

bool TraceRecorder::Has(const std::wstring& line) const {
    for (const std::wstring& l : lines)
        if (l == line) return true;
    return false;
}

// The stand-in main window.

bool TestMainWnd::Create() {
    constexpr const wchar_t* kClass = L"PelicanExecutiveTestMain";
    if (!RegisterWindowClass(kClass)) return false;
    return CreateEx(0, kClass, L"main", WS_OVERLAPPEDWINDOW, RECT{10, 10, 410, 310}, nullptr, 0);
}

LRESULT TestMainWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    CommandArgs args;
    switch (msg) {
        case WM_COPY_PROGRESS:
            args.words[4] = static_cast<INT_PTR>(wp);
            args.words[5] = static_cast<INT_PTR>(lp);
            if (executive) executive->InvokeCommand(L"UpdateCopyProgress", 0, &args);
            return 0;
        case WM_COPY_FINISHED:
            args.words[3] = static_cast<INT_PTR>(wp);
            if (executive) executive->InvokeCommand(L"CopyFinished", 0, &args);
            return 0;
        case WM_SHOW_ABOUT_BUTTON:
            aboutShows.push_back(wp);
            zoomedAtAbout.push_back(::IsZoomed(hwnd()));
            return 0;
        default:
            return CWnd::WindowProc(msg, wp, lp);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (::GetTickCount() - start > timeoutMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

IEmberAppModule* LoadShuttleModule(HMODULE* dll) {
    *dll = ::LoadLibraryW((testsupport::ProgramDirectory() + L"Shuttle.dll").c_str());
    if (!*dll) return nullptr;
    using Factory = UINT_PTR (*)();
    auto create = reinterpret_cast<Factory>(reinterpret_cast<void*>(::GetProcAddress(*dll, MAKEINTRESOURCEA(1))));
    return create ? reinterpret_cast<IEmberAppModule*>(create()) : nullptr;
}

bool RegisterShuttle(CEmberSoftBus* bus) {
    HMODULE dll = nullptr;
    IEmberAppModule* shuttle = LoadShuttleModule(&dll);
    return shuttle && bus->RegisterModule(&ember::MID_Shuttle, shuttle, dll) == S_OK;
}

bool UseDeviceFolder(const std::wstring& root) {
    return ::SetEnvironmentVariableW(L"PELICAN_DEVICE_ROOT", root.c_str()) &&
           ::SetDllDirectoryW(testsupport::ProgramDirectory().c_str());
}

void ForgetDeviceFolder() {
    ::SetDllDirectoryW(nullptr);
    ::SetEnvironmentVariableW(L"PELICAN_DEVICE_ROOT", nullptr);
}

// The fixture.

void ExecutiveFixture::Build(bool withMainWindow, bool withFileView) {
    bus = new CEmberSoftBus();
    config = new FakeConfig(&journal);
    config->ints = seedInts;
    view = new FakeFileView(&journal);
    ui = new FakeUI(&journal);
    exec = new CAppModuleCmdExecutive();
    device = new FakeDevice(&journal);
    bus->RegisterModule(&ember::MID_ConfigModule, config, nullptr);
    if (withFileView) {
        bus->RegisterModule(&ember::MID_FileView, view, nullptr);
    } else {
        delete view;
        view = nullptr;
    }
    bus->RegisterModule(&ember::MID_UIMain, ui, nullptr);
    bus->RegisterModule(&ember::MID_CmdExecutive, exec, nullptr);
    bus->RegisterModule(&ember::MID_Shuttle, device, nullptr);
    ui->executive = exec;
    if (withMainWindow) {
        ASSERT_TRUE(mainWnd.Create());
        mainWnd.executive = exec;
        app.SetMainWnd(&mainWnd);
    }
    initResult = exec->Initialize();
}

void ExecutiveFixture::TearDown() {
    if (device) device->ReleaseCopies();
    if (bus) {
        // Ends any job still running before the partners go.
        if (initResult >= 0) {
            WaitJobEnd(10000);
            exec->Uninitialize();
        }
        bus->Release();
        bus = nullptr;
        device = nullptr;
        initResult = E_UNEXPECTED;
    }
    app.SetMainWnd(nullptr);
    if (mainWnd.hwnd()) mainWnd.DestroyWindow();
    PumpFor(0);
}

void ExecutiveFixture::Arrive() {
    ASSERT_EQ(S_OK, Invoke(L"DeviceArrival"));
    journal.Clear();
    system.messages.clear();
}

bool ExecutiveFixture::WaitJobEnd(DWORD ms) {
    return PumpUntil([this] { return exec->JobKind() == FileOp_Idle; }, ms);
}

}  // namespace exectest
