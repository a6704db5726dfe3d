// The skin-declared controls: each drawing class plus its name, its entry
// index and its skin rect, reporting user actions to the CSkinDialog that is
// its parent window.
#pragma once
#include <string>

#include "skin/controls/AnimatedLabel.h"
#include "skin/controls/BitmapBtn.h"
#include "skin/controls/BitmapComboBox.h"
#include "skin/controls/BitmapEdit.h"
#include "skin/controls/BitmapListBox.h"
#include "skin/controls/BitmapProgress.h"
#include "skin/controls/BitmapSlider.h"

namespace nsSkin {

class CSkinDialog;

// What every skin control keeps of its entry.
struct SkinControlIdentity {
    std::wstring name;
    int index = 0;
    RECT rect{};
};

// The skinned dialog that is the parent of `control`, or null.
CSkinDialog* OwnerDialog(HWND control);

class CSkinButton : public CBitmapBtn {
public:
    SkinControlIdentity id;
    std::wstring stateEnum;    // state-picture set (group buttons take four items)
    std::wstring tooltipEnum;  // kept with the button for the owner
    std::wstring captionEnum;  // kept with the button for the owner
    bool group = false;
    const std::wstring& Name() const { return id.name; }
    int Index() const { return id.index; }
    // The state-picture index (or value) the owner set last; -1 at first.
    int GetStateIndex() const { return stateIndex_; }
    void SetStateIndex(int index) { stateIndex_ = index; }

protected:
    void OnLButtonUp(UINT flags, POINT pt) override;
    void OnRButtonUp(UINT flags, POINT pt) override;
    void OnMouseMove(UINT flags, POINT pt) override;
    void OnKeyboardClick() override;

private:
    int stateIndex_ = -1;
};

class CSkinLabel : public CAnimatedLabel {
public:
    SkinControlIdentity id;
    const std::wstring& Name() const { return id.name; }

protected:
    void OnLButtonUp(UINT flags, POINT pt) override;
    void OnMouseMove(UINT flags, POINT pt) override;
};

class CSkinProgress : public CBitmapProgress {
public:
    SkinControlIdentity id;
    const std::wstring& Name() const { return id.name; }

protected:
    void ReportPosition() override;
};

class CSkinSlider : public CBitmapSlider {
public:
    SkinControlIdentity id;
    const std::wstring& Name() const { return id.name; }
    // A scroll message the trackbar sent its parent, passed back by the dialog.
    void OnParentScroll(int code);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnThumbPressed() override;
    void OnThumbReleased() override;
    void OnThumbDragged() override;
    void OnHover(POINT pt) override;
};

class CSkinEdit : public CBitmapEdit {
public:
    SkinControlIdentity id;
    const std::wstring& Name() const { return id.name; }

protected:
    void OnEditNotify(UINT code) override;
};

class CSkinListBox : public CBitmapListBox {
public:
    SkinControlIdentity id;
    const std::wstring& Name() const { return id.name; }
    // Cuts a new background of the box's client size out of `main` at its place.
    void RebuildBackground(HBITMAP main);

protected:
    void OnLButtonDown(UINT flags, POINT pt) override;
};

class CSkinComboBox : public CBitmapComboBox {
public:
    SkinControlIdentity id;
    const std::wstring& Name() const { return id.name; }
    int SetCurSel(int index) override;

protected:
    void OnTextCommitted(int selection, const std::wstring& text) override;
};

}  // namespace nsSkin
