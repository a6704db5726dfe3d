// CSplitterBar.
#include "ui/CSplitterBar.h"

#include "app/resource.h"

CSplitterBar::CSplitterBar() : CSkinDialogEx(IDD_SPLITTER) {}

bool CSplitterBar::CreateChild(const RECT& rect, HWND parent, const wchar_t* param, UINT templateId) {
    width_ = rect.right - rect.left;
    return CSkinDialogEx::CreateChild(rect, parent, param, templateId);
}

// The bar is dragged here rather than through the skinned dialog, whose
// press moves the whole window and whose release is a command.
LRESULT CSplitterBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    switch (msg) {
    case WM_PELICAN_LAYOUT:
        FollowParent(reinterpret_cast<const RECT*>(lp));
        return 0;
    case WM_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
        return TRUE;
    case WM_LBUTTONDOWN:
        dragging_ = true;
        grab_ = pt.x;
        ::SetCapture(hwnd_);
        return 0;
    case WM_MOUSEMOVE:
        if (dragging_) ReportDrag(pt, false);
        return 0;
    case WM_LBUTTONUP:
        if (dragging_) {
            dragging_ = false;
            ReportDrag(pt, true);
            if (::GetCapture() == hwnd_) ::ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
        dragging_ = false;
        return 0;
    default:
        break;
    }
    // Background erasing paints the skin: the skinned dialog does that.
    return CSkinDialogEx::WindowProc(msg, wp, lp);
}

void CSplitterBar::FollowParent(const RECT* client) {
    if (!client || !hwnd_) return;
    int y = margins_.top + client->top;
    ::MoveWindow(hwnd_, margins_.left + client->left, y, width_, client->bottom - margins_.bottom - y, TRUE);
}

void CSplitterBar::ReportDrag(POINT pt, bool done) {
    HWND parent = ::GetParent(hwnd_);
    if (!parent) return;
    ::MapWindowPoints(hwnd_, parent, &pt, 1);
    ::SendMessageW(parent, WM_PELICAN_SPLITTER_MOVED, static_cast<WPARAM>(pt.x - grab_), done ? 1 : 0);
}
