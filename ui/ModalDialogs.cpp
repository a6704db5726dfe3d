// The real modal dialogs and the replaceable pointer to them.
#include "ui/ModalDialogs.h"

#include <commdlg.h>

#include "ui/CAboutDlg.h"
#include "ui/CBrowseForFolder.h"
#include "ui/CInputPathNameDlg.h"

namespace {

class RealModalDialogs : public IModalDialogs {
public:
    bool BrowseForFolder(HWND owner, const std::wstring& title, UINT flags, std::wstring* folder) override {
        CBrowseForFolder browser(owner, title);
        browser.SetFlags(flags);
        if (!browser.Browse()) return false;
        if (folder) *folder = browser.SelectedFolder();
        return true;
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
    bool AskName(HWND owner, const std::wstring& title, std::wstring* name) override {
        wchar_t buffer[CInputPathNameDlg::kCapacity] = {};
        CInputPathNameDlg box(title, buffer, name ? *name : std::wstring());
        bool ok = box.DoModal(owner) == IDOK;
        if (name) *name = buffer;
        return ok;
    }
    void ShowAbout(HWND owner) override {
        CAboutDlg about;
        about.DoModal(owner);
    }
};

RealModalDialogs g_real;
IModalDialogs* g_current = &g_real;

}  // namespace

IModalDialogs& ModalDialogs() { return *g_current; }

ScopedModalDialogs::ScopedModalDialogs(IModalDialogs& replacement) : previous_(g_current) { g_current = &replacement; }

ScopedModalDialogs::~ScopedModalDialogs() { g_current = previous_; }
