// CSkinListPopup: the pop-up list of a skinned drop-down (and the suggestion
// list of its edit field). It holds the mouse capture while open and, when it
// goes, posts kMsgPopupClosed with the chosen row (-1 for none) to its owner.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "platform/Wnd.h"

namespace nsSkin {

// Private messages of the drop-down family.
constexpr UINT kMsgPopupClosed = 0x83E9;  // wParam chosen row or -1, lParam the popup's tag
constexpr UINT kMsgEditCommit = 0x7E8;    // wParam 13 (Enter), lParam key data
constexpr UINT kMsgTextCommitted = 0x7E9; // wParam row or selection, lParam const wchar_t* text

struct PopupColors {
    COLORREF text = 0xD3D892;
    COLORREF background = 0x85582A;
    COLORREF highlightText = 0xFFFFFF;
    COLORREF highlightBackground = 0x492600;
    COLORREF border = 0xCDD0A5;
};

class CSkinListPopup : public platform::CWnd {
public:
    static constexpr int kMaxVisibleRows = 8;
    static constexpr int kAlpha = 204;

    // Opens a pop-up under `anchor` (screen rectangle) of the anchor's width.
    // The object deletes itself when its window goes. `tag` comes back with
    // kMsgPopupClosed. With `takeFocus` false the focus stays where it is.
    static CSkinListPopup* Open(HWND owner, const RECT& anchor, const std::vector<std::wstring>& items,
                                const PopupColors& colors, bool translucent, bool takeFocus, LPARAM tag);

    static int RowHeight();
    int Highlighted() const { return highlighted_; }
    int TopRow() const { return top_; }
    int Chosen() const { return chosen_; }
    size_t Count() const { return items_.size(); }
    // Chooses a row (or none with -1): the focus goes back to the owner and the pop-up closes.
    void Choose(int row);
    void Highlight(int row);
    void ScrollBy(int rows);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnPaint() override;
    bool OnEraseBkgnd(HDC) override { return true; }
    void OnMouseMove(UINT flags, POINT pt) override;
    void OnLButtonDown(UINT flags, POINT pt) override;
    void OnLButtonUp(UINT, POINT) override {}
    void OnDestroy() override;
    void PostNcDestroy() override { delete this; }

private:
    CSkinListPopup() = default;
    int RowAt(POINT clientPt) const;
    int VisibleRows() const;
    void SyncScrollBar();
    void OnKeyDown(UINT key);

    HWND owner_ = nullptr;
    std::vector<std::wstring> items_;
    PopupColors colors_;
    int highlighted_ = -1;
    int top_ = 0;
    int chosen_ = -1;
    LPARAM tag_ = 0;
    bool closing_ = false;
};

}  // namespace nsSkin
