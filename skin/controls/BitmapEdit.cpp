// CBitmapEdit. The text is drawn on a transparent background, so every change
// of text or scroll position repaints the picture behind it.
#include "skin/controls/BitmapEdit.h"

#include "skin/controls/SkinGdi.h"

namespace nsSkin {

bool CBitmapEdit::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CEdit::Create(style | WS_CHILD, rect, parent, id);
}

void CBitmapEdit::SetBackground(platform::UniqueBitmap background) {
    background_ = std::move(background);
    if (!hwnd_) return;
    LONG style = ::GetWindowLongW(hwnd_, GWL_STYLE);
    ::SetWindowLongW(hwnd_, GWL_STYLE, style & ~(WS_BORDER | WS_TABSTOP));
    ::SetWindowLongW(hwnd_, GWL_EXSTYLE, ::GetWindowLongW(hwnd_, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
    ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void CBitmapEdit::SetTextColor(COLORREF color) {
    if (color == textColor_) return;
    textColor_ = color;
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void CBitmapEdit::SetToolTipText(const std::wstring& text) {
    tipText_ = text;
    if (!hwnd_ || text.empty()) return;
    if (!tooltip_.hwnd()) {
        if (!tooltip_.Create(hwnd_)) return;
        tooltip_.AddTool(hwnd_, text);
    } else {
        tooltip_.UpdateText(hwnd_, text);
    }
}

LRESULT CBitmapEdit::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && tooltip_.hwnd()) {
        MSG relay{hwnd_, msg, wp, lp, 0, {}};
        tooltip_.Relay(relay);
    }
    LRESULT result = CEdit::WindowProc(msg, wp, lp);
    if (msg == WM_HSCROLL || msg == WM_VSCROLL || msg == WM_CHAR || msg == WM_KEYDOWN) {
        if (background_) ::InvalidateRect(hwnd_, nullptr, TRUE);
    }
    return result;
}

bool CBitmapEdit::OnReflectedMessage(UINT msg, WPARAM wp, LPARAM, LRESULT* result) {
    if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORSTATIC) {
        HDC dc = reinterpret_cast<HDC>(wp);
        ::SetTextColor(dc, textColor_);
        ::SetBkMode(dc, TRANSPARENT);
        *result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
        return true;
    }
    if (msg == WM_COMMAND) {
        UINT code = HIWORD(wp);
        if (code == EN_CHANGE && background_) ::InvalidateRect(hwnd_, nullptr, TRUE);
        OnEditNotify(code);
        *result = 0;
        return true;
    }
    return false;
}

bool CBitmapEdit::OnEraseBkgnd(HDC dc) {
    if (!background_) return Default() != 0;
    StretchBitmap(dc, background_.get(), GetClientRect());
    return true;
}

void CBitmapEdit::OnDestroy() { tooltip_.Destroy(); }

}  // namespace nsSkin
