// CAnimatedLabel: a text on a background picture; text wider than the label
// scrolls to the left in a loop.
#pragma once
#include "skin/controls/BitmapBtn.h"

namespace nsSkin {

class CAnimatedLabel : public CBitmapBtn {
public:
    static constexpr UINT_PTR kScrollTimer = 0x4C42;
    static constexpr UINT kScrollInterval = 150;

    void SetBackground(platform::UniqueBitmap background);
    void SetLabelFont(const LOGFONTW& font);
    void SetTextColor(COLORREF color);
    COLORREF GetTextColor() const { return textColor_; }
    void SetFormat(UINT format) { format_ = format; }
    void SetScrollEnabled(bool scroll) { scrollEnabled_ = scroll; }
    // Sets the text and measures it; starts or stops scrolling.
    void SetText(const std::wstring& text);
    const std::wstring& GetText() const { return text_; }
    bool IsScrolling() const { return scrolling_; }
    // What is drawn right now (while scrolling: from the offset on, repeated;
    // otherwise the text, shortened in the middle when it does not fit).
    std::wstring ShownText() const;
    size_t ScrollOffset() const { return offset_; }

protected:
    void DrawItem(DRAWITEMSTRUCT* item) override;
    void OnTimer(UINT_PTR id) override;
    void OnDestroy() override;
    HFONT LabelFont() const;
    std::wstring FittedText() const;

    platform::UniqueBitmap background_;
    platform::UniqueFont font_;
    COLORREF textColor_ = 0;
    UINT format_ = DT_SINGLELINE | DT_VCENTER;
    bool scrollEnabled_ = true;
    bool scrolling_ = false;
    std::wstring text_;
    size_t offset_ = 0;
    size_t visibleChars_ = 0;
};

}  // namespace nsSkin
