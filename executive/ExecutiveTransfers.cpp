// The copy commands: preparing a job, the worker thread, progress and the end of a job.
#include <windows.h>
// The platform headers below need the types of <windows.h>.
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <climits>
#include <memory>

#include "app/Applog.h"
#include "executive/CAppModuleCmdExecutive.h"
#include "executive/ClashPrompt.h"
#include "executive/UpdateCheck.h"
#include "platform/SystemServices.h"
#include "platform/WinApp.h"
#include "platform/Wnd.h"
#include "ui/ModalDialogs.h"

namespace {

constexpr UINT kBrowseFlags = 0x51;  // BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE
constexpr const wchar_t* kBrowseTitle = L"Select Folder:";
// The worker ends right after posting its report; waiting longer means the report was not its own.
constexpr DWORD kWorkerEndWaitMs = 1000;

// What the worker owns: its copy of the job, the record it shares with the
// user-interface thread, and where to report when there is no main window.
struct WorkerStart {
    CopyJob job;
    std::shared_ptr<JobState> state;
    HWND relay;
    IHandsetInteraction* device;  // for existence tests; may be null
};

void PostProgress(WPARAM total, LPARAM done) {
    if (HWND main = MainWindowHandle()) ::PostMessageW(main, WM_COPY_PROGRESS, total, done);
}

DWORD WINAPI CopyWorker(void* arg) {
    std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(arg));
    // The relay window answers clash questions on the user-interface thread.
    const JobChannel channel{start->relay, &PostProgress,
                             [&start] { return TargetHoldsAnItem(start->job, start->device); }};
    const std::optional<bool> whole = RunWholeJob(start->job, *start->state, channel);
    const bool ok = whole ? *whole : RunCopyJob(start->job, &PostCopyProgress);
    // Exactly one completion per job: the main window's, else the executive's own window.
    HWND main = MainWindowHandle();
    if (!main || !::PostMessageW(main, WM_COPY_FINISHED, ok ? 1 : 0, 0)) {
        if (start->relay) ::PostMessageW(start->relay, CCommandRelayWnd::kRelayCompletion, ok ? 1 : 0, 0);
    }
    return 0;
}

// The part of a PC path after its last "\", or the whole path when it has none.
std::wstring NameOf(const std::wstring& pcPath) {
    size_t slash = pcPath.find_last_of(L'\\');
    return slash == std::wstring::npos ? pcPath : pcPath.substr(slash + 1);
}

// Copies a path into a device path buffer; false (nothing copied) when it does not fit.
bool ToBuffer(const std::wstring& path, wchar_t (&buffer)[kPathBuffer]) {
    if (!FitsPathBuffer(path)) return false;
    path.copy(buffer, path.size());
    buffer[path.size()] = L'\0';
    return true;
}

HWND OwnerFrom(const CommandArgs* args, HWND fallback) {
    return (args && args->words[0]) ? reinterpret_cast<HWND>(args->words[0]) : fallback;
}

}  // namespace

HWND MainWindowHandle() {
    platform::CWinApp* app = platform::CWinApp::Current();
    platform::CWnd* wnd = app ? app->MainWnd() : nullptr;
    return wnd ? wnd->hwnd() : nullptr;
}

CopyJob CopyJob::Snapshot() const {
    CopyJob copy;
    copy.kind = kind;
    copy.source = source;
    copy.destination = destination;
    copy.pcPaths = pcPaths;
    copy.devicePaths = devicePaths;
    copy.shuttle = shuttle;
    return copy;
}

bool RunCopyJob(CopyJob& job, ProgressCallback progress) {
    if (!job.shuttle) return false;
    switch (job.kind) {
        case FileOp_CopyToPC: {
            if (job.pcPaths.empty() || job.devicePaths.empty()) return false;
            std::vector<const wchar_t*> list;
            for (const std::wstring& path : job.devicePaths) list.push_back(path.c_str());
            list.push_back(nullptr);
            return job.shuttle->CopyToPC(list.data(), job.pcPaths.front().c_str(), progress);
        }
        case FileOp_CopyFileToDevice:
        case FileOp_CopyFolderToDevice: {
            wchar_t destination[kPathBuffer];
            if (!ToBuffer(job.destination, destination)) return false;
            const bool ok = job.kind == FileOp_CopyFileToDevice
                                ? job.shuttle->CopyFileToDevice(job.source.c_str(), destination, progress)
                                : job.shuttle->CopyFolderToDevice(job.source.c_str(), destination, progress);
            // The device side may rewrite the path in place; what it leaves is taken back.
            destination[kPathBuffer - 1] = L'\0';
            job.destination = destination;
            return ok;
        }
        case FileOp_DropFiles: {
            if (job.devicePaths.empty() || job.pcPaths.empty()) return false;
            wchar_t target[kPathBuffer];
            if (!ToBuffer(job.devicePaths.front(), target)) return false;
            // Every item must arrive: one that failed is not hidden by a later success.
            bool all = true;
            for (const std::wstring& path : job.pcPaths) {
                bool ok = false;
                if (::PathIsDirectoryW(path.c_str())) {
                    // The target may be rewritten by the device side; later items use what it holds.
                    ok = job.shuttle->CopyFolderToDevice(path.c_str(), target, progress);
                    target[kPathBuffer - 1] = L'\0';
                } else {
                    wchar_t destination[kPathBuffer];
                    ok = ToBuffer(target + NameOf(path), destination) &&
                         job.shuttle->CopyFileToDevice(path.c_str(), destination, progress);
                }
                all = all && ok;
            }
            return all;
        }
        default:
            return false;
    }
}

int PostCopyProgress(int total, int done) {
    PostProgress(static_cast<WPARAM>(static_cast<UINT>(total)), static_cast<LPARAM>(static_cast<UINT>(done)));
    return 1;
}

LONG CopyPercent(UINT total, UINT done) {
    // Above 1000 both counts are scaled down by integer division first, so 1999 of 1999 is 1 of 1.
    UINT divisor = 1;
    UINT dividend = done;
    if (total > 1000) {
        divisor = total / 1000;
        dividend = done / 1000;
    } else if (total > 0) {
        divisor = total;
    }
    const double percent = static_cast<double>(dividend) * 100.0 / divisor;
    return percent >= static_cast<double>(LONG_MAX) ? LONG_MAX : static_cast<LONG>(percent);
}

HRESULT CAppModuleCmdExecutive::StartJob() {
    job_.shuttle = shuttle_;
    job_.state = std::make_shared<JobState>();
    job_.state->startTick = ::GetTickCount64();
    DeviceCommandSet(0);
    IHandsetInteraction* device = nullptr;
    LookUp(ember::MID_Shuttle, ember::IID_IHandsetInteraction, &device);
    auto start =
        std::make_unique<WorkerStart>(WorkerStart{job_.Snapshot(), job_.state, relayHandle_.load(), device});
    HANDLE thread = ::CreateThread(nullptr, 0, &CopyWorker, start.get(), 0, nullptr);
    if (!thread) {
        PelicanLog(0, L"Copy worker not started (error %u)!\n", ::GetLastError());
        job_.kind = FileOp_Idle;
        if (devicePresent_) DeviceCommandSet(1);
        Message(L"Copy Failed.", MB_OK | MB_ICONERROR);
        return E_FAIL;
    }
    start.release();  // the worker owns it now
    job_.thread.reset(thread);
    EnableCancel(1);
    // The views were disabled and lost the focus; without one, Escape would
    // arrive as a system key that the dialog manager does not turn into IDCANCEL.
    HWND main = MainWindow();
    if (main && !::GetFocus() && ::GetForegroundWindow() == main) ::SetFocus(main);
    return S_OK;
}

void CAppModuleCmdExecutive::EnableCancel(LONG flag) {
    if (CommandEntry* entry = Find(L"CancelCopy")) entry->enabled = flag;
    UpdateUI(L"CancelCopy");
}

void CAppModuleCmdExecutive::StopWorker() {
    if (!job_.thread) return;
    if (job_.state) job_.state->cancel = true;
    // The worker may be waiting for an answer from this thread: keep answering.
    HANDLE thread = job_.thread.get();
    while (::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void CAppModuleCmdExecutive::AnswerClash(ClashQuestion* question) {
    if (!question || !question->clash) return;
    // A job being stopped asks nobody.
    if (!job_.state || job_.state->cancel) {
        question->cancel = true;
        return;
    }
    const ClashAnswer answer = ClashPrompt().Ask(MainWindow(), *question->clash);
    question->choice = answer.choice;
    question->forAll = answer.forAll;
    question->cancel = answer.cancel;
}

bool CAppModuleCmdExecutive::QuitNowOrAfterJob() {
    if (job_.kind == FileOp_Idle || !job_.thread) return true;
    if (Message(L"A copy is in progress. Cancel it and quit?", MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
    // The job may have ended while the question was up.
    if (job_.kind == FileOp_Idle) return true;
    quitAfterJob_ = true;
    if (job_.state) job_.state->cancel = true;
    // The window keeps answering; the job's end, within a second, ends the program.
    return false;
}

HRESULT CAppModuleCmdExecutive::OnCmdCancelCopy(const wchar_t*, LONG, CommandArgs*) {
    if (job_.kind == FileOp_Idle || !job_.state) return E_FAIL;
    job_.state->cancel = true;
    SetText(L"Information", L"Cancelling the copy...");
    EnableCancel(0);
    UpdateUI(L"Information");
    return S_OK;
}

HRESULT CAppModuleCmdExecutive::OnCmdCopyToPC(const wchar_t*, LONG, CommandArgs* args) {
    if (!Ready()) return E_POINTER;
    // A copy: the view refills its array on the next call.
    std::vector<std::wstring> selected = fileView_->GetSelectedPaths();
    if (selected.empty()) {
        Message(L"Please select folders or files you want to copy!");
        return E_FAIL;
    }
    std::wstring folder;
    if (!ModalDialogs().BrowseForFolder(OwnerFrom(args, MainWindow()), kBrowseTitle, kBrowseFlags, &folder))
        return S_OK;
    if (!FitsOrTell(folder)) return E_FAIL;
    if (IsVistaOrLater() && !WriteProbe(folder)) {
        Message(L"Access denied. Please run it as Administrator and try again.", MB_OK | MB_ICONERROR);
        return E_FAIL;
    }
    // A job already running: the commands were disabled, so only a forced call gets here.
    if (job_.kind != FileOp_Idle) return S_OK;
    job_.kind = FileOp_CopyToPC;
    job_.source.clear();
    job_.destination.clear();
    job_.pcPaths = {folder};
    job_.devicePaths = std::move(selected);
    return StartJob();
}

HRESULT CAppModuleCmdExecutive::OnCmdCopyFileToDevice(const wchar_t*, LONG, CommandArgs*) {
    if (!Ready()) return E_POINTER;
    const std::wstring folder = fileView_->GetCurrentFolder();
    if (folder.empty()) {
        Message(L"Please select a folder first!");
        return E_FAIL;
    }
    std::wstring file;
    if (!ModalDialogs().OpenFile(MainWindow(), &file)) return E_FAIL;
    const size_t slash = file.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash == 0) return E_FAIL;
    // The folder ends in "/" already; the device side accepts the doubled separator.
    const std::wstring destination = folder + L"/" + file.substr(slash + 1);
    if (!FitsOrTell(file) || !FitsOrTell(destination)) return E_FAIL;
    return StartCopyToDevice(FileOp_CopyFileToDevice, file, destination);
}

HRESULT CAppModuleCmdExecutive::OnCmdCopyFolderToDevice(const wchar_t*, LONG, CommandArgs* args) {
    if (!Ready()) return E_POINTER;
    const std::wstring folder = fileView_->GetCurrentFolder();
    if (folder.empty()) {
        Message(L"Please select a phone folder first.");
        return E_FAIL;
    }
    std::wstring pcFolder;
    if (!ModalDialogs().BrowseForFolder(OwnerFrom(args, MainWindow()), kBrowseTitle, kBrowseFlags, &pcFolder))
        return S_OK;
    if (!FitsOrTell(pcFolder) || !FitsOrTell(folder)) return E_FAIL;
    return StartCopyToDevice(FileOp_CopyFolderToDevice, pcFolder, folder);
}

HRESULT CAppModuleCmdExecutive::StartCopyToDevice(FileOp kind, const std::wstring& source,
                                                  const std::wstring& destination) {
    if (job_.kind != FileOp_Idle) return S_OK;
    job_.kind = kind;
    job_.source = source;
    job_.destination = destination;
    job_.pcPaths.clear();
    job_.devicePaths.clear();
    return StartJob();
}

HRESULT CAppModuleCmdExecutive::OnCmdDropFiles(const wchar_t*, LONG, CommandArgs* args) {
    if (!args) return E_POINTER;
    HDROP drop = reinterpret_cast<HDROP>(args->words[4]);
    if (!drop) return E_POINTER;
    // The drop handle is ours from here on, whatever the outcome.
    struct DropRelease {
        HDROP handle;
        ~DropRelease() { ::DragFinish(handle); }
    } release{drop};
    if (job_.kind != FileOp_Idle) return E_FAIL;
    if (!Ready()) return E_POINTER;
    job_.pcPaths.clear();
    job_.devicePaths.clear();
    const std::wstring folder = fileView_->GetCurrentFolder();
    if (folder.empty()) {
        Message(L"Please select a phone folder first.");
        return E_FAIL;
    }
    if (!FitsOrTell(folder)) return E_FAIL;
    // Every item is checked before the job starts: a drop is copied whole or not at all.
    std::vector<std::wstring> paths;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length, L'\0');
        ::DragQueryFileW(drop, i, path.data(), length + 1);
        if (!FitsOrTell(path)) return E_FAIL;
        if (!::PathIsDirectoryW(path.c_str()) && !FitsOrTell(folder + NameOf(path))) return E_FAIL;
        paths.push_back(std::move(path));
    }
    job_.kind = FileOp_DropFiles;
    job_.source.clear();
    job_.destination.clear();
    job_.pcPaths = std::move(paths);
    job_.devicePaths = {folder};
    return StartJob();
}

HRESULT CAppModuleCmdExecutive::OnCmdUpdateCopyProgress(const wchar_t*, LONG, CommandArgs* args) {
    if (!args) return E_POINTER;
    const UINT total = static_cast<UINT>(args->words[4]), done = static_cast<UINT>(args->words[5]);
    const LONG percent = CopyPercent(total, done);
    if (percent != ValueOf(L"CopyProgress")) SetValue(L"CopyProgress", percent);
    UpdateUI(L"CopyProgress");
    platform::System().TaskbarProgress(MainWindow(), std::min(done, total), total);
    // A whole job also says where it stands, unless the user is waiting for it to stop.
    if (job_.kind != FileOp_Idle && job_.state && job_.state->whole && !job_.state->cancel) {
        std::wstring text;
        {
            std::lock_guard<std::mutex> lock(job_.state->lock);
            text = JobStatusText(*job_.state, ::GetTickCount64());
        }
        SetText(L"Information", text.c_str());
        UpdateUI(L"Information");
    }
    return S_OK;
}

void CAppModuleCmdExecutive::ShowJobSummary(bool success) {
    std::shared_ptr<JobState> state = job_.state;
    if (!state || !state->whole) {
        if (success)
            Message(L"Copy Finished!\n", MB_OK | MB_ICONINFORMATION, L"Handset Larkbox");
        else
            Message(L"Copy Failed.", MB_OK | MB_ICONERROR);
        return;
    }
    JobSummary summary;
    {
        std::lock_guard<std::mutex> lock(state->lock);
        summary = JobSummaryText(*state, JobTarget(), ::GetTickCount64());
        LogJobFailures(*state);
    }
    if (summary.success)
        Message(summary.text, MB_OK | MB_ICONINFORMATION, L"Handset Larkbox");
    else
        Message(summary.text, MB_OK | (state->outcome == TransferOutcome::Cancelled ? MB_ICONWARNING : MB_ICONERROR));
}

std::wstring CAppModuleCmdExecutive::JobTarget() const {
    if (job_.kind == FileOp_CopyToPC) return job_.pcPaths.empty() ? std::wstring() : job_.pcPaths.front();
    std::wstring folder = job_.kind == FileOp_DropFiles
                              ? (job_.devicePaths.empty() ? std::wstring() : job_.devicePaths.front())
                              : job_.destination;
    if (job_.kind == FileOp_CopyFileToDevice) folder.erase(folder.find_last_of(L'/') + 1);
    // Shown without the separators the folder paths end in.
    while (folder.size() > 1 && folder.back() == L'/') folder.pop_back();
    return folder;
}

HRESULT CAppModuleCmdExecutive::OnCmdCopyFinished(const wchar_t*, LONG, CommandArgs* args) {
    if (!args) return E_POINTER;
    // Only the worker's own report ends a job; it posts it as its last act.
    if (job_.thread && ::WaitForSingleObject(job_.thread.get(), kWorkerEndWaitMs) == WAIT_TIMEOUT) {
        PelicanLog(2, L"Don't enable control %s while the copy runs!\n", L"CopyFinished");
        return E_FAIL;
    }
    platform::System().TaskbarProgress(MainWindow(), 0, 0);
    EnableCancel(0);
    if (quitAfterJob_) {
        // The user chose to quit during the job: no summary, the program ends.
        job_.kind = FileOp_Idle;
        job_.thread.reset();
        ::PostQuitMessage(7);
        return S_OK;
    }
    ShowJobSummary(args->words[3] != 0);
    const int finishedKind = job_.kind;
    SetValue(L"CopyProgress", 0);
    // The device may have gone while the copy ran (or while the message was up): then it stays "waiting".
    if (devicePresent_) {
        SetText(L"Information", L"Handset Connected.");
        DeviceCommandSet(1);
        RefreshFolder(std::nullopt, finishedKind);
    }
    UpdateUI(L"");
    job_.kind = FileOp_Idle;
    job_.thread.reset();
    return S_OK;
}
