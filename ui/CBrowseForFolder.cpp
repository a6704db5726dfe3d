// CBrowseForFolder.
#include "ui/CBrowseForFolder.h"

#include "platform/Dialog.h"

CBrowseForFolder::CBrowseForFolder(HWND owner, const std::wstring& title) : title_(title) {
    params_.hwndOwner = owner;
    params_.pidlRoot = nullptr;
    params_.pszDisplayName = displayName_;
    params_.lpszTitle = title_.c_str();
    params_.lpfn = &CBrowseForFolder::Callback;
    params_.lParam = reinterpret_cast<LPARAM>(this);
}

bool CBrowseForFolder::Browse() {
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&params_);
    browser_ = nullptr;
    if (!chosen) return false;
    selected_.clear();
    wchar_t path[MAX_PATH] = {};
    bool ok = ::SHGetPathFromIDListW(chosen, path) != 0;
    ::CoTaskMemFree(chosen);
    if (ok) selected_ = path;
    return ok;
}

void CBrowseForFolder::OnInitialized() {
    // The system puts the browser at a corner of the screen, away from the window that asked.
    platform::CentreOver(browser_, params_.hwndOwner);
    if (initialFolder_.empty()) return;
    ::SendMessageW(browser_, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(initialFolder_.c_str()));
    ::SendMessageW(browser_, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(initialFolder_.c_str()));
}

void CBrowseForFolder::OnSelectionChanged(PCIDLIST_ABSOLUTE item) {
    wchar_t path[MAX_PATH] = {};
    if (!item || !::SHGetPathFromIDListW(item, path)) path[0] = L'\0';
    ::SendMessageW(browser_, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path));
}

int CALLBACK CBrowseForFolder::Callback(HWND wnd, UINT msg, LPARAM lp, LPARAM data) {
    auto* self = reinterpret_cast<CBrowseForFolder*>(data);
    if (!self) return 0;
    switch (msg) {
    case BFFM_INITIALIZED:
        self->browser_ = wnd;
        self->OnInitialized();
        break;
    case BFFM_SELCHANGED:
        self->browser_ = wnd;
        self->OnSelectionChanged(reinterpret_cast<PCIDLIST_ABSOLUTE>(lp));
        break;
    default:
        break;
    }
    return 0;
}
