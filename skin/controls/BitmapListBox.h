// CBitmapListBox: a list box whose background is a picture and whose text is
// drawn transparently in its own colour.
#pragma once
#include "platform/Controls.h"
#include "platform/Handles.h"

namespace nsSkin {

class CBitmapListBox : public platform::CListBox {
public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    void SetBackground(platform::UniqueBitmap background);
    HBITMAP Background() const { return background_.get(); }
    void SetTextColor(COLORREF color);
    COLORREF GetTextColor() const { return textColor_; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    bool OnEraseBkgnd(HDC dc) override;

    platform::UniqueBitmap background_;
    COLORREF textColor_ = 0;
};

}  // namespace nsSkin
