// CBitmapEdit: an edit box drawn over a background picture, with its own
// text colour and tooltip.
#pragma once
#include "platform/Controls.h"
#include "platform/Handles.h"
#include "skin/controls/SkinToolTip.h"

namespace nsSkin {

class CBitmapEdit : public platform::CEdit {
public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    void SetBackground(platform::UniqueBitmap background);
    void SetTextColor(COLORREF color);
    COLORREF GetTextColor() const { return textColor_; }
    void SetToolTipText(const std::wstring& text);
    HWND ToolTipWindow() const { return tooltip_.hwnd(); }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    bool OnEraseBkgnd(HDC dc) override;
    void OnDestroy() override;
    // EN_* notifications, passed on by the window that owns the edit box.
    virtual void OnEditNotify(UINT) {}

    platform::UniqueBitmap background_;
    COLORREF textColor_ = 0xFF0000;
    CSkinToolTip tooltip_;
    std::wstring tipText_;
};

}  // namespace nsSkin
