// CBitmapBtn: an owner-drawn button with four state pictures (normal, mouse
// over, pressed, disabled), an optional shape, a caption with shadow and
// insets, two-state toggles and a five-step cross-fade between states.
#pragma once
#include <windows.h>

#include <string>

#include "platform/Controls.h"
#include "platform/Handles.h"

namespace nsSkin {

// How a caption is drawn; the plain form of a skin font style.
struct CaptionStyle {
    LOGFONTW font{};
    bool hasFont = false;
    UINT format = DT_SINGLELINE | DT_VCENTER;  // 36
    bool shadow = false;
    COLORREF shadowColor = 0;
    int shadowX = 0, shadowY = 0;
    RECT insets{5, 0, 0, 0};
    COLORREF colors[4] = {0, 0, 0, 0};  // normal, over, pressed, disabled
    RECT overInsets{0, 0, 0, 0};
    RECT pressedInsets{0, 0, 0, 0};
};

class CBitmapBtn : public platform::CButton {
public:
    enum { kNormal = 0, kOver = 1, kPressed = 2, kDisabled = 3 };
    static constexpr UINT_PTR kFadeTimer = 0x4641;
    static constexpr int kFadeStep = 60;
    static constexpr UINT kFadeInterval = 30;

    CBitmapBtn() = default;

    // An owner-drawn child button at `rect` (parent coordinates).
    bool Create(const std::wstring& text, DWORD style, const RECT& rect, HWND parent, UINT id);

    // Cuts the button's rectangle out of four source pictures (any may be null).
    void SetBitmaps(HBITMAP normal, HBITMAP over, HBITMAP pressed, HBITMAP disabled, const RECT& sourceRect);
    // Takes four pictures of the button's size.
    void SetStateBitmaps(platform::UniqueBitmap normal, platform::UniqueBitmap over, platform::UniqueBitmap pressed,
                         platform::UniqueBitmap disabled);
    HBITMAP StateBitmap(int state) const { return state >= 0 && state < 4 ? pictures_[state].get() : nullptr; }
    // Shapes the button (the region becomes the window's; a copy clips drawing).
    void SetShape(platform::UniqueRegion shape);
    bool HasShape() const { return static_cast<bool>(shape_); }

    void SetToggle(bool toggle) { toggle_ = toggle; }
    bool IsToggle() const { return toggle_; }
    // Turns a toggle on or off (only when it changes) and repaints at once.
    void SetOn(bool on);
    bool IsOn() const { return on_; }
    void EnableButton(bool enable);
    void SetCaption(const std::wstring& text);
    void SetCaptionStyle(const CaptionStyle& style);
    const CaptionStyle& GetCaptionStyle() const { return caption_; }
    void ShowCaption(bool show) { showCaption_ = show; }
    void SetFadeEnabled(bool enable) { fadeEnabled_ = enable; }
    void SetUseSkinCursor(bool use) { useSkinCursor_ = use; }

    int GetState() const { return state_; }
    int GetPreviousState() const { return previous_; }
    bool IsFadeRunning() const { return fadeRunning_; }
    int GetFadeCounter() const { return fadeCounter_; }

    // The picture and constant alpha of fade step `counter` (0, 60, 120 …):
    // true when the new picture is blended, false for the old one.
    static bool FadeStepAlpha(int counter, BYTE* alpha);

protected:
    void DrawItem(DRAWITEMSTRUCT* item) override;
    virtual void DrawCaption(HDC dc, int left, int top, int right, int bottom, COLORREF color, UINT format);
    // Blends one fade frame onto the button; the seam tests watch.
    virtual void DrawFadeFrame(HDC dc, HBITMAP picture, BYTE alpha);
    // The picture for the state being drawn.
    HBITMAP PictureForState(int state) const;

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnMouseMove(UINT flags, POINT pt) override;
    void OnLButtonDown(UINT flags, POINT pt) override;
    void OnLButtonUp(UINT flags, POINT pt) override;
    void OnLButtonDblClk(UINT flags, POINT pt) override { OnLButtonDown(flags, pt); }
    void OnTimer(UINT_PTR id) override;
    bool OnEraseBkgnd(HDC) override { return true; }
    virtual void OnCaptureChanged();
    virtual void OnKillFocus();
    virtual void OnEnable(bool enabled);
    virtual bool OnSetCursor();

    // Space went down or up while the button has the focus; true when handled.
    bool OnSpaceKey(bool down, LPARAM keyData);
    // A click by the keyboard; the skin-aware button reports it to its window.
    virtual void OnKeyboardClick();
    void NotifyClicked();
    void SetState(int state);
    void StartFade();
    void StopFade();
    void RepaintNow();
    bool IsCursorOver(POINT clientPt) const;

    int state_ = kNormal;
    int previous_ = kNormal;
    bool toggle_ = false;
    bool on_ = false;
    platform::UniqueBitmap pictures_[4];
    platform::UniqueRegion shape_;
    bool showCaption_ = false;
    CaptionStyle caption_;
    platform::UniqueFont captionFont_;
    bool fadeEnabled_ = false;
    bool fadeRunning_ = false;
    int fadeCounter_ = 0;
    bool useSkinCursor_ = true;
    bool mouseLeft_ = false;
    bool spacePressed_ = false;
};

}  // namespace nsSkin
