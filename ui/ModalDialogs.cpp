// The real modal dialogs and the replaceable pointer to them.
#include "ui/ModalDialogs.h"

#include <commdlg.h>
#include <shlobj.h>

namespace {

class RealModalDialogs : public IModalDialogs {
public:
    bool BrowseForFolder(HWND owner, const std::wstring& title, UINT flags, std::wstring* folder) override {
        wchar_t display[MAX_PATH] = {};
        BROWSEINFOW bi{};
        bi.hwndOwner = owner;
        bi.pszDisplayName = display;
        bi.lpszTitle = title.c_str();
        bi.ulFlags = flags;
        PIDLIST_ABSOLUTE pidl = ::SHBrowseForFolderW(&bi);
        if (!pidl) return false;
        wchar_t path[MAX_PATH] = {};
        bool ok = ::SHGetPathFromIDListW(pidl, path) != 0;
        ::CoTaskMemFree(pidl);
        if (ok && folder) *folder = path;
        return ok;
    }
    bool OpenFile(HWND owner, std::wstring* file) override {
        wchar_t name[MAX_PATH] = {};
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = owner;
        ofn.lpstrFile = name;
        ofn.nMaxFile = MAX_PATH;
        ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
        if (!::GetOpenFileNameW(&ofn)) return false;
        if (file) *file = name;
        return true;
    }
    bool AskName(HWND, const std::wstring&, std::wstring*) override { return false; }
    void ShowAbout(HWND) override {}
};

RealModalDialogs g_real;
IModalDialogs* g_current = &g_real;

}  // namespace

IModalDialogs& ModalDialogs() { return *g_current; }

ScopedModalDialogs::ScopedModalDialogs(IModalDialogs& replacement) : previous_(g_current) { g_current = &replacement; }

ScopedModalDialogs::~ScopedModalDialogs() { g_current = previous_; }
