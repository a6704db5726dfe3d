// CBitmapComboBox: a drop-down drawn as a bitmap button that opens a
// CSkinListPopup; in its editable form (style bit kEditableStyle) a
// CSearchEdit takes free text, suggests earlier entries from the history file
// and commits on Enter.
#pragma once
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "skin/controls/BitmapBtn.h"
#include "skin/HistoryRecord.h"
#include "skin/controls/SkinListPopup.h"

namespace nsSkin {

class CBitmapComboBox;

// The edit field inside an editable drop-down.
class CSearchEdit : public platform::CEdit {
public:
    explicit CSearchEdit(CBitmapComboBox& combo) : combo_(combo) {}

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    CBitmapComboBox& combo_;
};

class CBitmapComboBox : public CBitmapBtn {
public:
    static constexpr DWORD kEditableStyle = 0x10;
    static constexpr UINT kEditId = 10000;
    static constexpr UINT_PTR kEditTimer = 0x4342;
    static constexpr int kFreeText = -10;

    CBitmapComboBox();
    ~CBitmapComboBox() override;

    bool Create(const std::wstring& text, DWORD style, const RECT& rect, HWND parent, UINT id);

    int AddItem(const std::wstring& text);
    int GetCount() const { return static_cast<int>(items_.size()); }
    std::wstring GetItemText(int index) const;
    int GetCurSel() const { return sel_; }
    // 1 when already selected, E_INVALIDARG out of range, else 0.
    virtual int SetCurSel(int index);

    void SetPopupColors(const PopupColors& colors) { popupColors_ = colors; }
    const PopupColors& GetPopupColors() const { return popupColors_; }
    void SetTranslucent(bool translucent) { translucent_ = translucent; }
    void SetCaptionColor(COLORREF color);

    bool IsEditable() const { return edit_.hwnd() != nullptr; }
    HWND EditWindow() const { return edit_.hwnd(); }
    std::wstring GetEditText() const { return edit_.GetWindowText(); }
    const std::vector<std::wstring>& History() const { return history_.Entries(); }
    const std::vector<std::wstring>& Suggestions() const { return filtered_; }
    HWND ListPopup() const { return ::IsWindow(listPopup_) ? listPopup_ : nullptr; }
    // The one suggestion pop-up of the process, or null.
    static HWND SuggestionPopup();

    // Opens the item list under the drop-down.
    void OpenList();
    // Commits the edit field's text (what Enter does).
    void CommitEditText();

protected:
    friend class CSearchEdit;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnLButtonUp(UINT flags, POINT pt) override;
    void DrawItem(DRAWITEMSTRUCT* item) override;
    void OnTimer(UINT_PTR id) override;
    void OnDestroy() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    // The edit field's text was committed (also from the suggestion list's F10).
    virtual void OnTextCommitted(int, const std::wstring&) {}

    void OnEditChanged();
    void OnPopupClosed(int row, LPARAM tag);
    void ShowSuggestions();
    void CloseSuggestions();
    bool LoadHistory();
    bool SaveHistory();

    std::vector<std::wstring> items_;
    std::vector<std::wstring> filtered_;
    CHistoryRecord history_;
    int sel_ = -1;
    PopupColors popupColors_;
    bool translucent_ = false;
    CSearchEdit edit_;
    std::wstring lastText_;
    HWND listPopup_ = nullptr;
    HWND suggestions_ = nullptr;
};

}  // namespace nsSkin
