// CSkinListCtrl and CSkinHeaderCtrl: a report-view list with alternating row
// colours and a header drawn from pictures.
#pragma once
#include <vector>

#include "platform/Controls.h"
#include "platform/Handles.h"

namespace nsSkin {

class CSkinHeaderCtrl : public platform::CHeaderCtrl {
public:
    static constexpr COLORREF kFillColor = 0x76554C;

    // Background (repeated across), left and right column separators.
    void SetPictures(platform::UniqueBitmap background, platform::UniqueBitmap separatorLeft,
                     platform::UniqueBitmap separatorRight);
    void SetTextColor(COLORREF color);
    COLORREF GetTextColor() const { return textColor_; }
    // Extra room right of a column's title, to line it up with its cells' text.
    void SetTitleInset(int column, int pixels);

protected:
    void OnPaint() override;
    bool OnEraseBkgnd(HDC) override { return true; }
    // Called after each column is drawn; for derived headers.
    virtual void OnDrawColumn(HDC, int, const RECT&) {}
    int DrawSortArrow(HDC dc, const RECT& item, bool up);

    platform::UniqueBitmap background_, separatorLeft_, separatorRight_;
    COLORREF textColor_ = RGB(255, 255, 255);
    std::vector<int> titleInsets_;
};

class CSkinListCtrl : public platform::CListCtrl {
public:
    static constexpr COLORREF kEvenRowColor = 0xF9F2ED;
    static constexpr COLORREF kOddRowColor = 0xFFFFFF;

    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id, DWORD exStyle = 0);
    // Attaches the skinned header; Create does it, a list made otherwise calls it.
    bool AttachHeader();
    // Even rows, odd rows; the list's background becomes the first.
    void SetRowColors(COLORREF even, COLORREF odd);
    COLORREF EvenRowColor() const { return even_; }
    COLORREF OddRowColor() const { return odd_; }
    CSkinHeaderCtrl& Header() { return header_; }
    // The background colour a row gets.
    COLORREF RowColor(int row) const { return (row % 2) ? odd_ : even_; }

protected:
    bool OnCustomDraw(NMLVCUSTOMDRAW* draw, LRESULT* result) override;
    bool OnEraseBkgnd(HDC dc) override;

    CSkinHeaderCtrl header_;
    COLORREF even_ = kEvenRowColor;
    COLORREF odd_ = kOddRowColor;
};

}  // namespace nsSkin
