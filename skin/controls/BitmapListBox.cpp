// CBitmapListBox.
#include "skin/controls/BitmapListBox.h"

#include "skin/controls/SkinGdi.h"

namespace nsSkin {

bool CBitmapListBox::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CListBox::Create(style | WS_CHILD, rect, parent, id);
}

void CBitmapListBox::SetBackground(platform::UniqueBitmap background) {
    background_ = std::move(background);
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void CBitmapListBox::SetTextColor(COLORREF color) {
    textColor_ = color;
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT CBitmapListBox::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = CListBox::WindowProc(msg, wp, lp);
    // Transparent rows leave old text behind unless the whole box repaints.
    switch (msg) {
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
    case LB_SETCURSEL:
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
        ::InvalidateRect(hwnd_, nullptr, TRUE);
        break;
    default:
        break;
    }
    return result;
}

bool CBitmapListBox::OnReflectedMessage(UINT msg, WPARAM wp, LPARAM, LRESULT* result) {
    if (msg != WM_CTLCOLORLISTBOX) return false;
    HDC dc = reinterpret_cast<HDC>(wp);
    ::SetTextColor(dc, textColor_);
    ::SetBkMode(dc, TRANSPARENT);
    *result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
    return true;
}

bool CBitmapListBox::OnEraseBkgnd(HDC dc) {
    if (!background_) return Default() != 0;
    StretchBitmap(dc, background_.get(), GetClientRect());
    return true;
}

}  // namespace nsSkin
