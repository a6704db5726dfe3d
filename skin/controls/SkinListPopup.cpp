// CSkinListPopup.
#include "skin/controls/SkinListPopup.h"

#include <algorithm>

#include "platform/Handles.h"
#include "platform/SystemServices.h"
#include "skin/controls/MemDC.h"

namespace nsSkin {

namespace {
constexpr wchar_t kClassName[] = L"PelicanSkinListPopup";


// Looked up at run time: the function is missing before Windows 2000.
void MakeTranslucent(HWND wnd) {
    using SetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    HMODULE user = ::GetModuleHandleW(L"USER32.DLL");
    auto fn = user ? reinterpret_cast<SetLayeredFn>(
                         reinterpret_cast<void*>(::GetProcAddress(user, "SetLayeredWindowAttributes")))
                   : nullptr;
    if (!fn) return;
    ::SetWindowLongW(wnd, GWL_EXSTYLE, ::GetWindowLongW(wnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    fn(wnd, 0, static_cast<BYTE>(CSkinListPopup::kAlpha), LWA_ALPHA);
}
}  // namespace

int CSkinListPopup::RowHeight() { return std::max(16, static_cast<int>(::GetSystemMetrics(SM_CYMENU))); }

CSkinListPopup* CSkinListPopup::Open(HWND owner, const RECT& anchor, const std::vector<std::wstring>& items,
                                     const PopupColors& colors, bool translucent, bool takeFocus, LPARAM tag) {
    if (!owner || items.empty()) return nullptr;
    CWnd::RegisterWindowClass(kClassName, CS_DBLCLKS | CS_DROPSHADOW);
    auto* popup = new CSkinListPopup();
    popup->owner_ = owner;
    popup->items_ = items;
    popup->colors_ = colors;
    popup->tag_ = tag;
    int rows = std::min<int>(static_cast<int>(items.size()), kMaxVisibleRows);
    bool scroll = static_cast<int>(items.size()) > kMaxVisibleRows;
    RECT rc{anchor.left, anchor.bottom, anchor.right, anchor.bottom + rows * RowHeight() + 2};
    DWORD style = WS_POPUP | WS_CLIPSIBLINGS | (scroll ? WS_VSCROLL : 0);
    if (!popup->CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, L"", style, rc, owner, 0)) {
        delete popup;
        return nullptr;
    }
    platform::ISystemServices& sys = platform::System();
    bool xpOrLater = sys.OsMajorVersion() > 5 || (sys.OsMajorVersion() == 5 && sys.OsMinorVersion() >= 1);
    if (translucent && xpOrLater) MakeTranslucent(popup->hwnd());
    popup->SyncScrollBar();
    HWND wnd = popup->hwnd();
    ::ShowWindow(wnd, takeFocus ? SW_SHOW : SW_SHOWNOACTIVATE);
    if (takeFocus) ::SetFocus(wnd);
    ::SetCapture(wnd);
    return popup;
}

int CSkinListPopup::VisibleRows() const {
    RECT client = GetClientRect();
    return std::max(1, static_cast<int>(client.bottom / RowHeight()));
}

void CSkinListPopup::SyncScrollBar() {
    if (!(::GetWindowLongW(hwnd_, GWL_STYLE) & WS_VSCROLL)) return;
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = static_cast<int>(items_.size()) - 1;
    si.nPage = static_cast<UINT>(VisibleRows());
    si.nPos = top_;
    ::SetScrollInfo(hwnd_, SB_VERT, &si, TRUE);
}

void CSkinListPopup::ScrollBy(int rows) {
    int maxTop = std::max(0, static_cast<int>(items_.size()) - VisibleRows());
    int top = std::clamp(top_ + rows, 0, maxTop);
    if (top == top_) return;
    top_ = top;
    SyncScrollBar();
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void CSkinListPopup::Highlight(int row) {
    if (row < -1 || row >= static_cast<int>(items_.size()) || row == highlighted_) return;
    highlighted_ = row;
    if (row >= 0) {
        if (row < top_) ScrollBy(row - top_);
        if (row >= top_ + VisibleRows()) ScrollBy(row - top_ - VisibleRows() + 1);
    }
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

int CSkinListPopup::RowAt(POINT pt) const {
    RECT client = GetClientRect();
    if (!::PtInRect(&client, pt)) return -1;
    int row = top_ + (pt.y - 1) / RowHeight();
    return row >= 0 && row < static_cast<int>(items_.size()) ? row : -1;
}

void CSkinListPopup::Choose(int row) {
    if (closing_) return;
    chosen_ = row;
    closing_ = true;
    if (owner_ && ::IsWindow(owner_)) ::SetFocus(owner_);
    ::DestroyWindow(hwnd_);
}

LRESULT CSkinListPopup::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wp));
        return 0;
    case WM_MOUSEWHEEL:
        ScrollBy(GET_WHEEL_DELTA_WPARAM(wp) > 0 ? -1 : 1);
        return 0;
    case WM_VSCROLL: {
        int code = LOWORD(wp);
        if (code == SB_LINEUP) ScrollBy(-1);
        if (code == SB_LINEDOWN) ScrollBy(1);
        if (code == SB_PAGEUP) ScrollBy(-VisibleRows());
        if (code == SB_PAGEDOWN) ScrollBy(VisibleRows());
        if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) ScrollBy(HIWORD(wp) - top_);
        return 0;
    }
    case WM_KILLFOCUS:
        if (!closing_) {
            closing_ = true;
            if (::GetCapture() == hwnd_) ::ReleaseCapture();
            ::DestroyWindow(hwnd_);
        }
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

void CSkinListPopup::OnKeyDown(UINT key) {
    switch (key) {
    case VK_UP:
        Highlight(std::max(0, highlighted_ - 1));
        break;
    case VK_DOWN:
        Highlight(std::min(static_cast<int>(items_.size()) - 1, highlighted_ + 1));
        break;
    case VK_RETURN:
        Choose(highlighted_);
        break;
    case VK_ESCAPE:
        Choose(-1);
        break;
    case VK_F10:
        if (highlighted_ >= 0 && owner_)
            ::SendMessageW(owner_, kMsgTextCommitted, static_cast<WPARAM>(highlighted_),
                           reinterpret_cast<LPARAM>(items_[static_cast<size_t>(highlighted_)].c_str()));
        break;
    default:
        break;
    }
}

void CSkinListPopup::OnMouseMove(UINT, POINT pt) {
    int row = RowAt(pt);
    if (row >= 0) Highlight(row);
}

void CSkinListPopup::OnLButtonDown(UINT, POINT pt) {
    int row = RowAt(pt);
    if (row >= 0) {
        Choose(row);
        return;
    }
    // With the capture held, the scroll bar is reached through window coordinates.
    RECT window = GetWindowRect();
    POINT screen = pt;
    ::ClientToScreen(hwnd_, &screen);
    if (::PtInRect(&window, screen)) {
        RECT client = GetClientRect();
        if (pt.x >= client.right) ScrollBy(pt.y < client.bottom / 2 ? -VisibleRows() : VisibleRows());
        return;
    }
    Choose(-1);
}

void CSkinListPopup::OnPaint() {
    platform::PaintDC paint(hwnd_);
    RECT client = GetClientRect();
    CMemDC mem(paint.get(), client);
    HDC dc = mem.GetSafeHdc();
    platform::UniqueBrush background(::CreateSolidBrush(colors_.background));
    platform::UniqueBrush highlight(::CreateSolidBrush(colors_.highlightBackground));
    platform::UniqueBrush border(::CreateSolidBrush(colors_.border));
    ::FillRect(dc, &client, background.get());
    HFONT font = reinterpret_cast<HFONT>(owner_ ? ::SendMessageW(owner_, WM_GETFONT, 0, 0) : 0);
    platform::SelectGuard sel(dc, font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
    ::SetBkMode(dc, TRANSPARENT);
    int h = RowHeight();
    for (int row = top_, y = 1; row < static_cast<int>(items_.size()) && y < client.bottom; ++row, y += h) {
        RECT rc{1, y, client.right - 1, y + h};
        bool lit = row == highlighted_;
        if (lit) ::FillRect(dc, &rc, highlight.get());
        ::SetTextColor(dc, lit ? colors_.highlightText : colors_.text);
        RECT text{rc.left + 4, rc.top, rc.right - 2, rc.bottom};
        ::DrawTextW(dc, items_[static_cast<size_t>(row)].c_str(), -1, &text,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    ::FrameRect(dc, &client, border.get());
}

void CSkinListPopup::OnDestroy() {
    closing_ = true;
    if (::GetCapture() == hwnd_) ::ReleaseCapture();
    if (owner_ && ::IsWindow(owner_)) ::PostMessageW(owner_, kMsgPopupClosed, static_cast<WPARAM>(chosen_), tag_);
}

}  // namespace nsSkin
