// CWnd: handle-to-object link, dispatch and reflection.
#include "platform/Wnd.h"

#include <commctrl.h>

#include <vector>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace platform {

namespace {
constexpr UINT_PTR kSubclassId = 0x50454C49;  // any fixed id; one subclass per window

// Signed, for points left of or above the window (multiple monitors, capture).
POINT PointFromLParam(LPARAM lp) {
    return POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}
}  // namespace

HINSTANCE CurrentModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

CWnd::~CWnd() {
    // A wrapper that dies before its window must not leave a dangling link.
    if (hwnd_) {
        HWND wnd = hwnd_;
        Unlink();
        ::DestroyWindow(wnd);
    }
}

CWnd* CWnd::FromHandle(HWND wnd) {
    if (!wnd || !::IsWindow(wnd)) return nullptr;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    if (pid != ::GetCurrentProcessId()) return nullptr;
    return reinterpret_cast<CWnd*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
}

bool CWnd::RegisterWindowClass(const wchar_t* className, UINT style, HBRUSH background, HCURSOR cursor) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (::GetClassInfoExW(CurrentModule(), className, &wc)) return true;
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = &CWnd::StaticWndProc;
    wc.hInstance = CurrentModule();
    wc.hCursor = cursor ? cursor : ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return ::RegisterClassExW(&wc) != 0;
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, const RECT& rect,
                    HWND parent, UINT_PTR idOrMenu) {
    if (hwnd_) return false;
    HWND wnd = ::CreateWindowExW(exStyle, className, title, style, rect.left, rect.top, rect.right - rect.left,
                                 rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(idOrMenu), CurrentModule(),
                                 this);
    if (!wnd) return false;
    // Stock classes never saw our WM_NCCREATE: take them over by subclassing.
    if (!hwnd_) return SubclassWindow(wnd);
    return true;
}

bool CWnd::SubclassWindow(HWND wnd) {
    if (hwnd_ || !wnd || FromHandle(wnd)) return false;
    if (!::SetWindowSubclass(wnd, &CWnd::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
    subclassed_ = true;
    Link(wnd);
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, HWND parent) { return SubclassWindow(::GetDlgItem(parent, static_cast<int>(id))); }

bool CWnd::DestroyWindow() {
    if (!hwnd_) return false;
    return ::DestroyWindow(hwnd_) != 0;
}

std::wstring CWnd::GetWindowText() const {
    if (!hwnd_) return {};
    int len = ::GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    int got = ::GetWindowTextW(hwnd_, text.data(), len + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

void CWnd::SetWindowText(const std::wstring& text) {
    if (hwnd_) ::SetWindowTextW(hwnd_, text.c_str());
}

RECT CWnd::GetClientRect() const {
    RECT rc{};
    if (hwnd_) ::GetClientRect(hwnd_, &rc);
    return rc;
}

RECT CWnd::GetWindowRect() const {
    RECT rc{};
    if (hwnd_) ::GetWindowRect(hwnd_, &rc);
    return rc;
}

bool CWnd::PreTranslateMessage(MSG*) { return false; }

void CWnd::Link(HWND wnd) {
    hwnd_ = wnd;
    ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void CWnd::Unlink() {
    if (!hwnd_) return;
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    if (subclassed_) ::RemoveWindowSubclass(hwnd_, &CWnd::SubclassProc, kSubclassId);
    subclassed_ = false;
    hwnd_ = nullptr;
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    CWnd* self = reinterpret_cast<CWnd*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (!self && msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        self = static_cast<CWnd*>(cs->lpCreateParams);
        if (self) self->Link(wnd);
    }
    // Messages before WM_NCCREATE (WM_GETMINMAXINFO) have no object yet.
    if (!self) return ::DefWindowProcW(wnd, msg, wp, lp);
    return self->Dispatch(msg, wp, lp);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<CWnd*>(ref);
    if (!self || self->hwnd_ != wnd) return ::DefSubclassProc(wnd, msg, wp, lp);
    return self->Dispatch(msg, wp, lp);
}

LRESULT CWnd::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    CurrentMessage saved = current_;
    current_ = {msg, wp, lp};
    LRESULT result = WindowProc(msg, wp, lp);
    current_ = saved;
    if (msg == WM_NCDESTROY) {
        Unlink();
        PostNcDestroy();
    }
    return result;
}

LRESULT CWnd::Default() { return DefWindowProc(current_.msg, current_.wp, current_.lp); }

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (subclassed_) return ::DefSubclassProc(hwnd_, msg, wp, lp);
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

bool CWnd::OnReflectedMessage(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

bool CWnd::ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    HWND child = nullptr;
    switch (msg) {
    case WM_NOTIFY:
        child = reinterpret_cast<NMHDR*>(lp)->hwndFrom;
        break;
    case WM_DRAWITEM: {
        // Controls may have identifier 0, so the type tells a menu apart, not wp.
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        child = item->CtlType == ODT_MENU ? nullptr : item->hwndItem;
        break;
    }
    case WM_MEASUREITEM:
        return false;  // no window in the structure; owners handle it themselves
    case WM_COMMAND:
        child = reinterpret_cast<HWND>(lp);  // 0 for menus and accelerators
        break;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
        child = reinterpret_cast<HWND>(lp);
        break;
    default:
        return false;
    }
    CWnd* target = FromHandle(child);
    return target && target->OnReflectedMessage(msg, wp, lp, result);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (ReflectToChild(msg, wp, lp, &result)) return result;
    switch (msg) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<CREATESTRUCTW*>(lp));
    case WM_DESTROY:
        OnDestroy();
        return Default();
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<HDC>(wp)) ? 1 : 0;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
        return 0;
    case WM_TIMER:
        OnTimer(wp);
        return 0;
    case WM_COMMAND:
        if (OnCommand(wp, lp)) return 0;
        break;
    case WM_NOTIFY:
        if (OnNotify(wp, reinterpret_cast<NMHDR*>(lp), &result)) return result;
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wp), PointFromLParam(lp));
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wp), PointFromLParam(lp));
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(static_cast<UINT>(wp), PointFromLParam(lp));
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(static_cast<UINT>(wp), PointFromLParam(lp));
        return 0;
    case WM_RBUTTONDOWN:
        OnRButtonDown(static_cast<UINT>(wp), PointFromLParam(lp));
        return 0;
    case WM_RBUTTONUP:
        OnRButtonUp(static_cast<UINT>(wp), PointFromLParam(lp));
        return 0;
    default:
        break;
    }
    return DefWindowProc(msg, wp, lp);
}

}  // namespace platform
