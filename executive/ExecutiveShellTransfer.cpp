// Device entries offered to the shell, by a drag out of the file list or by
// Ctrl+C: the target reads the files when it wants them, on its own thread;
// while it reads, the progress shows and the device commands are off. Ctrl+V
// copies the PC files on the clipboard into the current device folder.
#include <windows.h>
// The OLE and shell headers need the types of <windows.h>.
#include <ole2.h>
#include <shellapi.h>
#include <wrl/client.h>

#include "app/Applog.h"
#include "executive/CAppModuleCmdExecutive.h"
#include "shelltransfer/CDeviceDataObject.h"
#include "shelltransfer/CDropSource.h"
#include "shelltransfer/ClipboardFiles.h"
#include "shelltransfer/DeviceReadSession.h"

using Microsoft::WRL::ComPtr;

HRESULT CAppModuleCmdExecutive::OfferSelection(IDataObject** offer, std::shared_ptr<DeviceReadSession>* session) {
    *offer = nullptr;
    const std::vector<std::wstring> selected = fileView_->GetSelectedPaths();
    if (selected.empty()) return E_FAIL;
    std::vector<VirtualFile> files;
    std::wstring problem;
    if (!ListVirtualFiles(*shuttle_, selected, &files, &problem)) {
        Message(problem, MB_OK | MB_ICONERROR);
        return E_FAIL;
    }
    std::uint64_t total = 0;
    for (const VirtualFile& file : files) total += file.size;
    auto made = std::make_shared<DeviceReadSession>(shuttle_, relayHandle_.load(), CCommandRelayWnd::kRelayShellRead,
                                                    &PostCopyProgress, total);
    *offer = new CDeviceDataObject(std::move(files), made, mtaHome_);
    std::erase_if(offers_, [](const std::weak_ptr<DeviceReadSession>& weak) { return weak.expired(); });
    offers_.push_back(made);
    *session = std::move(made);
    return S_OK;
}

HRESULT CAppModuleCmdExecutive::OnCmdDragFileToPC(const wchar_t*, LONG, CommandArgs*) {
    if (!Ready()) return E_POINTER;
    ComPtr<IDataObject> offer;
    std::shared_ptr<DeviceReadSession> session;
    HRESULT hr = OfferSelection(offer.GetAddressOf(), &session);
    if (FAILED(hr)) return hr;
    CDropSource source;
    DWORD effect = DROPEFFECT_NONE;
    // The drag counts as reading: a target without a thread of its own reads inside its drop.
    session->Begin();
    hr = ::DoDragDrop(offer.Get(), &source, DROPEFFECT_COPY, &effect);
    session->End(true);
    return hr == DRAGDROP_S_DROP || hr == DRAGDROP_S_CANCEL ? S_OK : hr;
}

HRESULT CAppModuleCmdExecutive::OnCmdCopyToClipboard(const wchar_t*, LONG, CommandArgs*) {
    if (!Ready()) return E_POINTER;
    ComPtr<IDataObject> offer;
    std::shared_ptr<DeviceReadSession> session;
    HRESULT hr = OfferSelection(offer.GetAddressOf(), &session);
    if (FAILED(hr)) return hr;
    hr = ::OleSetClipboard(offer.Get());
    if (FAILED(hr)) {
        Message(L"The selection could not be put on the clipboard.", MB_OK | MB_ICONERROR);
        return hr;
    }
    clipboardOffer_ = offer;
    return S_OK;
}

HRESULT CAppModuleCmdExecutive::OnCmdPasteFromClipboard(const wchar_t*, LONG, CommandArgs*) {
    if (!Ready()) return E_POINTER;
    HGLOBAL copy = CopyClipboardFileDrop(MainWindow());
    if (!copy) return E_FAIL;
    if (::DragQueryFileW(static_cast<HDROP>(copy), 0xFFFFFFFF, nullptr, 0) == 0) {
        ::GlobalFree(copy);
        return E_FAIL;
    }
    // Copied as a drop is; the drop owns the copy and releases it, the clipboard keeps its own.
    CommandArgs args;
    args.words[4] = reinterpret_cast<INT_PTR>(copy);
    return OnCmdDropFiles(L"DropFiles", 0, &args);
}

void CAppModuleCmdExecutive::OnShellRead(bool started, bool ok) {
    if (started) {
        if (shellReads_++ == 0) shellReadsOk_ = true;
        // A copy job that runs already keeps the commands off and the progress for itself.
        if (job_.kind == FileOp_Idle) {
            job_.kind = FileOp_DragToPC;
            DeviceCommandSet(0);
        }
        return;
    }
    if (shellReads_ == 0) return;
    shellReadsOk_ = shellReadsOk_ && ok;
    if (--shellReads_ > 0 || job_.kind != FileOp_DragToPC) return;
    job_.kind = FileOp_Idle;
    SetValue(L"CopyProgress", 0);
    if (devicePresent_) DeviceCommandSet(1);
    UpdateUI(L"");
    if (!shellReadsOk_) Message(L"Copy Failed.", MB_OK | MB_ICONERROR);
}

void CAppModuleCmdExecutive::EndShellTransfers() {
    // Emptied, not flushed: a flush would read every offered file from the device.
    if (clipboardOffer_ && ::OleIsCurrentClipboard(clipboardOffer_.Get()) == S_OK) ::OleSetClipboard(nullptr);
    clipboardOffer_.Reset();
    for (const std::weak_ptr<DeviceReadSession>& weak : offers_)
        if (std::shared_ptr<DeviceReadSession> session = weak.lock()) session->Disconnect();
    offers_.clear();
    // Other processes' references go with the apartment.
    mtaHome_->Stop();
}
