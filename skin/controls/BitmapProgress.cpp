// CBitmapProgress.
#include "skin/controls/BitmapProgress.h"

#include <algorithm>

#include "skin/controls/MemDC.h"
#include "skin/controls/SkinGdi.h"

namespace nsSkin {

void CBitmapProgress::SetPictures(platform::UniqueBitmap background, platform::UniqueBitmap filled,
                                  platform::UniqueBitmap buffered, platform::UniqueBitmap thumb) {
    background_ = std::move(background);
    filled_ = std::move(filled);
    buffered_ = std::move(buffered);
    thumb_ = std::move(thumb);
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

int CBitmapProgress::Clamp(int pos) const {
    pos = std::clamp(pos, 0, std::max(max_, 0));
    if (HasLimit()) pos = std::min(pos, limit_);
    return pos;
}

void CBitmapProgress::SetPos(int pos) {
    if (dragging_) return;
    pos = Clamp(pos);
    if (pos == pos_) return;
    pos_ = pos;
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void CBitmapProgress::SetRange(int maximum) {
    max_ = maximum > 0 ? maximum : 100;
    pos_ = std::min(pos_, max_);
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void CBitmapProgress::SetBufferedLimit(int limit) {
    limit_ = limit;
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

// Proportional to the distance from the left, or from the bottom when vertical.
int CBitmapProgress::PositionAt(POINT pt) const {
    RECT client = GetClientRect();
    long long pos = 0;
    if (horizontal_)
        pos = client.right > 0 ? static_cast<long long>(pt.x) * max_ / client.right : 0;
    else
        pos = client.bottom > 0 ? static_cast<long long>(client.bottom - pt.y) * max_ / client.bottom : 0;
    return static_cast<int>(std::clamp<long long>(pos, 0, max_));
}

// Drawn off-screen: background, buffered and filled parts overlap and would flicker.
void CBitmapProgress::DrawItem(DRAWITEMSTRUCT* item) {
    RECT rc = item->rcItem;
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    CMemDC mem(item->hDC, rc);
    HDC dc = mem.GetSafeHdc();
    StretchBitmap(dc, background_.get(), rc);
    auto fill = [&](HBITMAP picture, int value) {
        if (!picture || max_ <= 0 || value <= 0) return;
        SIZE size = BitmapSize(picture);
        if (horizontal_) {
            int part = static_cast<int>(static_cast<long long>(w) * value / max_);
            int src = static_cast<int>(static_cast<long long>(size.cx) * value / max_);
            StretchBitmapPart(dc, picture, RECT{rc.left, rc.top, rc.left + part, rc.bottom}, RECT{0, 0, src, size.cy});
        } else {
            int part = static_cast<int>(static_cast<long long>(h) * value / max_);
            int src = static_cast<int>(static_cast<long long>(size.cy) * value / max_);
            StretchBitmapPart(dc, picture, RECT{rc.left, rc.bottom - part, rc.right, rc.bottom},
                              RECT{0, size.cy - src, size.cx, size.cy});
        }
    };
    // The buffered part is its whole picture stretched over the buffered fraction.
    if (HasLimit() && limit_ <= max_ && limit_ > 0 && buffered_) {
        int part = static_cast<int>(static_cast<long long>(horizontal_ ? w : h) * limit_ / max_);
        RECT area = horizontal_ ? RECT{rc.left, rc.top, rc.left + part, rc.bottom}
                                : RECT{rc.left, rc.bottom - part, rc.right, rc.bottom};
        StretchBitmap(dc, buffered_.get(), area);
    }
    fill(filled_.get(), std::min(pos_, max_));
    thumbRect_ = RECT{};
    if (thumb_ && ::IsWindowEnabled(hwnd_) && max_ > 0) {
        SIZE size = BitmapSize(thumb_.get());
        int tw = static_cast<int>(size.cx), th = static_cast<int>(size.cy);
        int x = 0, y = 0;
        if (horizontal_) {
            x = std::clamp(static_cast<int>(static_cast<long long>(w) * pos_ / max_) - tw / 2, 0, std::max(0, w - tw));
            y = (h - th) / 2;
        } else {
            x = (w - tw) / 2;
            y = std::clamp(h - static_cast<int>(static_cast<long long>(h) * pos_ / max_) - th / 2, 0, std::max(0, h - th));
        }
        DrawTransparent(dc, thumb_.get(), rc.left + x, rc.top + y, RGB(0, 0, 0));
        thumbRect_ = RECT{x, y, x + tw, y + th};
    }
    if (showCaption_)
        DrawCaption(dc, rc.left + caption_.insets.left, rc.top, rc.right, rc.bottom, caption_.colors[0],
                    caption_.format);
}

void CBitmapProgress::OnLButtonDown(UINT, POINT pt) {
    if (!interactive_) return;
    int pos = ::PtInRect(&thumbRect_, pt) ? pos_ : PositionAt(pt);
    // A press past what is buffered is not taken: its release changes nothing.
    acceptRelease_ = !(HasLimit() && pos > limit_);
    dragging_ = true;
    ::SetCapture(hwnd_);
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

// A press that was refused still ends the drag, so the bar never stays captured.
void CBitmapProgress::OnLButtonUp(UINT, POINT pt) {
    if (!dragging_) return;
    dragging_ = false;
    if (::GetCapture() == hwnd_) ::ReleaseCapture();
    bool accepted = acceptRelease_;
    acceptRelease_ = true;
    if (!accepted) {
        ::InvalidateRect(hwnd_, nullptr, FALSE);
        return;
    }
    pos_ = Clamp(PositionAt(pt));
    ::InvalidateRect(hwnd_, nullptr, FALSE);
    ReportPosition();
}

void CBitmapProgress::OnMouseMove(UINT, POINT pt) {
    if (!dragging_ || !acceptRelease_) return;
    pos_ = Clamp(PositionAt(pt));
    ::InvalidateRect(hwnd_, nullptr, FALSE);
    if (reportWhileDragging_) ReportPosition();
}

LRESULT CBitmapProgress::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case PBM_GETPOS:
        return pos_;
    case PBM_GETRANGE:
        if (auto* range = reinterpret_cast<PBRANGE*>(lp)) *range = PBRANGE{0, max_};
        return wp ? 0 : max_;
    default:
        return CBitmapBtn::WindowProc(msg, wp, lp);
    }
}

}  // namespace nsSkin
