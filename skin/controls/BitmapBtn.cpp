// CBitmapBtn: drawing, mouse states and the fade.
#include "skin/controls/BitmapBtn.h"



#include "skin/controls/SkinGdi.h"

namespace nsSkin {

bool CBitmapBtn::Create(const std::wstring& text, DWORD style, const RECT& rect, HWND parent, UINT id) {
    if (!CButton::Create(text, style | BS_OWNERDRAW | WS_CHILD, rect, parent, id)) return false;
    RemoveWindowTheme(hwnd_);
    ::SetWindowLongW(hwnd_, GWL_STYLE, ::GetWindowLongW(hwnd_, GWL_STYLE) & ~WS_TABSTOP);
    return true;
}

// Each state picture is the button's own copy, so the window pictures may go.
void CBitmapBtn::SetBitmaps(HBITMAP normal, HBITMAP over, HBITMAP pressed, HBITMAP disabled, const RECT& sourceRect) {
    SetStateBitmaps(CopyBitmapRect(normal, sourceRect), CopyBitmapRect(over, sourceRect),
                    CopyBitmapRect(pressed, sourceRect), CopyBitmapRect(disabled, sourceRect));
}

void CBitmapBtn::SetStateBitmaps(platform::UniqueBitmap normal, platform::UniqueBitmap over,
                                 platform::UniqueBitmap pressed, platform::UniqueBitmap disabled) {
    pictures_[kNormal] = std::move(normal);
    pictures_[kOver] = std::move(over);
    pictures_[kPressed] = std::move(pressed);
    pictures_[kDisabled] = std::move(disabled);
    if (hwnd_) {
        LONG style = ::GetWindowLongW(hwnd_, GWL_STYLE);
        ::SetWindowLongW(hwnd_, GWL_STYLE, style & ~(WS_BORDER | WS_TABSTOP));
        ::InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void CBitmapBtn::SetShape(platform::UniqueRegion shape) {
    shape_ = std::move(shape);
    if (!hwnd_) return;
    if (!shape_) {
        ::SetWindowRgn(hwnd_, nullptr, TRUE);
        return;
    }
    // The window takes ownership of the region it is given: hand it a copy.
    HRGN forWindow = ::CreateRectRgn(0, 0, 0, 0);
    ::CombineRgn(forWindow, shape_.get(), nullptr, RGN_COPY);
    if (!::SetWindowRgn(hwnd_, forWindow, TRUE)) ::DeleteObject(forWindow);
}

// A toggle that is on keeps the pressed picture until the owner turns it off.
void CBitmapBtn::SetOn(bool on) {
    if (!toggle_ || on == on_) return;
    on_ = on;
    if (on) {
        previous_ = state_;
        state_ = kPressed;
    } else {
        previous_ = state_ = kNormal;
    }
    RepaintNow();
}

void CBitmapBtn::EnableButton(bool enable) {
    if (hwnd_ && (::IsWindowEnabled(hwnd_) != 0) != enable) ::EnableWindow(hwnd_, enable ? TRUE : FALSE);
}

void CBitmapBtn::SetCaption(const std::wstring& text) {
    showCaption_ = true;
    SetWindowText(text);
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void CBitmapBtn::SetCaptionStyle(const CaptionStyle& style) {
    caption_ = style;
    captionFont_.reset(style.hasFont ? ::CreateFontIndirectW(&style.font) : nullptr);
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

bool CBitmapBtn::FadeStepAlpha(int counter, BYTE* alpha) {
    // The counter is used as a byte: the old picture fades out, the new one in.
    if (counter < 128) {
        *alpha = static_cast<BYTE>((-2 * counter - 1) & 0xFF);
        return false;
    }
    *alpha = static_cast<BYTE>((2 * counter + 2) & 0xFF);
    return true;
}

// Toggles show only two pictures; a disabled toggle that is off shows the
// disabled one like any other button.
HBITMAP CBitmapBtn::PictureForState(int state) const {
    if (toggle_) {
        if (state == kDisabled && !on_) return pictures_[kDisabled].get();
        return on_ ? pictures_[kPressed].get() : pictures_[kNormal].get();
    }
    return StateBitmap(state);
}

// While a fade runs, the timer owns the pixels; a repaint only adds the caption.
void CBitmapBtn::DrawItem(DRAWITEMSTRUCT* item) {
    HDC dc = item->hDC;
    RECT rc = item->rcItem;
    int saved = ::SaveDC(dc);
    if (shape_) ::SelectClipRgn(dc, shape_.get());
    int state = (item->itemState & ODS_DISABLED) ? kDisabled : state_;
    if (!fadeRunning_) {
        HBITMAP picture = PictureForState(state);
        if (picture) StretchBitmapPart(dc, picture, rc, RECT{0, 0, BitmapSize(picture).cx, BitmapSize(picture).cy});
    }
    if (showCaption_) {
        RECT text = rc;
        const RECT& in = caption_.insets;
        if (in.left || in.top || in.right || in.bottom) {
            text.left += in.left;
            text.top += in.top;
            text.right -= in.right;
            text.bottom -= in.bottom;
        }
        const RECT* extra = state == kOver ? &caption_.overInsets : state == kPressed ? &caption_.pressedInsets : nullptr;
        if (extra) {
            text.left += extra->left;
            text.top += extra->top;
            text.right -= extra->right;
            text.bottom -= extra->bottom;
        }
        DrawCaption(dc, text.left, text.top, text.right, text.bottom, caption_.colors[state], caption_.format);
    }
    ::RestoreDC(dc, saved);
}

void CBitmapBtn::DrawCaption(HDC dc, int left, int top, int right, int bottom, COLORREF color, UINT format) {
    std::wstring text = GetWindowText();
    if (text.empty()) return;
    int saved = ::SaveDC(dc);
    ::SetBkMode(dc, TRANSPARENT);
    HFONT font = captionFont_ ? captionFont_.get() : reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (font) ::SelectObject(dc, font);
    // A shadow under grey disabled text would only smear it.
    if (caption_.shadow && ::IsWindowEnabled(hwnd_)) {
        RECT shadow{left + caption_.shadowX, top + caption_.shadowY, right + caption_.shadowX,
                    bottom + caption_.shadowY};
        ::SetTextColor(dc, caption_.shadowColor);
        ::DrawTextW(dc, text.c_str(), -1, &shadow, format);
    }
    RECT rc{left, top, right, bottom};
    ::SetTextColor(dc, color);
    ::DrawTextW(dc, text.c_str(), -1, &rc, format);
    ::RestoreDC(dc, saved);
}

// Stretched like the plain drawing, so a picture of another size still fills the button.
void CBitmapBtn::DrawFadeFrame(HDC dc, HBITMAP picture, BYTE alpha) {
    SIZE size = BitmapSize(picture);
    if (!size.cx) return;
    RECT client = GetClientRect();
    platform::UniqueMemoryDC memory(::CreateCompatibleDC(dc));
    platform::SelectGuard sel(memory.get(), picture);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, 0};
    ::GdiAlphaBlend(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, size.cx, size.cy, blend);
}

LRESULT CBitmapBtn::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CAPTURECHANGED:
        OnCaptureChanged();
        return 0;
    case WM_KILLFOCUS:
        OnKillFocus();
        return Default();
    case WM_ENABLE:
        OnEnable(wp != 0);
        return Default();
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (wp == VK_SPACE && OnSpaceKey(msg == WM_KEYDOWN, lp)) return 0;
        break;
    case WM_CHAR:
        if (wp == L' ') return 0;
        break;
    case WM_SETCURSOR:
        // A child (the edit field of a drop-down) keeps its own cursor.
        if (reinterpret_cast<HWND>(wp) == hwnd_ && OnSetCursor()) return TRUE;
        break;
    default:
        break;
    }
    return CButton::WindowProc(msg, wp, lp);
}

// The window under the point, not the client rectangle: a shaped button has holes.
bool CBitmapBtn::IsCursorOver(POINT clientPt) const {
    POINT screen = clientPt;
    ::ClientToScreen(hwnd_, &screen);
    return ::WindowFromPoint(screen) == hwnd_;
}

void CBitmapBtn::SetState(int state) {
    previous_ = state_;
    state_ = state;
}

// Hovering is tracked by holding the capture: the first move inside takes it,
// the first move outside gives it back.
void CBitmapBtn::OnMouseMove(UINT flags, POINT pt) {
    if (toggle_ && on_) return;
    bool leftDown = (flags & MK_LBUTTON) != 0;
    if (leftDown && state_ != kOver) return;
    if (::GetCapture() != hwnd_ && ::GetActiveWindow() && ::GetParent(hwnd_)) {
        ::SetCapture(hwnd_);
        mouseLeft_ = false;
        SetState(kOver);
        StartFade();
        RepaintNow();
    } else if (!IsCursorOver(pt)) {
        mouseLeft_ = true;
        SetState(kNormal);
        StartFade();
        RepaintNow();
        if (!leftDown && ::GetCapture() == hwnd_) ::ReleaseCapture();
    }
}

// A press needs no hover first: the first click on an inactive window comes
// without one, and a user's click is a click all the same.
void CBitmapBtn::OnLButtonDown(UINT, POINT) {
    if ((state_ == kOver || state_ == kNormal) && !(toggle_ && on_)) {
        previous_ = state_;
        state_ = kPressed;
        StartFade();
        RepaintNow();
    }
    // The focus comes with the click, as with any button, so Space can press it next.
    if (::GetFocus() != hwnd_) ::SetFocus(hwnd_);
    // The capture stays while the button is held so that a release outside
    // is seen (and reports nothing).
    if (::GetCapture() != hwnd_) ::SetCapture(hwnd_);
}

void CBitmapBtn::OnLButtonUp(UINT, POINT pt) {
    bool inside = IsCursorOver(pt);
    if (state_ == kPressed && !(toggle_ && on_)) {
        SetState(inside ? kOver : kNormal);
        StartFade();
        RepaintNow();
        if (inside) NotifyClicked();
    }
    // After the press the capture is kept only to follow a hover that goes on.
    if (::GetCapture() == hwnd_ && (!inside || state_ != kOver)) ::ReleaseCapture();
}

void CBitmapBtn::NotifyClicked() {
    HWND parent = ::GetParent(hwnd_);
    if (parent)
        ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(hwnd_), BN_CLICKED), reinterpret_cast<LPARAM>(hwnd_));
}

// Space presses a focused button and releasing it clicks, as with a system button.
bool CBitmapBtn::OnSpaceKey(bool down, LPARAM keyData) {
    if (toggle_ && on_ && down) return true;
    if (down) {
        if (keyData & (1 << 30)) return true;  // auto-repeat
        previous_ = state_;
        state_ = kPressed;
        RepaintNow();
        spacePressed_ = true;
        return true;
    }
    if (!spacePressed_) return true;
    spacePressed_ = false;
    SetState(kNormal);
    RepaintNow();
    OnKeyboardClick();
    return true;
}

void CBitmapBtn::OnKeyboardClick() { NotifyClicked(); }

// Another window took the mouse (a menu, a message box): the hover is over.
void CBitmapBtn::OnCaptureChanged() {
    if (state_ != kOver) return;
    SetState(kNormal);
    RepaintNow();
}

void CBitmapBtn::OnKillFocus() {
    spacePressed_ = false;
    if (toggle_) return;
    previous_ = state_;
    state_ = kNormal;
    StopFade();
    RepaintNow();
}

// The repaint that follows comes from the default processing of WM_ENABLE.
void CBitmapBtn::OnEnable(bool enabled) {
    if (enabled) {
        state_ = (toggle_ && on_) ? kPressed : kNormal;
    } else {
        state_ = kDisabled;
        StopFade();
    }
}

bool CBitmapBtn::OnSetCursor() {
    if (!useSkinCursor_ || !CurrentSkinCursor()) return false;
    ::SetCursor(CurrentSkinCursor());
    return true;
}

void CBitmapBtn::StartFade() {
    if (!fadeEnabled_ || toggle_ || !hwnd_) return;
    fadeRunning_ = true;
    fadeCounter_ = 0;
    ::SetTimer(hwnd_, kFadeTimer, kFadeInterval, nullptr);
}

void CBitmapBtn::StopFade() {
    if (hwnd_) ::KillTimer(hwnd_, kFadeTimer);
    fadeRunning_ = false;
    fadeCounter_ = 0;
}

void CBitmapBtn::OnTimer(UINT_PTR id) {
    if (id != kFadeTimer) {
        Default();
        return;
    }
    if (fadeCounter_ >= 256) {
        // Five steps done: settle on the plain picture of the new state.
        ::KillTimer(hwnd_, kFadeTimer);
        fadeRunning_ = false;
        fadeCounter_ = 0;
        ::InvalidateRect(hwnd_, nullptr, FALSE);
        return;
    }
    HBITMAP from = nullptr, to = nullptr;
    if (state_ == kOver && previous_ == kNormal) {
        from = pictures_[kNormal].get(), to = pictures_[kOver].get();
    } else if (state_ == kPressed && previous_ == kOver) {
        from = pictures_[kOver].get(), to = pictures_[kPressed].get();
    } else if (state_ == kNormal && (previous_ == kPressed || previous_ == kNormal)) {
        from = pictures_[kPressed].get(), to = pictures_[kNormal].get();
    } else if (state_ == kNormal && previous_ == kOver) {
        from = pictures_[kOver].get(), to = pictures_[kNormal].get();
    } else if (state_ == kOver && previous_ == kPressed) {
        from = pictures_[kPressed].get(), to = pictures_[kOver].get();
    } else {
        StopFade();
        ::InvalidateRect(hwnd_, nullptr, FALSE);
        return;
    }
    BYTE alpha = 0;
    bool useNew = FadeStepAlpha(fadeCounter_, &alpha);
    {
        platform::WindowDC dc(hwnd_);
        int saved = ::SaveDC(dc.get());
        if (shape_) ::SelectClipRgn(dc.get(), shape_.get());
        DrawFadeFrame(dc.get(), useNew ? to : from, alpha);
        ::RestoreDC(dc.get(), saved);
    }
    fadeCounter_ += kFadeStep;
}

void CBitmapBtn::RepaintNow() {
    if (!hwnd_) return;
    ::InvalidateRect(hwnd_, nullptr, FALSE);
    ::UpdateWindow(hwnd_);
}

}  // namespace nsSkin
