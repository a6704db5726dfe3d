// The real modal dialogs and the replaceable pointer to them.
#include "ui/ModalDialogs.h"

#include <commdlg.h>

#include "platform/Dialog.h"
#include "ui/CAboutDlg.h"
#include "ui/CBrowseForFolder.h"
#include "ui/CInputPathNameDlg.h"

namespace {

// The file-open dialog's hook: only to put the dialog over the window that asked.
UINT_PTR CALLBACK CentreOpenDialog(HWND hook, UINT msg, WPARAM, LPARAM lp) {
    if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lp)->code == CDN_INITDONE) {
        HWND dialog = ::GetParent(hook);
        platform::CentreOver(dialog, ::GetWindow(dialog, GW_OWNER));
    }
    return 0;
}

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
        // A hook takes the resizing away unless it is asked for.
        ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;
        ofn.lpfnHook = &CentreOpenDialog;
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
