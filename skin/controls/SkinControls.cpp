// The skin-declared controls and their reports to the window.
#include "skin/controls/SkinControls.h"

#include "skin/SkinImage.h"
#include "skin/dialog/SkinDialog.h"

namespace nsSkin {

CSkinDialog* OwnerDialog(HWND control) {
    return dynamic_cast<CSkinDialog*>(platform::CWnd::FromHandle(::GetParent(control)));
}

// Only a release inside a button that was pressed is a click; a toggle that is
// on counts as pressed so that it can be clicked off.
void CSkinButton::OnLButtonUp(UINT flags, POINT pt) {
    bool wasPressed = state_ == kPressed || (toggle_ && on_);
    CBitmapBtn::OnLButtonUp(flags, pt);
    RECT client = GetClientRect();
    if (!wasPressed || !::PtInRect(&client, pt)) return;
    ::InvalidateRect(hwnd_, nullptr, FALSE);
    if (CSkinDialog* owner = OwnerDialog(hwnd_)) owner->OnButtonIndexClicked(id.index);
}

void CSkinButton::OnKeyboardClick() {
    if (CSkinDialog* owner = OwnerDialog(hwnd_)) owner->OnButtonIndexClicked(id.index);
}

void CSkinButton::OnRButtonUp(UINT, POINT) { ::InvalidateRect(hwnd_, nullptr, FALSE); }

void CSkinButton::OnMouseMove(UINT flags, POINT pt) {
    CBitmapBtn::OnMouseMove(flags, pt);
    if (CSkinDialog* owner = OwnerDialog(hwnd_)) owner->OnSkinMouseMove(id.name, pt.x, pt.y);
}

void CSkinLabel::OnLButtonUp(UINT flags, POINT pt) {
    CAnimatedLabel::OnLButtonUp(flags, pt);
    if (CSkinDialog* owner = OwnerDialog(hwnd_)) owner->OnLabelIndexClicked(id.index);
}

void CSkinLabel::OnMouseMove(UINT flags, POINT pt) {
    CAnimatedLabel::OnMouseMove(flags, pt);
    if (CSkinDialog* owner = OwnerDialog(hwnd_)) owner->OnSkinMouseMove(id.name, pt.x, pt.y);
}

void CSkinProgress::ReportPosition() {
    if (CSkinDialog* owner = OwnerDialog(hwnd_)) owner->OnSkinProgressChanged(id.name, pos_);
}

LRESULT CSkinSlider::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    // The keyboard does not move a skin trackbar.
    if (msg == WM_KEYDOWN || msg == WM_KEYUP) return 0;
    return CBitmapSlider::WindowProc(msg, wp, lp);
}

void CSkinSlider::OnParentScroll(int code) {
    if (CSkinDialog* owner = OwnerDialog(hwnd_)) owner->OnSliderIndexChanged(id.index, code, GetPos());
}

void CSkinSlider::OnThumbPressed() {
    if (CSkinDialog* owner = OwnerDialog(hwnd_)) owner->OnSliderIndexChanged(id.index, TB_THUMBPOSITION, GetPos());
}

void CSkinSlider::OnThumbReleased() {
    if (CSkinDialog* owner = OwnerDialog(hwnd_)) owner->OnSliderIndexChanged(id.index, TB_ENDTRACK, GetPos());
}

void CSkinSlider::OnThumbDragged() {
    if (CSkinDialog* owner = OwnerDialog(hwnd_)) owner->OnSliderIndexChanged(id.index, TB_THUMBPOSITION, GetPos());
}

void CSkinSlider::OnHover(POINT pt) {
    if (CSkinDialog* owner = OwnerDialog(hwnd_)) owner->OnSkinMouseMove(id.name, pt.x, pt.y);
}

void CSkinEdit::OnEditNotify(UINT code) {
    CSkinDialog* owner = OwnerDialog(hwnd_);
    if (!owner) return;
    switch (code) {
    case EN_CHANGE:
        owner->OnSkinTextChanged(id.name, GetWindowText());
        break;
    case EN_SETFOCUS:
        owner->OnSkinEditSetFocus();
        break;
    case EN_KILLFOCUS:
        owner->OnSkinEditKillFocus();
        break;
    default:
        break;
    }
}

// The client area, not the window: the border and scroll bars are not behind text.
void CSkinListBox::RebuildBackground(HBITMAP main) {
    RECT client = GetClientRect();
    RECT onWindow = client;
    ::MapWindowPoints(hwnd_, ::GetParent(hwnd_), reinterpret_cast<POINT*>(&onWindow), 2);
    SetBackground(CopyBitmapRect(main, onWindow));
}

void CSkinListBox::OnLButtonDown(UINT, POINT) {
    Default();
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

int CSkinComboBox::SetCurSel(int index) {
    int result = CBitmapComboBox::SetCurSel(index);
    if (result >= 0) {
        if (CSkinDialog* owner = OwnerDialog(hwnd_)) owner->OnComboIndexSelChanged(id.index);
    }
    return result;
}

void CSkinComboBox::OnTextCommitted(int, const std::wstring& text) {
    if (text.empty()) return;
    if (CSkinDialog* owner = OwnerDialog(hwnd_)) owner->OnSkinTextChanged(id.name, text);
}

}  // namespace nsSkin
