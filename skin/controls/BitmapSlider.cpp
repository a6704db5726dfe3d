// CBitmapSlider: painted wholly by itself; the stock trackbar keeps only the
// range and the position.
#include "skin/controls/BitmapSlider.h"

#include <algorithm>

#include "skin/controls/MemDC.h"
#include "skin/controls/SkinGdi.h"

namespace nsSkin {

namespace {
constexpr COLORREF kThumbKey = RGB(0, 0, 255);
}

bool CBitmapSlider::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    if (!CSliderCtrl::Create(style | WS_CHILD | TBS_NOTICKS, rect, parent, id)) return false;
    RemoveWindowTheme(hwnd_);
    return true;
}

void CBitmapSlider::SetChannel(platform::UniqueBitmap normal, platform::UniqueBitmap filled) {
    channel_ = std::move(normal);
    filled_ = std::move(filled);
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void CBitmapSlider::SetThumb(platform::UniqueBitmap normal, platform::UniqueBitmap dragged,
                             platform::UniqueBitmap over, platform::UniqueBitmap disabled) {
    thumbs_[kThumbNormal] = std::move(normal);
    thumbs_[kThumbDragged] = std::move(dragged);
    thumbs_[kThumbOver] = std::move(over);
    thumbs_[kThumbDisabled] = std::move(disabled);
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

SIZE CBitmapSlider::ThumbSize() const {
    SIZE size = BitmapSize(thumbs_[kThumbNormal].get());
    if (!size.cx) size = SIZE{8, 8};
    return size;
}

// The thumb travels the whole client width (or height) less its own size;
// the stock trackbar's channel margins are not used.
RECT CBitmapSlider::ThumbRect() const {
    RECT client = GetClientRect();
    SIZE t = ThumbSize();
    // Ranges from a skin may span the whole int range: computed in 64 bits.
    long long lo = GetRangeMin(), hi = GetRangeMax();
    long long span = std::max(1LL, hi - lo);
    long long pos = std::clamp<long long>(GetPos(), lo, std::max(lo, hi));
    if (IsVertical()) {
        int travel = std::max(0, static_cast<int>(client.bottom - t.cy));
        int y = static_cast<int>(travel * (pos - lo) / span);
        int x = (client.right - t.cx) / 2;
        return RECT{x, y, x + t.cx, y + t.cy};
    }
    int travel = std::max(0, static_cast<int>(client.right - t.cx));
    int x = static_cast<int>(travel * (pos - lo) / span);
    int y = (client.bottom - t.cy) / 2;
    return RECT{x, y, x + t.cx, y + t.cy};
}

int CBitmapSlider::PositionAt(POINT pt) const {
    RECT client = GetClientRect();
    SIZE t = ThumbSize();
    long long lo = GetRangeMin(), hi = std::max<long long>(lo, GetRangeMax());
    bool vertical = IsVertical();
    int travel = std::max(1, static_cast<int>((vertical ? client.bottom - t.cy : client.right - t.cx)));
    int along = (vertical ? pt.y - t.cy / 2 : pt.x - t.cx / 2);
    // travel is at most a window's width: the product stays far inside 64 bits.
    long long pos = lo + static_cast<long long>(along) * (hi - lo) / travel;
    return static_cast<int>(std::clamp<long long>(pos, lo, hi));
}

void CBitmapSlider::TrackTo(POINT pt) {
    SetPos(PositionAt(pt), true);
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void CBitmapSlider::SendTrackScroll() {
    int pos = GetPos();
    HWND parent = ::GetParent(hwnd_);
    if (parent)
        ::SendMessageW(parent, IsVertical() ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, pos),
                       reinterpret_cast<LPARAM>(hwnd_));
}

LRESULT CBitmapSlider::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CAPTURECHANGED && !dragging_ && overThumb_) {
        overThumb_ = false;
        ::InvalidateRect(hwnd_, nullptr, FALSE);
    }
    return CSliderCtrl::WindowProc(msg, wp, lp);
}

void CBitmapSlider::OnPaint() {
    platform::PaintDC paint(hwnd_);
    RECT client = GetClientRect();
    CMemDC mem(paint.get(), client);
    HDC dc = mem.GetSafeHdc();
    StretchBitmap(dc, channel_.get(), client);
    RECT thumb = ThumbRect();
    if (filled_) {
        // The filled part runs from the start of the channel to the thumb's centre.
        SIZE f = BitmapSize(filled_.get());
        if (IsVertical()) {
            int upTo = (thumb.top + thumb.bottom) / 2;
            int src = client.bottom ? static_cast<int>(static_cast<long long>(f.cy) * upTo / client.bottom) : 0;
            StretchBitmapPart(dc, filled_.get(), RECT{0, 0, client.right, upTo}, RECT{0, 0, f.cx, src});
        } else {
            int upTo = (thumb.left + thumb.right) / 2;
            int src = client.right ? static_cast<int>(static_cast<long long>(f.cx) * upTo / client.right) : 0;
            StretchBitmapPart(dc, filled_.get(), RECT{0, 0, upTo, client.bottom}, RECT{0, 0, src, f.cy});
        }
    }
    int which = !::IsWindowEnabled(hwnd_) ? kThumbDisabled
                : dragging_                ? kThumbDragged
                : overThumb_               ? kThumbOver
                                           : kThumbNormal;
    HBITMAP picture = thumbs_[which] ? thumbs_[which].get() : thumbs_[kThumbNormal].get();
    if (picture) DrawTransparent(dc, picture, thumb.left, thumb.top, kThumbKey);
}

// A press anywhere jumps the thumb there and starts dragging it.
void CBitmapSlider::OnLButtonDown(UINT, POINT pt) {
    dragging_ = true;
    ::SetCapture(hwnd_);
    TrackTo(pt);
    OnThumbPressed();
    SendTrackScroll();
}

void CBitmapSlider::OnLButtonUp(UINT, POINT) {
    if (!dragging_) return;
    dragging_ = false;
    if (::GetCapture() == hwnd_) ::ReleaseCapture();
    ::InvalidateRect(hwnd_, nullptr, FALSE);
    OnThumbReleased();
}

void CBitmapSlider::OnMouseMove(UINT, POINT pt) {
    if (dragging_) {
        TrackTo(pt);
        OnThumbDragged();
        SendTrackScroll();
        return;
    }
    RECT thumb = ThumbRect();
    bool over = ::PtInRect(&thumb, pt) != 0;
    if (over != overThumb_) {
        overThumb_ = over;
        // Holding the capture while over the thumb tells when the mouse leaves it.
        if (over)
            ::SetCapture(hwnd_);
        else if (::GetCapture() == hwnd_)
            ::ReleaseCapture();
        ::InvalidateRect(hwnd_, nullptr, FALSE);
    }
    OnHover(pt);
}

}  // namespace nsSkin
