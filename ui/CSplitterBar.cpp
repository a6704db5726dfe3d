// CSplitterBar.
#include "ui/CSplitterBar.h"

#include "app/resource.h"

CSplitterBar::CSplitterBar() : CSkinDialogEx(IDD_SPLITTER) {}

bool CSplitterBar::CreateChild(const RECT& rect, HWND parent, const wchar_t* param, UINT templateId) {
    width_ = rect.right - rect.left;
    return CSkinDialogEx::CreateChild(rect, parent, param, templateId);
}

LRESULT CSplitterBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PELICAN_LAYOUT) {
        FollowParent(reinterpret_cast<const RECT*>(lp));
        return 0;
    }
    // Background erasing paints the skin: the skinned dialog does that.
    return CSkinDialogEx::WindowProc(msg, wp, lp);
}

void CSplitterBar::FollowParent(const RECT* client) {
    if (!client || !hwnd_) return;
    int y = margins_.top + client->top;
    ::MoveWindow(hwnd_, margins_.left + client->left, y, width_, client->bottom - margins_.bottom - y, TRUE);
}
