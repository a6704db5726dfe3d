// CAppModuleCmdExecutive: the command table, dispatch, device arrival and
// removal, the root choice and the window commands.
#include "executive/CAppModuleCmdExecutive.h"

#include <cwchar>
#include <iterator>

#include "app/Applog.h"
#include "framework/EmberResult.h"
#include "framework/IUIOperation.h"
#include "platform/SystemServices.h"
#include "platform/WinApp.h"
#include "platform/Wnd.h"

namespace {

constexpr const wchar_t* kCaption = L"Pelican";
constexpr const wchar_t* kMediaFolder = L"/var/mobile/Media";
constexpr const wchar_t* kWaiting = L"Waiting for Handset...";
constexpr const wchar_t* kConnected = L"Handset Connected.";
constexpr const wchar_t* kUnreadable = L"This folder cannot be read. Press F5 to try again.";
constexpr const wchar_t* kServiceMissing = L"Handset service not found. Install the handset vendor's software.";
constexpr const wchar_t* kNotTrusted =
    L"This computer is not trusted yet. Unlock the handset, open the vendor's software once and tap Trust on the "
    L"handset.";

// The commands that need a device and no running job, in this order.
constexpr const wchar_t* kDeviceCommandSet[] = {
    L"CopyToPC",      L"CopyFileToDevice", L"CopyFolderToDevice", L"DeleteFromDevice", L"CreateFolder",
    L"SpecifyFolder", L"OpenFolder",       L"FileTreeSelchanged", L"DropFiles",        L"DragFileToPC",
    L"Refresh",       L"Up",               L"CopyToClipboard",    L"PasteFromClipboard",
};

// Words 3, 4 and 5 all 1 let a caller run a command that the table has disabled.
bool ForcesDispatch(const CommandArgs* args) {
    return args && args->words[3] == 1 && args->words[4] == 1 && args->words[5] == 1;
}

}  // namespace

CAppModuleCmdExecutive::CAppModuleCmdExecutive() : relay_(this) {
    using E = CAppModuleCmdExecutive;
    struct Row {
        const wchar_t* name;
        LONG keyCode;
        LONG keyModifier;
        CommandHandler handler;
    };
    // Table order is part of the contract with the windows; keep it.
    const Row rows[kCommandCount] = {
        {L"Power_Off", VK_F4, VK_MENU, &E::OnCmdPowerOff},
        {L"About", 0, 0, &E::OnCmdAbout},
        {L"Help", VK_F1, 0, &E::OnCmdHelp},
        {L"Minimize", 0, 0, &E::OnCmdMinimize},
        {L"Maximize", 0, 0, &E::OnCmdMaximize},
        {L"Menu", 0, 0, &E::OnCmdMenu},
        {L"Option", 0, 0, &E::OnCmdOption},
        {L"UpdateUI", 0, 0, &E::OnCmdUpdateUI},
        {L"DeviceArrival", 0, 0, &E::OnCmdDeviceArrival},
        {L"DeviceRemoved", 0, 0, &E::OnCmdDeviceRemoved},
        {L"CopyToPC", 0, 0, &E::OnCmdCopyToPC},
        {L"CopyFileToDevice", 0, 0, &E::OnCmdCopyFileToDevice},
        {L"CopyFolderToDevice", 0, 0, &E::OnCmdCopyFolderToDevice},
        {L"DeleteFromDevice", 0, 0, &E::OnCmdDeleteFromDevice},
        {L"CreateFolder", 0, 0, &E::OnCmdCreateFolder},
        {L"RenamePath", 0, 0, &E::OnCmdRenamePath},
        {L"OpenFolder", 0, 0, &E::OnCmdOpenFolder},
        {L"FileTreeSelchanged", 0, 0, &E::OnCmdFileTreeSelchanged},
        {L"DropFiles", 0, 0, &E::OnCmdDropFiles},
        {L"DragFileToPC", 0, 0, &E::OnCmdDragFileToPC},
        {L"Information", 0, 0, nullptr},
        {L"CopyProgress", 0, 0, nullptr},
        {L"SpecifyFolder", 0, 0, &E::OnCmdSpecifyFolder},
        {L"UpdateCopyProgress", 0, 0, &E::OnCmdUpdateCopyProgress},
        {L"CopyFinished", 0, 0, &E::OnCmdCopyFinished},
        {L"CheckUpdate", 0, 0, &E::OnCmdCheckUpdate},
        {L"Refresh", VK_F5, 0, &E::OnCmdRefresh},
        {L"Up", VK_UP, VK_MENU, &E::OnCmdUp},
        {L"CancelCopy", VK_ESCAPE, 0, &E::OnCmdCancelCopy},
        {L"DeviceServiceMissing", 0, 0, &E::OnCmdDeviceServiceMissing},
        {L"DeviceNotTrusted", 0, 0, &E::OnCmdDeviceNotTrusted},
        {L"CheckUpdateNow", 0, 0, &E::OnCmdCheckUpdateNow},
        {L"CopyToClipboard", 'C', VK_CONTROL, &E::OnCmdCopyToClipboard},
        {L"PasteFromClipboard", 'V', VK_CONTROL, &E::OnCmdPasteFromClipboard},
    };
    for (int i = 0; i < kCommandCount; ++i) {
        CommandEntry& entry = table_[i];
        entry = CommandEntry{};
        entry.name = rows[i].name;
        entry.keyCode = rows[i].keyCode;
        entry.keyModifier = rows[i].keyModifier;
        // Every row starts enabled, the two display rows too: the windows enable a
        // control from its row, and a disabled progress bar ignores every new
        // position. Those rows have no handler, so invoking them still fails.
        entry.enabled = 1;
        entry.handler = rows[i].handler;
    }
    // Only a running job can be cancelled.
    table_[RowOf(L"CancelCopy")].enabled = 0;
}

CAppModuleCmdExecutive::~CAppModuleCmdExecutive() {
    relayHandle_ = nullptr;
    // The worker calls into Shuttle.dll, which goes right after this module.
    StopWorker();
}

HRESULT STDMETHODCALLTYPE CAppModuleCmdExecutive::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (ember::SameGuid(iid, ember::IID_ICommandExecutive)) {
        *out = static_cast<ICommandExecutive*>(this);
        return S_OK;
    }
    if (ember::SameGuid(iid, ember::IID_IEmberAppModuleEventSink)) {
        *out = static_cast<IEmberAppModuleEventSink*>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE CAppModuleCmdExecutive::Initialize() {
    EMBER_RETURN_IF_FAILED(LookUp(ember::MID_ConfigModule, ember::IID_IConfigSettings, &config_));
    EMBER_RETURN_IF_FAILED(LookUp(ember::MID_Shuttle, ember::IID_IShuttle, &shuttle_));
    EMBER_RETURN_IF_FAILED(LookUp(ember::MID_FileView, ember::IID_IFileView, &fileView_));
    if (!Ready()) return E_POINTER;

    // Device notifications come from another thread; they are run here, on the thread that owns the windows.
    if (!relay_.hwnd() && !relay_.Create()) {
        PelicanLog(0, L"Command executive: no relay window (error %u)!\n", ::GetLastError());
        return E_FAIL;
    }
    relayHandle_ = relay_.hwnd();
    uiThreadId_ = ::GetCurrentThreadId();

    SetText(L"Information", kWaiting);
    SetValue(L"SpecifyFolder", config_->GetIntValue(L"CurrentSpecifyFolder", 0, 0));
    DeviceCommandSet(0);
    UpdateUI(L"");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CAppModuleCmdExecutive::Uninitialize() {
    StopWorker();
    relayHandle_ = nullptr;
    EndShellTransfers();
    if (relay_.hwnd()) relay_.DestroyWindow();
    return S_OK;
}

LONG STDMETHODCALLTYPE CAppModuleCmdExecutive::IsCommandEnabled(const wchar_t* name) {
    const CommandEntry* entry = Find(name);
    return entry ? entry->enabled : 0;
}

INT_PTR STDMETHODCALLTYPE CAppModuleCmdExecutive::GetCommandValue(const wchar_t* name, LONG raw) {
    const CommandEntry* entry = Find(name);
    if (!entry) return 0;
    // The status line is handed out by address; the windows read it on this thread.
    if (!raw && entry == Find(L"Information")) return reinterpret_cast<INT_PTR>(entry->text);
    return entry->value;
}

HRESULT STDMETHODCALLTYPE CAppModuleCmdExecutive::InvokeCommand(const wchar_t* name, LONG param, CommandArgs* args) {
    if (OnUiThread()) return Dispatch(name, param, args);

    // Another thread (the device library's): hand the command to the user-interface thread.
    // Row names never change, so finding the row here is safe.
    int row = RowOf(name);
    if (row < 0) {
        PelicanLog(2, L"Don't find control %s!\n", name ? name : L"");
        return E_FAIL;
    }
    if (args) {
        // A record's pointers would not outlive the hand-over.
        PelicanLog(2, L"Don't enable control %s from another thread with arguments!\n", name);
        return E_INVALIDARG;
    }
    HWND relay = relayHandle_.load();
    if (!relay || !::PostMessageW(relay, CCommandRelayWnd::kRelayCommand, static_cast<WPARAM>(row), param))
        return E_UNEXPECTED;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CAppModuleCmdExecutive::OnKeyMessage(UINT, LONG, LONG, LONG) { return S_OK; }

HRESULT CAppModuleCmdExecutive::Dispatch(const wchar_t* name, LONG param, CommandArgs* args) {
    CommandEntry* entry = Find(name);
    if (!entry) {
        PelicanLog(2, L"Don't find control %s!\n", name ? name : L"");
        return E_FAIL;
    }
    // Recorded even when the command is then refused.
    entry->lastParam = param;
    if (!entry->handler || (!entry->enabled && !ForcesDispatch(args))) {
        PelicanLog(2, L"Don't enable control %s!\n", name);
        return E_FAIL;
    }
    return (this->*(entry->handler))(name, param, args);
}

void CAppModuleCmdExecutive::RunRelayedCommand(int row, LONG param) {
    if (row < 0 || row >= kCommandCount) return;
    Dispatch(table_[row].name, param, nullptr);
}

void CAppModuleCmdExecutive::RunRelayedCompletion(bool success) {
    CommandArgs args;
    args.words[3] = success ? 1 : 0;
    Dispatch(L"CopyFinished", 0, &args);
}

bool CAppModuleCmdExecutive::OnUiThread() const {
    DWORD ui = uiThreadId_.load();
    return ui == 0 || ui == ::GetCurrentThreadId();
}

int CAppModuleCmdExecutive::RowOf(const wchar_t* name) const {
    if (!name) return -1;
    for (int i = 0; i < kCommandCount; ++i)
        if (_wcsicmp(table_[i].name, name) == 0) return i;
    return -1;
}

CommandEntry* CAppModuleCmdExecutive::Find(const wchar_t* name) {
    int row = RowOf(name);
    return row < 0 ? nullptr : &table_[row];
}

void CAppModuleCmdExecutive::SetText(const wchar_t* row, const wchar_t* text) {
    CommandEntry* entry = Find(row);
    if (!entry) return;
    std::wmemset(entry->text, L'\0', std::size(entry->text));
    // Only fixed short texts come here; the bound keeps the terminator all the same.
    std::wcsncpy(entry->text, text, std::size(entry->text) - 1);
}

void CAppModuleCmdExecutive::SetValue(const wchar_t* row, LONG value) {
    if (CommandEntry* entry = Find(row)) entry->value = value;
}

LONG CAppModuleCmdExecutive::ValueOf(const wchar_t* row) {
    const CommandEntry* entry = Find(row);
    return entry ? entry->value : 0;
}

void CAppModuleCmdExecutive::UpdateUI(const wchar_t* names) {
    // Looked up on every call: the user interface may come and go independently.
    IUIOperation* ui = nullptr;
    if (LookUp(ember::MID_UIMain, ember::IID_IUIOperation, &ui) < 0 || !ui) return;
    ui->UpdateUI(names ? names : L"");
}

HWND CAppModuleCmdExecutive::MainWindow() const { return MainWindowHandle(); }

int CAppModuleCmdExecutive::Message(const std::wstring& text, UINT type, const wchar_t* caption) {
    return platform::System().MessageBox(MainWindow(), text, caption ? caption : kCaption, type);
}

bool CAppModuleCmdExecutive::FitsOrTell(const std::wstring& path) {
    if (FitsPathBuffer(path)) return true;
    Message(L"The path is too long (at most 259 characters):\n" + path, MB_OK | MB_ICONERROR);
    return false;
}

void CAppModuleCmdExecutive::DeviceCommandSet(LONG flag) {
    for (const wchar_t* name : kDeviceCommandSet)
        if (CommandEntry* entry = Find(name)) entry->enabled = flag;
    UpdateUI(L"");
    if (fileView_) fileView_->EnableViews(flag);
}

void CAppModuleCmdExecutive::RefreshFolder(const std::optional<std::wstring>& path, int reason) {
    if (refreshing_ || !Ready()) return;
    refreshing_ = true;
    fileView_->EnableViews(0);
    std::wstring folder = path ? *path : fileView_->GetCurrentFolder();
    if (tag_DirectoryFileTree* tree = ListFolder(folder)) {
        fileView_->LoadTree(tree, reason);
        if (devicePresent_ && Find(L"Information")->text == std::wstring(kUnreadable)) SetStatus(kConnected);
    } else {
        // Rows of the folder shown before must not stand under this one's path.
        fileView_->ClearList();
        if (devicePresent_) SetStatus(kUnreadable);
    }
    // The views follow the device commands: a refresh during a copy (after a rename) keeps them off.
    fileView_->EnableViews(IsCommandEnabled(L"CopyToPC") ? 1 : 0);
    refreshing_ = false;
}

namespace {
struct ListingCall {
    IShuttle* shuttle;
    std::wstring folder;
    tag_DirectoryFileTree* tree = nullptr;
};

DWORD WINAPI ListOnThread(void* param) {
    auto* call = static_cast<ListingCall*>(param);
    call->tree = call->shuttle->GetDirectoryTree(call->folder.c_str(), kListingDepth);
    return 0;
}
}  // namespace

tag_DirectoryFileTree* CAppModuleCmdExecutive::ListFolder(const std::wstring& folder) {
    // A folder of 100,000 entries takes the device seconds to list. The
    // listing runs on a thread of its own while this one keeps answering
    // what other threads and programs send its windows, so the window never
    // looks hung; posted input waits, so nothing the user does runs meanwhile.
    ListingCall call{shuttle_, folder};
    platform::UniqueHandle thread(::CreateThread(nullptr, 0, &ListOnThread, &call, 0, nullptr));
    if (!thread) return shuttle_->GetDirectoryTree(folder.c_str(), kListingDepth);
    HANDLE handle = thread.get();
    while (::MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    return call.tree;
}

void CAppModuleCmdExecutive::SetStatus(const wchar_t* text) {
    SetText(L"Information", text);
    UpdateUI(L"Information");
}

std::wstring CAppModuleCmdExecutive::MediaRoot() {
    // Without the device library there is nothing to ask; the media folder is the usual root.
    IHandsetInteraction* device = nullptr;
    if (LookUp(ember::MID_Shuttle, ember::IID_IHandsetInteraction, &device) < 0 || !device ||
        device->PathExists(kMediaFolder))
        return kMediaFolder;
    return L"/";
}

void CAppModuleCmdExecutive::ShowChosenRoot() {
    // 0 is the media folder (when the device has one), 1 the device root; an unknown
    // stored value leaves the root empty rather than guessing.
    LONG choice = config_->GetIntValue(L"CurrentSpecifyFolder", 0, 0);
    std::wstring root = choice == 0 ? MediaRoot() : (choice == 1 ? L"/" : L"");
    fileView_->SetRootPath(root.c_str());
    RefreshFolder(root, FileOp_NewRoot);
}

HRESULT CAppModuleCmdExecutive::OnCmdDeviceArrival(const wchar_t*, LONG, CommandArgs*) {
    if (!Ready()) return E_POINTER;
    devicePresent_ = true;
    SetText(L"Information", kConnected);
    UpdateUI(L"");
    ShowChosenRoot();
    // A copy still running keeps the device commands off until it has finished.
    if (job_.kind == FileOp_Idle) DeviceCommandSet(1);
    UpdateUI(L"");
    return S_OK;
}

HRESULT CAppModuleCmdExecutive::OnCmdDeviceRemoved(const wchar_t*, LONG, CommandArgs*) {
    if (!Ready()) return E_POINTER;
    // Remembered so that a copy failing because of the removal does not report the handset back.
    devicePresent_ = false;
    DeviceCommandSet(0);
    SetText(L"Information", kWaiting);
    fileView_->ClearViews();
    UpdateUI(L"");
    return S_OK;
}

void CAppModuleCmdExecutive::ExplainNoDevice(const wchar_t* text) {
    // A late report from the library must not hide a handset that is already shown.
    if (devicePresent_) return;
    SetText(L"Information", text);
    UpdateUI(L"Information");
}

HRESULT CAppModuleCmdExecutive::OnCmdDeviceServiceMissing(const wchar_t*, LONG, CommandArgs*) {
    ExplainNoDevice(kServiceMissing);
    return S_OK;
}

HRESULT CAppModuleCmdExecutive::OnCmdDeviceNotTrusted(const wchar_t*, LONG, CommandArgs*) {
    ExplainNoDevice(kNotTrusted);
    return S_OK;
}

HRESULT CAppModuleCmdExecutive::OnCmdRefresh(const wchar_t*, LONG, CommandArgs*) {
    if (!Ready()) return E_POINTER;
    // No folder shown although a handset is there: its root could not be listed
    // at arrival, and is tried again.
    if (devicePresent_ && fileView_->GetCurrentFolder().empty())
        ShowChosenRoot();
    else
        RefreshFolder(std::nullopt, FileOp_Refresh);
    UpdateUI(L"");
    return S_OK;
}

HRESULT CAppModuleCmdExecutive::OnCmdUp(const wchar_t*, LONG, CommandArgs*) {
    if (!Ready()) return E_POINTER;
    // The tree moves to the parent and lists it as a click there would; at the root nothing moves.
    return fileView_->SelectParentFolder() ? S_OK : S_FALSE;
}

HRESULT CAppModuleCmdExecutive::OnCmdSpecifyFolder(const wchar_t*, LONG, CommandArgs* args) {
    if (!args) return E_POINTER;
    if (!Ready()) return E_POINTER;
    const INT_PTR request = args->words[3];
    if (request == ValueOf(L"SpecifyFolder")) return S_OK;
    std::wstring root;
    if (request == 1) {
        int answer = Message(L"Root files corrupted may cause Handset unavailable!", MB_OKCANCEL,
                             L"Root Folder");
        if (answer != IDOK) {
            // The toggle was already drawn as pressed; put it back.
            SetValue(L"SpecifyFolder", 0);
            UpdateUI(L"SpecifyFolder");
            return E_FAIL;
        }
        SetValue(L"SpecifyFolder", 1);
        config_->SetIntValue(L"CurrentSpecifyFolder", 1, 0);
        root = L"/";
    } else if (request == 0) {
        SetValue(L"SpecifyFolder", 0);
        config_->SetIntValue(L"CurrentSpecifyFolder", 0, 0);
        root = MediaRoot();
    } else {
        return E_FAIL;
    }
    fileView_->ClearViews();
    fileView_->SetRootPath(root.c_str());
    RefreshFolder(root, FileOp_NewRoot);
    UpdateUI(L"");
    return S_OK;
}

HRESULT CAppModuleCmdExecutive::OnCmdPowerOff(const wchar_t*, LONG, CommandArgs*) {
    if (!QuitNowOrAfterJob()) return S_OK;
    // The host stops the modules once the loop has ended.
    ::PostQuitMessage(7);
    return S_OK;
}

HRESULT CAppModuleCmdExecutive::OnCmdAbout(const wchar_t*, LONG, CommandArgs*) {
    if (!config_) return E_POINTER;
    config_->ShowInformation(2, 0);
    return S_OK;
}

HRESULT CAppModuleCmdExecutive::OnCmdHelp(const wchar_t*, LONG, CommandArgs*) {
    // Unlike "About", help answers 0 whether or not there is a service to show it.
    if (config_) config_->ShowHelp();
    return S_OK;
}

HRESULT CAppModuleCmdExecutive::OnCmdMinimize(const wchar_t*, LONG, CommandArgs*) {
    HWND main = MainWindow();
    if (!main) return E_FAIL;
    ::ShowWindow(main, SW_MINIMIZE);
    return S_OK;
}

HRESULT CAppModuleCmdExecutive::OnCmdMaximize(const wchar_t*, LONG, CommandArgs*) {
    HWND main = MainWindow();
    if (!main) return E_FAIL;
    // The "About" button hides while the window changes size, and the toggle shows as pressed.
    ::SendMessageW(main, WM_SHOW_ABOUT_BUTTON, SW_HIDE, 0);
    SetValue(L"Maximize", 1);
    UpdateUI(L"Maximize");
    ::ShowWindow(main, ::IsZoomed(main) ? SW_RESTORE : SW_MAXIMIZE);
    ::SendMessageW(main, WM_SHOW_ABOUT_BUTTON, SW_SHOW, 0);
    SetValue(L"Maximize", 0);
    UpdateUI(L"Maximize");
    return S_OK;
}

HRESULT CAppModuleCmdExecutive::OnCmdMenu(const wchar_t*, LONG, CommandArgs*) { return S_OK; }

HRESULT CAppModuleCmdExecutive::OnCmdOption(const wchar_t*, LONG, CommandArgs*) { return config_ ? S_OK : E_POINTER; }

HRESULT CAppModuleCmdExecutive::OnCmdUpdateUI(const wchar_t*, LONG, CommandArgs* args) {
    const wchar_t* names = args ? reinterpret_cast<const wchar_t*>(args->words[4]) : nullptr;
    UpdateUI(names ? names : L"");
    return S_OK;
}

// CCommandRelayWnd.

bool CCommandRelayWnd::Create() {
    constexpr const wchar_t* kClass = L"PelicanCommandRelay";
    if (!RegisterWindowClass(kClass, 0)) return false;
    // Message-only: never shown nor enumerated, only posted to.
    return CreateEx(0, kClass, L"", 0, RECT{}, HWND_MESSAGE, 0);
}

LRESULT CCommandRelayWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case kRelayCommand:
            owner_->RunRelayedCommand(static_cast<int>(wp), static_cast<LONG>(lp));
            return 0;
        case kRelayCompletion:
            owner_->RunRelayedCompletion(wp != 0);
            return 0;
        case kAskClash:
            owner_->AnswerClash(reinterpret_cast<ClashQuestion*>(lp));
            return 1;
        case kRelayShellRead:
            owner_->OnShellRead(wp != 0, lp != 0);
            return 0;
        default:
            return CWnd::WindowProc(msg, wp, lp);
    }
}
