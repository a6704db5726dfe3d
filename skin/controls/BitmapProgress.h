// CBitmapProgress: a progress bar drawn from pictures (background, buffered
// part, filled part, thumb) that the user may also click and drag.
#pragma once
#include "skin/controls/BitmapBtn.h"

namespace nsSkin {

class CBitmapProgress : public CBitmapBtn {
public:
    void SetPictures(platform::UniqueBitmap background, platform::UniqueBitmap filled, platform::UniqueBitmap buffered,
                     platform::UniqueBitmap thumb);
    void SetHorizontal(bool horizontal) { horizontal_ = horizontal; }
    bool IsHorizontal() const { return horizontal_; }
    // Ignored while the user drags; clamped to the range and the buffered limit.
    void SetPos(int pos);
    int GetPos() const { return pos_; }
    void SetRange(int maximum);
    int GetRangeMax() const { return max_; }
    // 0 or 65535: no limit.
    void SetBufferedLimit(int limit);
    int GetBufferedLimit() const { return limit_; }
    void SetInteractive(bool interactive) { interactive_ = interactive; }
    void SetReportWhileDragging(bool report) { reportWhileDragging_ = report; }
    bool IsDragging() const { return dragging_; }

protected:
    void DrawItem(DRAWITEMSTRUCT* item) override;
    void OnLButtonDown(UINT flags, POINT pt) override;
    void OnLButtonUp(UINT flags, POINT pt) override;
    void OnMouseMove(UINT flags, POINT pt) override;
    void OnCaptureChanged() override {}
    void OnKillFocus() override {}
    // A position the user chose; the skin-aware bar tells its window.
    virtual void ReportPosition() {}

    bool HasLimit() const { return limit_ != 0 && limit_ != 65535; }
    int PositionAt(POINT pt) const;
    int Clamp(int pos) const;

    bool horizontal_ = true;
    int pos_ = 0;
    int max_ = 100;
    int limit_ = 0;
    bool interactive_ = true;
    bool dragging_ = false;
    bool acceptRelease_ = true;
    bool reportWhileDragging_ = true;
    RECT thumbRect_{};
    platform::UniqueBitmap background_, buffered_, filled_, thumb_;
};

}  // namespace nsSkin
