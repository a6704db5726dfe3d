// The platform's folder browser, with the selected path shown as status text.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <string>

class CBrowseForFolder {
public:
    CBrowseForFolder(HWND owner, const std::wstring& title);
    virtual ~CBrowseForFolder() = default;
    CBrowseForFolder(const CBrowseForFolder&) = delete;
    CBrowseForFolder& operator=(const CBrowseForFolder&) = delete;

    void SetFlags(UINT flags) { params_.ulFlags = flags; }
    void SetInitialFolder(const std::wstring& folder) { initialFolder_ = folder; }
    // True when a file-system folder was chosen.
    bool Browse();
    const std::wstring& SelectedFolder() const { return selected_; }

protected:
    virtual void OnInitialized();
    virtual void OnSelectionChanged(PCIDLIST_ABSOLUTE item);

private:
    static int CALLBACK Callback(HWND wnd, UINT msg, LPARAM lp, LPARAM data);

    std::wstring title_;
    BROWSEINFOW params_{};
    wchar_t displayName_[MAX_PATH] = {};
    std::wstring selected_;
    HWND browser_ = nullptr;
    std::wstring initialFolder_;
};
