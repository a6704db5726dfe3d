// CDialog. The dialog procedure only links the object at WM_INITDIALOG and
// subclasses the dialog, so every later message goes through CWnd's dispatcher
// with the dialog manager's procedure as the default.
#include "platform/Dialog.h"

#include <algorithm>

namespace platform {

CDialog::CDialog(UINT templateId, HINSTANCE resources)
    : templateId_(templateId), resources_(resources ? resources : CurrentModule()) {}

bool CDialog::Create(HWND parent) {
    if (hwnd_) return false;
    modal_ = false;
    HWND wnd = ::CreateDialogParamW(resources_, MAKEINTRESOURCEW(templateId_), parent, &CDialog::StaticDlgProc,
                                    reinterpret_cast<LPARAM>(this));
    return wnd != nullptr && hwnd_ == wnd;
}

INT_PTR CDialog::DoModal(HWND parent) {
    if (hwnd_) return -1;
    modal_ = true;
    INT_PTR result = ::DialogBoxParamW(resources_, MAKEINTRESOURCEW(templateId_), parent, &CDialog::StaticDlgProc,
                                       reinterpret_cast<LPARAM>(this));
    modal_ = false;
    return result;
}

void CentreOver(HWND wnd, HWND owner) {
    if (!wnd) return;
    const bool useOwner = owner && ::IsWindowVisible(owner) && !::IsIconic(owner);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(useOwner ? owner : wnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT area = monitor.rcWork;
    RECT around = area;
    if (useOwner) ::GetWindowRect(owner, &around);
    RECT self{};
    ::GetWindowRect(wnd, &self);
    const int width = self.right - self.left, height = self.bottom - self.top;
    int x = (around.left + around.right - width) / 2;
    int y = (around.top + around.bottom - height) / 2;
    // An owner near an edge must not push the box off the screen; the caption stays reachable.
    x = std::max(static_cast<int>(area.left), std::min(x, static_cast<int>(area.right) - width));
    y = std::max(static_cast<int>(area.top), std::min(y, static_cast<int>(area.bottom) - height));
    ::SetWindowPos(wnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CDialog::CentreOverOwner() {
    if (hwnd_) CentreOver(hwnd_, ::GetWindow(hwnd_, GW_OWNER));
}

void CDialog::EndDialog(INT_PTR result) {
    if (!hwnd_) return;
    if (modal_)
        ::EndDialog(hwnd_, result);
    else
        ::DestroyWindow(hwnd_);
}

bool CDialog::PreTranslateMessage(MSG* msg) {
    // Keyboard navigation for modeless dialogs; modal ones have their own loop.
    if (!hwnd_ || modal_) return false;
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
    return ::IsDialogMessageW(hwnd_, msg) != 0;
}

INT_PTR CALLBACK CDialog::StaticDlgProc(HWND wnd, UINT msg, WPARAM, LPARAM lp) {
    if (msg != WM_INITDIALOG) return FALSE;
    auto* self = reinterpret_cast<CDialog*>(lp);
    if (!self || !self->SubclassWindow(wnd)) return FALSE;
    return self->OnInitDialog() ? TRUE : FALSE;
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        switch (LOWORD(wp)) {
        case IDOK:
            OnOK();
            return 0;
        case IDCANCEL:
            OnCancel();
            return 0;
        default:
            break;
        }
    }
    return CWnd::WindowProc(msg, wp, lp);
}

}  // namespace platform
