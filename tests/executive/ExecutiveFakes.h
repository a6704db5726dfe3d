// Recording partners of the command executive on a real soft bus: the file
// view, the device module, the configuration, the user interface, and the
// seams that answer message boxes and dialogs. Every call goes into one
// journal, so tests can assert on the order across modules.
#pragma once
#include <windows.h>
// The platform headers below need the types of <windows.h>.
#include <shellapi.h>

#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "app/IConfigSettings.h"
#include "executive/CAppModuleCmdExecutive.h"
#include "executive/DebugTrace.h"
#include "fileview/IFileView.h"
#include "framework/CEmberAppModuleBase.h"
#include "framework/CEmberSoftBus.h"
#include "tests/support/TestPaths.h"
#include "framework/IUIOperation.h"
#include "platform/SystemServices.h"
#include "shuttle/IShuttle.h"
#include "ui/ModalDialogs.h"

namespace exectest {

// Shared by the worker thread and the test thread, hence the lock.
class Journal {
public:
    void Add(const std::wstring& line) {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(line);
    }
    std::vector<std::wstring> Lines() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }
    // The lines that start with `prefix`, in order.
    std::vector<std::wstring> With(const std::wstring& prefix) const;
    size_t Count(const std::wstring& prefix) const { return With(prefix).size(); }
    // Position of the first line equal to `line`, or -1.
    int IndexOf(const std::wstring& line) const;
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::wstring> lines_;
};

class FakeFileView : public CEmberAppModuleBase, public IFileView {
public:
    explicit FakeFileView(Journal* journal) : journal_(journal) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;

    int LoadTree(const tag_DirectoryFileTree* tree, int reason) override;
    int ClearViews() override;
    int SetRootPath(const wchar_t* path) override;
    std::wstring GetCurrentFolder() override { return currentFolder; }
    std::wstring GetSelectedName() override { return selectedName; }
    std::wstring GetSelectedPath() override;
    const std::vector<std::wstring>& GetSelectedPaths() override;
    int EnableViews(int flag) override;
    int ClearList() override;
    int SelectParentFolder() override;

    std::wstring currentFolder;
    std::wstring selectedName;
    std::vector<std::wstring> selectedRows;  // names; paths are the current folder plus each
    int viewsEnabled = -1;
    std::set<DWORD> threads;  // every thread that called in

private:
    void Note(const std::wstring& line);
    Journal* journal_;
    std::vector<std::wstring> selectedPaths_;
};

// The device module: IShuttle and the device library's object it hands out.
class FakeDevice : public CEmberAppModuleBase, public IShuttle, public IHandsetInteraction {
public:
    explicit FakeDevice(Journal* journal);
    ~FakeDevice() override;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;

    // IShuttle.
    bool CopyToPC(const wchar_t* const* devicePaths, const wchar_t* pcFolder, ProgressCallback progress) override;
    bool CopyFileToDevice(const wchar_t* pcFile, wchar_t* devicePath, ProgressCallback progress) override;
    bool CopyFolderToDevice(const wchar_t* pcFolder, wchar_t* devicePath, ProgressCallback progress) override;
    bool DeletePath(const wchar_t* devicePath) override;
    bool CreateFolder(const wchar_t* devicePath) override;
    bool RenamePath(const wchar_t* oldPath, const wchar_t* newPath) override;
    tag_DirectoryFileTree* GetDirectoryTree(const wchar_t* folder, int depth) override;
    int QueryPathList(const wchar_t* const*) override { return -1; }

    // IHandsetInteraction: only PathExists is asked by the executive.
    bool SetNotificationCallback(NotificationCallback) override { return true; }
    bool IsConnected() override { return connected; }
    bool PathExists(const wchar_t* devicePath) override;
    void Close() override {}

    // Configuration, set before use.
    bool libraryBound = true;
    std::set<std::wstring> existing = {L"/var/mobile/Media"};
    bool createResult = true;
    bool renameResult = true;
    bool treeAvailable = true;
    // Decides each copy call's result from the PC path (default: success).
    std::function<bool(const std::wstring& pcPath)> copyResult;
    // Progress reports (total, done) made by every copy call, on the calling thread.
    std::vector<std::pair<int, int>> progress;
    // While set, copy calls wait (bounded) for `release` to be signalled.
    bool holdCopies = false;
    // Called inside GetDirectoryTree (to try a nested refresh).
    std::function<void()> onTree;

    void ReleaseCopies() { ::SetEvent(release_); }
    // Signalled when a copy call has started.
    bool WaitCopyStarted(DWORD ms) { return ::WaitForSingleObject(started_, ms) == WAIT_OBJECT_0; }

    volatile bool connected = true;
    std::set<DWORD> copyThreads;

private:
    bool Copy(const std::wstring& line, const std::wstring& pcPath, ProgressCallback callback);
    Journal* journal_;
    std::mutex mutex_;
    HANDLE release_;
    HANDLE started_;
    tag_DirectoryFileTree tree_;
};

class FakeConfig : public CEmberAppModuleBase, public IConfigSettings {
public:
    explicit FakeConfig(Journal* journal) : journal_(journal) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 0; }
    ULONG STDMETHODCALLTYPE Release() override { return CEmberAppModuleBase::Release(); }

    LONG STDMETHODCALLTYPE GetIntValue(const wchar_t* key, LONG defaultValue, LONG) override;
    void STDMETHODCALLTYPE SetIntValue(const wchar_t* key, LONG value, LONG) override;
    LONG STDMETHODCALLTYPE GetStringValue(const wchar_t* key, wchar_t* buffer, LONG capacity, LONG) override;
    void STDMETHODCALLTYPE SetStringValue(const wchar_t* key, const wchar_t* value, LONG) override;
    void STDMETHODCALLTYPE ShowInformation(LONG kind, LONG flag) override;
    void STDMETHODCALLTYPE ShowHelp() override;

    std::map<std::wstring, LONG> ints;
    std::map<std::wstring, std::wstring> strings;

private:
    Journal* journal_;
};

// The user interface: records redraw requests and what "CopyProgress" held at each.
class FakeUI : public CEmberAppModuleBase, public IUIOperation {
public:
    explicit FakeUI(Journal* journal) : journal_(journal) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT UpdateUI(const wchar_t* names) override;
    HRESULT ReloadSkin() override { return S_OK; }
    LONG PreTranslateMessage(MSG*) override { return 0; }

    ICommandExecutive* executive = nullptr;
    std::vector<LONG> progressSeen;

private:
    Journal* journal_;
};

struct ShownMessage {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
};

class FakeSystem : public platform::ISystemServices {
public:
    int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) override;
    bool StartProcess(const std::wstring& application, const std::wstring& commandLine) override;
    SYSTEMTIME LocalTime() override { return SYSTEMTIME{}; }
    DWORD TickCount() override { return tick; }
    long long UnixTime() override { return 0; }
    DWORD OsMajorVersion() override { return osMajor; }
    DWORD OsMinorVersion() override { return 1; }
    void TaskbarProgress(HWND window, ULONGLONG done, ULONGLONG total) override {
        taskbar.push_back({window, done, total});
    }

    struct TaskbarCall {
        HWND window;
        ULONGLONG done, total;
    };
    std::vector<TaskbarCall> taskbar;
    std::vector<ShownMessage> messages;
    std::vector<int> answers;  // taken in order; IDOK/IDYES when used up
    std::function<void(const std::wstring& text)> onMessage;
    std::vector<std::pair<std::wstring, std::wstring>> started;
    bool startResult = true;
    DWORD tick = 4242;
    DWORD osMajor = 6;

    std::vector<std::wstring> Texts() const;
};

class FakeDialogs : public IModalDialogs {
public:
    bool BrowseForFolder(HWND owner, const std::wstring& title, UINT flags, std::wstring* folder) override;
    bool OpenFile(HWND owner, std::wstring* file) override;
    bool AskName(HWND owner, const std::wstring& title, std::wstring* name) override;
    void ShowAbout(HWND) override {}

    bool browseOk = true;
    std::wstring browseFolder = L"C:\\";
    bool openOk = true;
    std::wstring openFile;
    bool nameOk = true;
    std::wstring name;

    std::vector<std::wstring> titles;
    std::vector<std::wstring> initialNames;
    std::vector<HWND> owners;
    UINT browseFlags = 0;
};

class TraceRecorder : public IDebugTraceSink {
public:
    void Line(const std::wstring& line) override { lines.push_back(line); }
    bool Has(const std::wstring& line) const;
    std::vector<std::wstring> lines;
};

// The stand-in main window: turns the worker's messages into commands, as the
// real one does, and records the "About" show commands.
class TestMainWnd : public platform::CWnd {
public:
    bool Create();
    ICommandExecutive* executive = nullptr;
    std::vector<WPARAM> aboutShows;
    std::vector<BOOL> zoomedAtAbout;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

// Pumps this thread's messages until `done` holds or `timeoutMs` passed.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
// Pumps whatever is queued now, for about `ms`.
void PumpFor(DWORD ms);

// Shuttle.dll from the program folder, bound as the host binds it: its module
// (null when that failed) and the library, which goes to the soft bus with it.
IEmberAppModule* LoadShuttleModule(HMODULE* dll);
// Binds Shuttle.dll and registers it on `bus`; false when either failed.
bool RegisterShuttle(CEmberSoftBus* bus);
// The folder-backed device at `root` for the Shuttle.dll bound next (the library
// reads its root when Shuttle.dll creates it, and is found beside Shuttle.dll),
// and back to none.
bool UseDeviceFolder(const std::wstring& root);
void ForgetDeviceFolder();

using testsupport::MakeDrop;

}  // namespace exectest
