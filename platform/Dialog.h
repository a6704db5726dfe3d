// CDialog: modeless and modal dialogs from resource templates.
#pragma once
#include "platform/Wnd.h"

namespace platform {

// Puts a window over the middle of owner (the work area when the owner is
// missing, hidden or minimized), kept whole on that monitor; also for the
// system's own dialogs, which open where the system likes.
void CentreOver(HWND wnd, HWND owner);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, HINSTANCE resources = nullptr);

    // Modeless: the window lives until DestroyWindow.
    bool Create(HWND parent);
    // Modal: runs its own loop and returns the EndDialog code (-1 when the template failed).
    INT_PTR DoModal(HWND parent);
    void EndDialog(INT_PTR result);

    UINT TemplateId() const { return templateId_; }
    bool IsModal() const { return modal_; }
    bool PreTranslateMessage(MSG* msg) override;

protected:
    virtual bool OnInitDialog() { return true; }
    // CentreOver the dialog's owner.
    void CentreOverOwner();
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    static INT_PTR CALLBACK StaticDlgProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

    UINT templateId_;
    HINSTANCE resources_;
    bool modal_ = false;
};

}  // namespace platform
