// The command executive: the one place user actions arrive as named commands.
// It holds the command table (enabled flags, values and texts the windows
// show), the device root choice, the one copy job and the folder refresh.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <wrl/client.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/IConfigSettings.h"
#include "executive/CCommandRelayWnd.h"
#include "executive/CopyJob.h"
#include "fileview/IFileView.h"
#include "framework/CEmberAppModuleBase.h"
#include "framework/ICommandExecutive.h"
#include "framework/IEmberEventSink.h"
#include "shelltransfer/MtaHome.h"
#include "shuttle/IShuttle.h"

class DeviceReadSession;

class CAppModuleCmdExecutive;

using CommandHandler = HRESULT (CAppModuleCmdExecutive::*)(const wchar_t* name, LONG param, CommandArgs* args);

struct CommandEntry {
    const wchar_t* name;
    LONG lastParam;
    LONG keyCode;
    LONG keyModifier;
    LONG enabled;
    LONG value;
    wchar_t text[260];
    CommandHandler handler;
};

class CAppModuleCmdExecutive : public CEmberAppModuleBase, public ICommandExecutive, public IEmberAppModuleEventSink {
public:
    static constexpr int kCommandCount = 34;

    CAppModuleCmdExecutive();
    ~CAppModuleCmdExecutive() override;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return CEmberAppModuleBase::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return CEmberAppModuleBase::Release(); }
    HRESULT STDMETHODCALLTYPE Initialize() override;
    HRESULT STDMETHODCALLTYPE Uninitialize() override;

    LONG STDMETHODCALLTYPE IsCommandEnabled(const wchar_t* name) override;
    INT_PTR STDMETHODCALLTYPE GetCommandValue(const wchar_t* name, LONG raw) override;
    HRESULT STDMETHODCALLTYPE InvokeCommand(const wchar_t* name, LONG param, CommandArgs* args) override;
    HRESULT STDMETHODCALLTYPE OnKeyMessage(UINT key, LONG a, LONG b, LONG c) override;

    HRESULT STDMETHODCALLTYPE OnModuleEvent(INT_PTR, INT_PTR, INT_PTR, INT_PTR) override { return S_OK; }

    // Gives the ten device commands one enabled flag, redraws, and enables or disables the views.
    void DeviceCommandSet(LONG flag);
    // Lists `path` (the current folder when absent) and loads it into the views; never nested.
    void RefreshFolder(const std::optional<std::wstring>& path, int reason);
    // The device's listing of a folder, two levels deep; the window answers meanwhile.
    tag_DirectoryFileTree* ListFolder(const std::wstring& folder);
    // "/var/mobile/Media" unless the device is known to lack it, then "/".
    std::wstring MediaRoot();

    const CommandEntry& Entry(int row) const { return table_[row]; }
    int JobKind() const { return job_.kind; }
    const CopyJob& Job() const { return job_; }

private:
    friend class CCommandRelayWnd;

    CommandEntry* Find(const wchar_t* name);
    int RowOf(const wchar_t* name) const;
    void SetText(const wchar_t* row, const wchar_t* text);
    // The status line, redrawn.
    void SetStatus(const wchar_t* text);
    void SetValue(const wchar_t* row, LONG value);
    LONG ValueOf(const wchar_t* row);
    void UpdateUI(const wchar_t* names);
    HWND MainWindow() const;
    int Message(const std::wstring& text, UINT type = MB_OK, const wchar_t* caption = nullptr);
    // True when the path fits a 260-character buffer; otherwise tells the user.
    bool FitsOrTell(const std::wstring& path);
    bool Ready() const { return shuttle_ && fileView_ && config_; }
    bool OnUiThread() const;
    // Sets the root of the stored choice and lists it.
    void ShowChosenRoot();
    // True while the views still show `folder`.
    bool StillShowing(const std::wstring& folder);
    HRESULT Dispatch(const wchar_t* name, LONG param, CommandArgs* args);
    // The relay window's entries, on the user-interface thread.
    void RunRelayedCommand(int row, LONG param);
    void RunRelayedCompletion(bool success);

    // Jobs (ExecutiveTransfers.cpp).
    HRESULT StartJob();
    // A PC file or folder into the device; nothing starts while another job runs.
    HRESULT StartCopyToDevice(FileOp kind, const std::wstring& source, const std::wstring& destination);
    // Stops a running job and waits for its worker, still answering the worker's questions.
    void StopWorker();
    // The worker's clash question, on the user-interface thread.
    void AnswerClash(ClashQuestion* question);
    // Closing while a job runs: false when the program must go on (for now).
    bool QuitNowOrAfterJob();
    // The end of a job: the summary of a whole job, or the plain message.
    void ShowJobSummary(bool success);
    // Where the job copies to, as the user chose it.
    std::wstring JobTarget() const;
    // "CancelCopy" is enabled exactly while a job runs.
    void EnableCancel(LONG flag);

    // Device entries offered to the shell (ExecutiveShellTransfer.cpp).
    // The selection as virtual files.
    HRESULT OfferSelection(IDataObject** offer, std::shared_ptr<DeviceReadSession>* session);
    // A drop target started (or stopped) reading an offer: the device commands are off meanwhile.
    void OnShellRead(bool started, bool ok);
    // At exit: our clipboard entry is emptied, not flushed, and no offer reaches the device any more.
    void EndShellTransfers();

    HRESULT OnCmdPowerOff(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdAbout(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdHelp(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdMinimize(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdMaximize(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdMenu(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdOption(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdUpdateUI(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdDeviceArrival(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdDeviceRemoved(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdCopyToPC(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdCopyFileToDevice(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdCopyFolderToDevice(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdDeleteFromDevice(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdCreateFolder(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdRenamePath(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdOpenFolder(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdFileTreeSelchanged(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdDropFiles(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdDragFileToPC(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdSpecifyFolder(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdUpdateCopyProgress(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdCopyFinished(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdCheckUpdate(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdRefresh(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdUp(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdCancelCopy(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdDeviceServiceMissing(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdDeviceNotTrusted(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdCheckUpdateNow(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdCopyToClipboard(const wchar_t*, LONG, CommandArgs*);
    HRESULT OnCmdPasteFromClipboard(const wchar_t*, LONG, CommandArgs*);
    // Starts Caretaker.exe with the update address; "interactive" makes it always answer.
    HRESULT StartUpdater(bool withRecord, bool interactive);
    // Why no handset shows: only while none is connected, until the next arrival.
    void ExplainNoDevice(const wchar_t* text);

    IShuttle* shuttle_ = nullptr;
    IConfigSettings* config_ = nullptr;
    IFileView* fileView_ = nullptr;
    CopyJob job_;
    bool refreshing_ = false;
    bool quitAfterJob_ = false;  // the user chose to quit; the job's end ends the program

    CommandEntry table_[kCommandCount];
    // Known on the user-interface thread only: set by "DeviceArrival", cleared by "DeviceRemoved".
    bool devicePresent_ = false;
    std::atomic<DWORD> uiThreadId_{0};
    CCommandRelayWnd relay_;
    // Read by the device library's thread to hand its commands over.
    std::atomic<HWND> relayHandle_{nullptr};

    std::shared_ptr<MtaHome> mtaHome_ = std::make_shared<MtaHome>();
    std::vector<std::weak_ptr<DeviceReadSession>> offers_;
    Microsoft::WRL::ComPtr<IDataObject> clipboardOffer_;  // what Ctrl+C put on the clipboard last
    int shellReads_ = 0;
    bool shellReadsOk_ = true;
};
