// CBitmapSlider: a trackbar whose channel (normal and filled part) and thumb
// (normal, dragged, mouse over, disabled) are pictures.
#pragma once
#include "platform/Controls.h"
#include "platform/Handles.h"

namespace nsSkin {

class CBitmapSlider : public platform::CSliderCtrl {
public:
    enum { kThumbNormal = 0, kThumbDragged = 1, kThumbOver = 2, kThumbDisabled = 3 };

    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    void SetChannel(platform::UniqueBitmap normal, platform::UniqueBitmap filled);
    // Four thumb pictures; blue (0, 0, 255) is transparent in them.
    void SetThumb(platform::UniqueBitmap normal, platform::UniqueBitmap dragged, platform::UniqueBitmap over,
                  platform::UniqueBitmap disabled);
    bool HasThumb() const { return static_cast<bool>(thumbs_[kThumbNormal]); }
    bool IsVertical() const { return (::GetWindowLongW(hwnd_, GWL_STYLE) & TBS_VERT) != 0; }
    bool IsDragging() const { return dragging_; }
    bool IsOverThumb() const { return overThumb_; }
    // The thumb's rectangle for the current position (client coordinates).
    RECT ThumbRect() const;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnPaint() override;
    bool OnEraseBkgnd(HDC) override { return true; }
    void OnLButtonDown(UINT flags, POINT pt) override;
    void OnLButtonUp(UINT flags, POINT pt) override;
    void OnMouseMove(UINT flags, POINT pt) override;
    void OnLButtonDblClk(UINT flags, POINT pt) override { OnLButtonDown(flags, pt); }
    // Hooks for the skin-aware slider.
    virtual void OnThumbPressed() {}
    virtual void OnThumbReleased() {}
    virtual void OnThumbDragged() {}
    virtual void OnHover(POINT) {}

    int PositionAt(POINT pt) const;
    void TrackTo(POINT pt);
    // Tells the parent the thumb moved (TB_THUMBTRACK and the position).
    void SendTrackScroll();
    SIZE ThumbSize() const;

    platform::UniqueBitmap channel_, filled_;
    platform::UniqueBitmap thumbs_[4];
    bool dragging_ = false;
    bool overThumb_ = false;
};

}  // namespace nsSkin
