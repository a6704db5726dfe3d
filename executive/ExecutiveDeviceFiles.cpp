// Managing device entries: delete, create a folder, rename, and moving through folders.
#include "executive/CAppModuleCmdExecutive.h"
#include "ui/ModalDialogs.h"

namespace {

// The name box refuses separators and reserved characters; "." and ".." would
// still name the folder itself or its parent, so they are refused here too.
bool IsUsableName(const std::wstring& name) {
    return name != L"." && name != L".." && name.find_first_of(L"/\\") == std::wstring::npos;
}

}  // namespace

bool CAppModuleCmdExecutive::StillShowing(const std::wstring& folder) {
    // A question box lets the device go (the views are cleared) or the views
    // move while it is open; what the user chose then names nothing shown.
    return fileView_->GetCurrentFolder() == folder;
}

HRESULT CAppModuleCmdExecutive::OnCmdDeleteFromDevice(const wchar_t*, LONG, CommandArgs*) {
    if (!Ready()) return E_POINTER;
    const std::vector<std::wstring> selected = fileView_->GetSelectedPaths();
    if (selected.empty()) {
        Message(L"Please select folders or files you want to remove first.");
        return E_FAIL;
    }
    const std::wstring folder = fileView_->GetCurrentFolder();
    if (Message(L"Are you sure to remove the selected item(s)?", MB_YESNO | MB_ICONQUESTION, L"Delete") != IDYES)
        return E_FAIL;
    if (!StillShowing(folder)) return E_FAIL;
    // A failure is not reported: the refresh shows what is left.
    for (const std::wstring& path : selected) shuttle_->DeletePath(path.c_str());
    RefreshFolder(std::nullopt, FileOp_Delete);
    UpdateUI(L"");
    return S_OK;
}

HRESULT CAppModuleCmdExecutive::OnCmdCreateFolder(const wchar_t*, LONG, CommandArgs*) {
    if (!Ready()) return E_POINTER;
    const std::wstring folder = fileView_->GetCurrentFolder();
    if (folder.empty()) {
        Message(L"Please select a folder first.");
        return E_FAIL;
    }
    std::wstring name;
    if (!ModalDialogs().AskName(MainWindow(), L"New Folder", &name) || name.empty()) return E_FAIL;
    if (!StillShowing(folder)) return E_FAIL;
    if (!IsUsableName(name)) {
        Message(L"Invalid name.");
        return E_FAIL;
    }
    const std::wstring path = folder + L"/" + name;
    IHandsetInteraction* device = nullptr;
    HRESULT hr = LookUp(ember::MID_Shuttle, ember::IID_IHandsetInteraction, &device);
    if (hr < 0) return hr;
    // Without the device library there is nothing to ask and nothing to create.
    if (!device) return E_POINTER;
    if (device->PathExists(path.c_str())) {
        Message(L"Folder already exists.");
        return S_FALSE;
    }
    // A refusal is said: silence left the user guessing whether the command reached the device at all.
    if (shuttle_->CreateFolder(path.c_str()))
        RefreshFolder(std::nullopt, FileOp_NewFolder);
    else
        Message(L"The folder could not be created.", MB_OK | MB_ICONERROR);
    UpdateUI(L"");
    return S_OK;
}

HRESULT CAppModuleCmdExecutive::OnCmdRenamePath(const wchar_t*, LONG, CommandArgs*) {
    if (!Ready()) return E_POINTER;
    const std::wstring folder = fileView_->GetCurrentFolder();
    const std::wstring oldName = fileView_->GetSelectedName();
    if (folder.empty() || oldName.empty()) {
        Message(L"Please select a folder or file first.");
        return E_FAIL;
    }
    std::wstring name = oldName;
    if (!ModalDialogs().AskName(MainWindow(), L"Rename", &name) || name.empty() || name == oldName) return E_FAIL;
    if (!StillShowing(folder)) return E_FAIL;
    if (!IsUsableName(name)) {
        Message(L"Invalid name.");
        return E_FAIL;
    }
    const std::wstring newPath = folder + name;
    const std::wstring oldPath = fileView_->GetSelectedPath();
    // Never onto another entry; a change of letter case only names the entry itself.
    IHandsetInteraction* device = nullptr;
    if (_wcsicmp(name.c_str(), oldName.c_str()) != 0 &&
        LookUp(ember::MID_Shuttle, ember::IID_IHandsetInteraction, &device) >= 0 && device &&
        device->PathExists(newPath.c_str())) {
        Message(L"An entry with this name already exists.");
        return E_FAIL;
    }
    if (shuttle_->RenamePath(oldPath.c_str(), newPath.c_str()))
        RefreshFolder(std::nullopt, FileOp_Rename);
    else
        Message(L"The item could not be renamed.", MB_OK | MB_ICONERROR);
    return S_OK;
}

HRESULT CAppModuleCmdExecutive::OnCmdOpenFolder(const wchar_t*, LONG, CommandArgs*) {
    if (!Ready()) return E_POINTER;
    // The file view has moved the tree onto the opened folder, so it is the
    // current one; a row still selected in the list would name a file in it.
    RefreshFolder(std::nullopt, FileOp_FolderOpened);
    UpdateUI(L"");
    return S_OK;
}

HRESULT CAppModuleCmdExecutive::OnCmdFileTreeSelchanged(const wchar_t*, LONG, CommandArgs*) {
    if (!Ready()) return E_POINTER;
    RefreshFolder(std::nullopt, FileOp_TreeSelChanged);
    UpdateUI(L"");
    return S_OK;
}
