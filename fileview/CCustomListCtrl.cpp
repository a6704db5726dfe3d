// CCustomListCtrl.
#include "fileview/CCustomListCtrl.h"

#include <commctrl.h>

bool CCustomListCtrl::Create(const RECT& rect, HWND parent, const std::wstring& param) {
    DWORD style = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS;
    if (!CSkinListCtrl::Create(style, rect, parent, 0)) return false;
    TakeMargins(rect, parent);
    param_ = param;
    return true;
}

bool CCustomListCtrl::LoadLook() { return hwnd_ != nullptr; }

std::wstring CCustomListCtrl::GetSelectedName() const {
    int row = static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return row < 0 ? std::wstring() : NameOfRow(row);
}

std::vector<std::wstring> CCustomListCtrl::GetSelectedNames() const {
    std::vector<std::wstring> names;
    for (int row = static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)); row >= 0;
         row = static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED)))
        names.push_back(NameOfRow(row));
    return names;
}

void CCustomListCtrl::TakeMargins(const RECT& rect, HWND parent) {
    RECT parentRect{};
    ::GetWindowRect(parent, &parentRect);
    leftMargin_ = rect.left;
    topMargin_ = rect.top;
    rightMargin_ = (parentRect.right - parentRect.left) - rect.right;
    bottomMargin_ = (parentRect.bottom - parentRect.top) - rect.bottom;
}

void CCustomListCtrl::Layout(const RECT& parentRect) {
    int width = (parentRect.right - parentRect.left) - leftMargin_ - rightMargin_;
    int height = (parentRect.bottom - parentRect.top) - topMargin_ - bottomMargin_;
    ::MoveWindow(hwnd_, leftMargin_, topMargin_, width > 0 ? width : 0, height > 0 ? height : 0, FALSE);
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}
