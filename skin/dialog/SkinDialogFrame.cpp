// CSkinDialog: painting, moving and resizing by the border zones, control
// layout, the context menu and the tooltip relay.


#include <algorithm>
#include <vector>

#include "menu/IconMenu.h"
#include "skin/SkinImage.h"
#include "skin/controls/SkinGdi.h"
#include "skin/dialog/SkinDialog.h"

namespace nsSkin {

namespace {
using Layout = SkinBorderLayout;

int W(const RECT& r) { return Layout::Width(r); }
int H(const RECT& r) { return Layout::Height(r); }

POINT ScreenPointFrom(LPARAM lp) { return POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}; }

// The track sizes the window asks for; a maximum of 0 means none.
MINMAXINFO TrackSizes(HWND wnd) {
    MINMAXINFO info{};
    info.ptMinTrackSize = POINT{::GetSystemMetrics(SM_CXMINTRACK), ::GetSystemMetrics(SM_CYMINTRACK)};
    info.ptMaxTrackSize = POINT{0, 0};
    ::SendMessageW(wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return info;
}
}  // namespace

// ---- painting -------------------------------------------------------------

// One strip: end pieces at their natural size at both ends, tiles repeated in
// between; with two tiles the middle piece stays centred.
void CSkinDialog::DrawStrip(HDC dc, const RECT (&pieces)[Layout::kPieceCount], bool hasTile2, bool horizontal,
                            const RECT& area) {
    const platform::UniqueBitmap* bitmaps = nullptr;
    if (&pieces == &borders_.top) bitmaps = top_;
    if (&pieces == &borders_.left) bitmaps = left_;
    if (&pieces == &borders_.bottom) bitmaps = bottom_;
    if (&pieces == &borders_.right) bitmaps = right_;
    if (!bitmaps) return;
    auto size = [&](int k) { return horizontal ? W(pieces[k]) : H(pieces[k]); };
    int start = horizontal ? area.left : area.top;
    int end = horizontal ? area.right : area.bottom;
    int first = size(Layout::kFirst), middle = size(Layout::kMiddle), last = size(Layout::kLast);
    // A span along the strip, full across it.
    auto span = [&](int from, int to) {
        return horizontal ? RECT{from, area.top, to, area.bottom} : RECT{area.left, from, area.right, to};
    };
    auto at = [&](int k, int pos) {
        if (horizontal)
            DrawBitmap(dc, bitmaps[k].get(), pos, area.top);
        else
            DrawBitmap(dc, bitmaps[k].get(), area.left, pos);
    };
    at(Layout::kFirst, start);
    int tileFrom = start + first;
    if (hasTile2) {
        int free = (end - start) - middle - first - last;
        int half = free / 2;
        TileBitmap(dc, bitmaps[Layout::kTile1].get(), span(tileFrom, tileFrom + half));
        at(Layout::kMiddle, tileFrom + half);
        TileBitmap(dc, bitmaps[Layout::kTile2].get(), span(tileFrom + half + middle, end - last));
    } else {
        TileBitmap(dc, bitmaps[Layout::kTile1].get(), span(tileFrom, end - last));
    }
    at(Layout::kLast, end - last);
}

// Window coordinates: a frame window has no caption or border, so its client
// area is the whole window.
void CSkinDialog::PaintFrame(HDC dc) {
    RECT wr = GetWindowRect();
    int w = wr.right - wr.left, h = wr.bottom - wr.top;
    const Layout& b = borders_;
    if (!main_) {
        platform::UniqueBrush fill(::CreateSolidBrush(bkColor_));
        RECT all{0, 0, w, h};
        ::FillRect(dc, &all, fill.get());
    } else if (b.topHeight || b.leftHeight || b.bottomHeight) {
        int T = b.topHeight, B = b.bottomHeight, L = b.leftWidth, R = b.rightWidth;
        DrawStrip(dc, b.top, b.topHasTile2, true, RECT{0, 0, w, T});
        DrawStrip(dc, b.left, b.leftHasTile2, false, RECT{0, T, L, h - B});
        DrawStrip(dc, b.bottom, b.bottomHasTile2, true, RECT{0, h - B, w, h});
        DrawStrip(dc, b.right, b.rightHasTile2, false, RECT{w - R, T, w, h - B});
        if (otherColor_ != kNoColor) {
            platform::UniqueBrush fill(::CreateSolidBrush(otherColor_));
            RECT inside{L, T, w - R, h - B};
            ::FillRect(dc, &inside, fill.get());
        }
    }
    PaintStaticTexts(dc, true);
}

void CSkinDialog::PaintMasked(HDC dc) {
    HBITMAP picture = (!advancedPanel_ && normalNoPanel_) ? normalNoPanel_.get() : main_.get();
    DrawBitmap(dc, picture, 0, 0);
    PaintStaticTexts(dc, false);
}

void CSkinDialog::PaintStaticTexts(HDC dc, bool throughSnapshot) {
    for (const auto& s : strings_) {
        RECT rc = s->rect;
        int w = rc.right - rc.left, h = rc.bottom - rc.top;
        if (throughSnapshot && s->background && w > 0 && h > 0) {
            // A fresh copy each time: the snapshot itself stays clean.
            platform::UniqueBitmap scratch = CopyBitmapRect(s->background.get(), RECT{0, 0, w, h});
            platform::UniqueMemoryDC memory(::CreateCompatibleDC(dc));
            platform::SelectGuard selBitmap(memory.get(), scratch.get());
            platform::SelectGuard selFont(memory.get(), s->font.get());
            ::SetBkMode(memory.get(), TRANSPARENT);
            ::SetTextColor(memory.get(), s->color);
            RECT inner{0, 0, w, h};
            ::DrawTextW(memory.get(), s->text.c_str(), -1, &inner, s->format);
            ::BitBlt(dc, rc.left, rc.top, w, h, memory.get(), 0, 0, SRCCOPY);
            continue;
        }
        int saved = ::SaveDC(dc);
        ::SelectObject(dc, s->font.get());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, s->color);
        ::DrawTextW(dc, s->text.c_str(), -1, &rc, s->format);
        ::RestoreDC(dc, saved);
    }
}

bool CSkinDialog::OnEraseBkgnd(HDC dc) {
    if (windowType_ == 0)
        PaintFrame(dc);
    else
        PaintMasked(dc);
    return true;
}

void CSkinDialog::OnPaint() {
    // The background erase draws everything; painting only validates.
    platform::PaintDC paint(hwnd_);
}

// ---- layout ---------------------------------------------------------------

// Controls in a corner zone follow that corner; controls in the top band between
// the corners move with the centred middle piece; all others stay.
RECT CSkinDialog::AnchorRect(const RECT& skin) const {
    const Layout& b = borders_;
    RECT wr = GetWindowRect();
    int winW = wr.right - wr.left, winH = wr.bottom - wr.top;
    int x = skin.left, y = skin.top;
    int Wd = b.topWidth, T = b.topHeight, B = b.bottomHeight, Hs = b.leftHeight;
    int tl = W(b.top[Layout::kFirst]), tr = W(b.top[Layout::kLast]);
    int bl = W(b.bottom[Layout::kFirst]), br = W(b.bottom[Layout::kLast]);
    int leftUpper = H(b.left[Layout::kFirst]), rightUpper = H(b.right[Layout::kFirst]);
    int nx = x, ny = y;
    if (x >= 0 && x <= tl && y >= 0 && y <= std::max(leftUpper, T)) {
        // top-left: stays
    } else if (x >= Wd - tr && x <= Wd && y >= 0 && y <= std::max(rightUpper, T)) {
        nx = winW + x - Wd;
    } else if (x < tl || x > Wd - tr || y < 0 || y > T) {
        int full = T + Hs + B;
        bool bottomBand = y >= full - B && y <= full;
        if (bottomBand && x >= 0 && x <= bl) {
            ny = winH + y - full;
        } else if (bottomBand && x >= Wd - br && x <= Wd) {
            nx = winW + x - Wd;
            ny = winH + y - full;
        }
    } else {
        int topMiddle = W(b.top[Layout::kMiddle]), firstTile = W(b.top[Layout::kTile1]);
        nx = (winW - topMiddle - tl - tr) / 2 + x - firstTile;
    }
    return RECT{nx, ny, nx + (skin.right - skin.left), ny + (skin.bottom - skin.top)};
}

void CSkinDialog::RelayoutControls() {
    if (!hwnd_) return;
    auto place = [&](platform::CWnd& control, const RECT& skin) {
        RECT rc = AnchorRect(skin);
        ::MoveWindow(control.hwnd(), rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, FALSE);
        ::InvalidateRect(control.hwnd(), nullptr, TRUE);
    };
    for (auto& c : buttons_) place(*c, c->id.rect);
    for (auto& c : sliders_) place(*c, c->id.rect);
    for (auto& c : edits_) place(*c, c->id.rect);
    for (auto& c : listBoxes_) {
        place(*c, c->id.rect);
        c->RebuildBackground(main_.get());
    }
    for (auto& c : comboBoxes_) place(*c, c->id.rect);
    for (auto& c : labels_) place(*c, c->id.rect);
}

void CSkinDialog::OnSize(UINT type, int cx, int cy) {
    Default();
    if (windowType_ != 0) return;
    RelayoutControls();
    if (!resizingMask_ || type == SIZE_MINIMIZED) return;
    platform::UniqueRegion shape(::CreateRectRgn(0, 0, 0, 0));
    if (::GetWindowRgn(hwnd_, shape.get()) == ERROR) return;
    RECT wr = GetWindowRect();
    (void)cx;
    (void)cy;
    HRGN stretched = StretchRegion(shape.get(), wr.right - wr.left, wr.bottom - wr.top);
    if (stretched && !::SetWindowRgn(hwnd_, stretched, TRUE)) ::DeleteObject(stretched);
}

// Rectangles crossing the cut lines grow, rectangles beyond them move, so the
// shape's corners keep their outline when the window grows.
HRGN CSkinDialog::StretchRegion(HRGN shape, int newWidth, int newHeight) const {
    if (!shape) return nullptr;
    MINMAXINFO track = TrackSizes(hwnd_);
    if ((track.ptMaxTrackSize.x > 0 && newWidth > track.ptMaxTrackSize.x) ||
        (track.ptMaxTrackSize.y > 0 && newHeight > track.ptMaxTrackSize.y))
        return nullptr;
    DWORD bytes = ::GetRegionData(shape, 0, nullptr);
    if (!bytes) return nullptr;
    std::vector<BYTE> buffer(bytes);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (!::GetRegionData(shape, bytes, data)) return nullptr;
    RECT box = data->rdh.rcBound;
    int dx = newWidth - (box.right - box.left), dy = newHeight - (box.bottom - box.top);
    int column = W(borders_.bottom[Layout::kFirst]);
    int row = borders_.left[Layout::kTile1].top;  // the left strip's cut point a
    auto* rects = reinterpret_cast<RECT*>(data->Buffer);
    RECT bound{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    for (DWORD i = 0; i < data->rdh.nCount; ++i) {
        RECT& r = rects[i];
        if (r.left <= column && column < r.right)
            r.right += dx;
        else if (r.left > column)
            ::OffsetRect(&r, dx, 0);
        if (r.top <= row && row < r.bottom)
            r.bottom += dy;
        else if (r.top > row)
            ::OffsetRect(&r, 0, dy);
        bound.left = std::min(bound.left, r.left);
        bound.top = std::min(bound.top, r.top);
        bound.right = std::max(bound.right, r.right);
        bound.bottom = std::max(bound.bottom, r.bottom);
    }
    data->rdh.rcBound = bound;
    return ::ExtCreateRegion(nullptr, bytes, data);
}

// ---- hit testing and resizing ----------------------------------------------

// Corners first, then edges; an empty border still gets a 5-pixel corner zone.
// A corner reaches at least kCornerGrip pixels in from each side: with a
// 1-pixel side border, a hand on the corner would otherwise size one edge only.
int CSkinDialog::HitTestBorder(POINT pt) const {
    constexpr int kCornerGrip = 8;
    RECT wr = GetWindowRect();
    if (!::PtInRect(&wr, pt)) return 0;
    const Layout& b = borders_;
    auto corner = [](int v) {
        const int zone = v ? v : 5;
        return zone > kCornerGrip ? zone : kCornerGrip;
    };
    int L = corner(b.leftWidth), R = corner(b.rightWidth), B = corner(b.bottomHeight);
    int fx = ::GetSystemMetrics(SM_CXDLGFRAME), fy = ::GetSystemMetrics(SM_CYDLGFRAME);
    if (pt.x >= wr.right - R && pt.y >= wr.bottom - B) return HTBOTTOMRIGHT;
    if (pt.x >= wr.right - R && pt.y < wr.top + B) return HTTOPRIGHT;
    if (pt.x < wr.left + L && pt.y < wr.top + B) return HTTOPLEFT;
    if (pt.x < wr.left + L && pt.y >= wr.bottom - B) return HTBOTTOMLEFT;
    if (pt.x >= wr.right - fx) return HTRIGHT;
    if (pt.y >= wr.bottom - fy) return HTBOTTOM;
    if (pt.y < wr.top + fy) return HTTOP;
    if (pt.x < wr.left + fx) return HTLEFT;
    return 0;
}

bool CSkinDialog::OnNcHitTest(POINT screen, LRESULT* result) {
    if (windowType_ != 0 || (::GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD)) return false;
    hitCode_ = ::IsZoomed(hwnd_) ? 0 : HitTestBorder(screen);
    if (!hitCode_) return false;
    *result = hitCode_;
    return true;
}

bool CSkinDialog::OnSetCursorForHit() {
    LPCWSTR cursor = nullptr;
    switch (hitCode_) {
    case HTLEFT:
    case HTRIGHT:
        cursor = IDC_SIZEWE;
        break;
    case HTTOP:
    case HTBOTTOM:
        cursor = IDC_SIZENS;
        break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        cursor = IDC_SIZENWSE;
        break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        cursor = IDC_SIZENESW;
        break;
    default:
        return false;
    }
    ::SetCursor(::LoadCursorW(nullptr, cursor));
    return true;
}

void CSkinDialog::OnNcLButtonDown(UINT hit, POINT screen) {
    if (!hit || hit != static_cast<UINT>(hitCode_)) return;
    lastResizePoint_ = screen;
    ::SetCapture(hwnd_);
}

// The system sizing loop is not used: the window has no sizing frame, and the
// owner sees WM_SIZING with the proposed rectangle as with a real frame.
void CSkinDialog::TrackResize(POINT screen) {
    if (screen.x == lastResizePoint_.x && screen.y == lastResizePoint_.y) return;
    lastResizePoint_ = screen;
    RECT rc = GetWindowRect();
    MINMAXINFO track = TrackSizes(hwnd_);
    int sizing = 0;
    bool left = false, right = false, top = false, bottom = false;
    switch (hitCode_) {
    case HTLEFT: sizing = WMSZ_LEFT, left = true; break;
    case HTRIGHT: sizing = WMSZ_RIGHT, right = true; break;
    case HTTOP: sizing = WMSZ_TOP, top = true; break;
    case HTTOPLEFT: sizing = WMSZ_TOPLEFT, top = left = true; break;
    case HTTOPRIGHT: sizing = WMSZ_TOPRIGHT, top = right = true; break;
    case HTBOTTOM: sizing = WMSZ_BOTTOM, bottom = true; break;
    case HTBOTTOMLEFT: sizing = WMSZ_BOTTOMLEFT, bottom = left = true; break;
    case HTBOTTOMRIGHT: sizing = WMSZ_BOTTOMRIGHT, bottom = right = true; break;
    default: return;
    }
    if (left) rc.left = screen.x;
    if (right) rc.right = screen.x;
    if (top) rc.top = std::min<LONG>(screen.y, rc.bottom - track.ptMinTrackSize.y);
    if (bottom) rc.bottom = screen.y;
    ::SendMessageW(hwnd_, WM_SIZING, static_cast<WPARAM>(sizing), reinterpret_cast<LPARAM>(&rc));
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (!(::GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD)) {
        w = std::max<int>(w, track.ptMinTrackSize.x);
        h = std::max<int>(h, track.ptMinTrackSize.y);
        if (track.ptMaxTrackSize.x > 0) w = std::min<int>(w, track.ptMaxTrackSize.x);
        if (track.ptMaxTrackSize.y > 0) h = std::min<int>(h, track.ptMaxTrackSize.y);
        // Clamping keeps the edge that did not move where it was.
        if (left) rc.left = rc.right - w;
        if (top) rc.top = rc.bottom - h;
    }
    POINT origin{rc.left, rc.top};
    HWND parent = ::GetParent(hwnd_);
    if (parent && (::GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD)) ::ScreenToClient(parent, &origin);
    ::SetWindowPos(hwnd_, nullptr, origin.x, origin.y, w, h, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
}

void CSkinDialog::EndResize() {
    if (::GetCapture() == hwnd_) ::ReleaseCapture();
    lastResizePoint_ = POINT{0xFFFFFF, 0xFFFFFF};
}

// ---- mouse ------------------------------------------------------------------

void CSkinDialog::OnLButtonDown(UINT, POINT pt) {
    if (::GetCapture() == hwnd_ && hitCode_) return;
    // The whole top-level window moves as if its caption were dragged.
    HWND target = (::GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD) ? ::GetAncestor(hwnd_, GA_ROOT) : hwnd_;
    POINT screen = pt;
    ::ClientToScreen(hwnd_, &screen);
    ::PostMessageW(target, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
}

void CSkinDialog::OnLButtonUp(UINT, POINT) { EndResize(); }

void CSkinDialog::OnMouseMove(UINT flags, POINT pt) {
    if (::GetCapture() != hwnd_ || !hitCode_ || !(flags & MK_LBUTTON)) {
        Default();
        return;
    }
    POINT screen = pt;
    ::ClientToScreen(hwnd_, &screen);
    TrackResize(screen);
}

// Only windows that name a menu resource have a context menu.
void CSkinDialog::OnRButtonDown(UINT, POINT pt) {
    if (!menuId_) return;
    // The owner-drawn copy of the resource's first sub-menu; its commands come to this window.
    IconMenu menu;
    if (!menu.LoadMenu(menuId_)) return;
    POINT screen = pt;
    ::ClientToScreen(hwnd_, &screen);
    activeMenu_ = &menu;
    menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, hwnd_);
    activeMenu_ = nullptr;
}

// ---- messages -----------------------------------------------------------------

LRESULT CSkinDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NCPAINT:
        return 0;
    case WM_NCACTIVATE:
        return TRUE;
    case WM_NCHITTEST: {
        LRESULT hit = 0;
        if (OnNcHitTest(ScreenPointFrom(lp), &hit)) return hit;
        hitCode_ = 0;
        break;
    }
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wp) == hwnd_ && OnSetCursorForHit()) return TRUE;
        break;
    case WM_NCLBUTTONDOWN:
        if (windowType_ == 0 && hitCode_ && static_cast<int>(wp) == hitCode_) {
            OnNcLButtonDown(static_cast<UINT>(wp), ScreenPointFrom(lp));
            return 0;
        }
        break;
    case WM_NCLBUTTONUP:
        EndResize();
        break;
    case WM_MEASUREITEM:
        if (activeMenu_ && reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->CtlType == ODT_MENU) {
            activeMenu_->MeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
            return TRUE;
        }
        break;
    case WM_DRAWITEM:
        if (activeMenu_ && reinterpret_cast<DRAWITEMSTRUCT*>(lp)->CtlType == ODT_MENU) {
            activeMenu_->DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lp));
            return TRUE;
        }
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        for (auto& slider : sliders_) {
            if (slider->hwnd() == reinterpret_cast<HWND>(lp)) {
                slider->OnParentScroll(LOWORD(wp));
                return 0;
            }
        }
        break;
    default:
        break;
    }
    return CDialog::WindowProc(msg, wp, lp);
}

// The tooltip learns about the mouse from here, in the coordinates of the
// control under it.
bool CSkinDialog::PreTranslateMessage(MSG* msg) {
    bool handled = CDialog::PreTranslateMessage(msg);
    HWND tip = tooltip_.hwnd();
    if (!tip || msg->message < WM_MOUSEFIRST || msg->message > WM_MOUSELAST) return handled;
    MSG copy = *msg;
    HWND under = reinterpret_cast<HWND>(::SendMessageW(tip, TTM_WINDOWFROMPOINT, 0,
                                                      reinterpret_cast<LPARAM>(&copy.pt)));
    if (under) {
        POINT client = copy.pt;
        ::ScreenToClient(under, &client);
        copy.hwnd = under;
        copy.lParam = MAKELPARAM(client.x, client.y);
    }
    tooltip_.Relay(copy);
    return handled;
}

void CSkinDialog::OnDestroy() {
    DestroyControls();
    tooltip_.Destroy();
    if (CurrentSkinCursor() == cursor_) SetCurrentSkinCursor(nullptr);
    CDialog::OnDestroy();
}

}  // namespace nsSkin
