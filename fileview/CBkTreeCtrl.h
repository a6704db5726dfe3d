// CBkTreeCtrl: a tree view painted over a background picture. The control
// paints itself on a key-coloured canvas, which is then laid transparently
// over the picture, off screen, so nothing flickers.
#pragma once
#include "platform/Handles.h"
#include "platform/TreeCtrl.h"

class CBkTreeCtrl : public platform::CTreeCtrl {
public:
    // The control's own background colour; it never reaches the screen.
    static constexpr COLORREF kKeyColour = RGB(128, 0, 128);

    // Creates the control, gives it the key colour and skinned scroll bars.
    bool CreateTree(DWORD style, const RECT& rect, HWND parent, UINT id);

    void SetBackground(platform::UniqueBitmap background) { background_ = std::move(background); }
    HBITMAP Background() const { return background_.get(); }
    // Shown instead of the picture while there is none.
    void SetFallbackColour(COLORREF colour) { fallback_ = colour; }
    COLORREF FallbackColour() const { return fallback_; }

    // Renders the control and its background into dc (the client area at 0, 0).
    void Render(HDC dc);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    void OnPaint() override;
    bool OnEraseBkgnd(HDC) override { return true; }
    void OnDestroy() override;

private:
    platform::UniqueBitmap background_;
    COLORREF fallback_ = RGB(197, 197, 197);
};

// Copies src onto dst leaving dst unchanged where src has the key colour, by
// a monochrome mask (for systems whose TransparentBlt cannot be trusted).
void MaskedTransparentCopy(HDC dst, int x, int y, int width, int height, HDC src, COLORREF key);
// The same through the platform's TransparentBlt, or the mask on systems before Windows 2000.
void TransparentCopy(HDC dst, int x, int y, int width, int height, HDC src, COLORREF key);
