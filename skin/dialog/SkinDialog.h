// nsSkin::CSkinDialog: the base of every skinned window. Its look and its
// controls come from one window section of skin.ini: border pieces or a mask
// shape, the controls of the eight control sections, static texts; it moves
// and resizes itself without a system caption and turns control events into
// calls of its virtual operations by control name.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/Dialog.h"
#include "platform/Handles.h"
#include "skin/SkinBounds.h"
#include "skin/SkinEnumManager.h"
#include "skin/SkinFontManager.h"
#include "skin/SkinImageListManager.h"
#include "skin/SkinRecords.h"
#include "skin/controls/SkinControls.h"
#include "skin/controls/SkinToolTip.h"

class IconMenu;

namespace nsSkin {

// One static text painted on the window background.
struct _STRING_INFO {
    std::wstring text;
    platform::UniqueFont font;
    COLORREF color = 0;
    RECT rect{};
    UINT format = 0;
    platform::UniqueBitmap background;  // the part of Main under the text (frame windows only)
};

class CSkinDialog : public platform::CDialog {
public:
    explicit CSkinDialog(UINT templateId, HINSTANCE resources = nullptr);
    ~CSkinDialog() override;

    // Added operations, in slot order.
    virtual void OnSkinProgressChanged(const std::wstring& name, int position);
    virtual void OnSkinButtonClicked(const std::wstring& name);
    virtual void OnButtonIndexClicked(int index);
    virtual void OnSkinSliderChanged(const std::wstring& name, int code, int position);
    virtual void OnSliderIndexChanged(int index, int code, int position);
    virtual void OnSkinLabelClicked(const std::wstring& name);
    virtual void OnLabelIndexClicked(int index);
    virtual void OnSkinComboSelChanged(const std::wstring& name, int selection, const std::wstring& text);
    virtual void OnComboIndexSelChanged(int index);
    virtual void OnSkinMouseMove(const std::wstring& name, int x, int y);
    virtual void OnSkinTextChanged(const std::wstring& name, const std::wstring& text);
    virtual void OnSkinEditSetFocus();
    virtual void OnSkinEditKillFocus();
    virtual std::wstring GetButtonTooltipSuffix(const std::wstring& name);
    virtual void ApplyMaskRegion(HBITMAP mask, POINT offset);
    virtual void LoadSkin();
    virtual void LocalizeText(std::wstring& text, UINT flags);

    // The skin file (full path of skin.ini) and the window section; loads the
    // image list, the enums and the font styles.
    void SetSkin(const std::wstring& path, const std::wstring& section);
    // Shapes a mask window with the mask under `key`; 0 when the key is empty.
    int SetPanelMask(const std::wstring& key);
    void SetButtonImages(const std::wstring& name, const std::wstring& normal, const std::wstring& over,
                         const std::wstring& down, const std::wstring& disabled);
    void EnableSkinButton(const std::wstring& name, bool enable);
    // Replaces (or gives) the tooltip of one control of this window.
    void UpdateToolTip(HWND control, const std::wstring& text);
    void EnableSkinSlider(const std::wstring& name, bool enable);

    // Lookups by name (any case; the first match wins).
    CSkinButton* FindButton(const std::wstring& name) const;
    CSkinSlider* FindSlider(const std::wstring& name) const;
    CSkinLabel* FindLabel(const std::wstring& name) const;
    CSkinProgress* FindProgress(const std::wstring& name) const;
    CSkinEdit* FindEdit(const std::wstring& name) const;
    CSkinListBox* FindListBox(const std::wstring& name) const;
    CSkinComboBox* FindComboBox(const std::wstring& name) const;

    const std::vector<std::unique_ptr<CSkinButton>>& Buttons() const { return buttons_; }
    const std::vector<std::unique_ptr<CSkinSlider>>& Sliders() const { return sliders_; }
    const std::vector<std::unique_ptr<CSkinLabel>>& Labels() const { return labels_; }
    const std::vector<std::unique_ptr<CSkinProgress>>& ProgressBars() const { return progressBars_; }
    const std::vector<std::unique_ptr<CSkinEdit>>& Edits() const { return edits_; }
    const std::vector<std::unique_ptr<CSkinListBox>>& ListBoxes() const { return listBoxes_; }
    const std::vector<std::unique_ptr<CSkinComboBox>>& ComboBoxes() const { return comboBoxes_; }
    const std::vector<std::unique_ptr<_STRING_INFO>>& StaticTexts() const { return strings_; }

    const std::wstring& SkinPath() const { return skinPath_; }
    const std::wstring& SectionName() const { return section_; }
    int WindowType() const { return windowType_; }
    int WndMoveType() const { return wndMoveType_; }
    COLORREF OtherColor() const { return otherColor_; }
    COLORREF BKColor() const { return bkColor_; }
    const SkinBorderLayout& Borders() const { return borders_; }
    bool AdvancedPanel() const { return advancedPanel_; }
    void SetAdvancedPanel(bool shown) { advancedPanel_ = shown; }
    bool HasResizingMask() const { return resizingMask_; }
    HBITMAP MainPicture() const { return main_.get(); }
    HCURSOR Cursor() const { return cursor_; }
    HWND ToolTipWindow() const { return tooltip_.hwnd(); }
    // A menu resource whose first sub-menu the right button shows (0: none).
    void SetMenuId(UINT menuId) { menuId_ = menuId; }
    // The memory budget of the whole skin: a window inside another skinned
    // window of the same skin shares that window's budget.
    CSkinBudget& Budget();
    // True when the skin went over its budget while this window loaded it.
    bool SkinOverBudget() { return Budget().Exceeded(); }
    const CSkinImageListManager& ImageList() const { return imageList_; }
    const CSkinEnumManager& Enums() const { return enums_; }
    const CSkinFontManager& Fonts() const { return fonts_; }

    // Where a control at `skinRect` (Main picture coordinates) goes in the
    // window at its current size.
    RECT AnchorRect(const RECT& skinRect) const;
    void RelayoutControls();
    // The hit code of a point (window coordinates relative to the screen),
    // 0 when no border zone is hit.
    int HitTestBorder(POINT screen) const;
    // Stretches a window shape to a new size at the cut lines of the border.
    HRGN StretchRegion(HRGN shape, int newWidth, int newHeight) const;

protected:
    bool OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool PreTranslateMessage(MSG* msg) override;
    bool OnEraseBkgnd(HDC dc) override;
    void OnPaint() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnDestroy() override;
    void OnLButtonDown(UINT flags, POINT pt) override;
    void OnLButtonUp(UINT flags, POINT pt) override;
    void OnMouseMove(UINT flags, POINT pt) override;
    void OnRButtonDown(UINT flags, POINT pt) override;

    // Paint steps.
    void PaintFrame(HDC dc);
    void PaintMasked(HDC dc);
    void PaintStaticTexts(HDC dc, bool throughSnapshot);
    void DrawStrip(HDC dc, const RECT (&pieces)[SkinBorderLayout::kPieceCount], bool hasTile2, bool horizontal,
                   const RECT& area);

    // Building the window.
    void DestroyControls();
    void CreateControls(const SkinWindowDescription& description);
    void CreateButton(const SkinButtonRecord& record, int index);
    void CreateLabel(const SkinLabelRecord& record, int index);
    void CreateSlider(const SkinTrackbarRecord& record, int index);
    void CreateProgress(const SkinProgressRecord& record, int index);
    void CreateEdit(const SkinEditRecord& record, int index);
    void CreateListBox(const SkinListBoxRecord& record, int index);
    void CreateComboBox(const SkinComboBoxRecord& record, int index);
    void CreateStaticText(const SkinStaticTextRecord& record);
    void AddToolTip(HWND control, const std::wstring& text);
    platform::UniqueBitmap LoadPicture(const std::wstring& file);
    // A cut of a picture or a named image, charged to the budget.
    platform::UniqueBitmap Cut(HBITMAP source, const RECT& rect);
    platform::UniqueBitmap LookupImage(const std::wstring& name);
    platform::UniqueRegion MaskRegion(HBITMAP mask, COLORREF key);
    // Charges `pictures` copies of a control's rectangle; false when over budget.
    bool ChargeControl(const RECT& rect, int pictures);
    std::wstring Localized(std::wstring text, UINT flags = 0);
    LOGFONTW WindowFont() const;

    // Sizing by the border zones.
    bool OnNcHitTest(POINT screen, LRESULT* result);
    bool OnSetCursorForHit();
    void OnNcLButtonDown(UINT hit, POINT screen);
    void TrackResize(POINT screen);
    void EndResize();

    std::wstring skinPath_;
    std::wstring section_;
    std::wstring folder_;
    int windowType_ = 0;
    int wndMoveType_ = 0;
    bool buttonAlpha_ = false;
    COLORREF otherColor_ = 0xFFFFFFFF;
    COLORREF bkColor_ = 0;
    SkinBorderLayout borders_{};
    // The 21 pieces: per strip first, tile, middle, tile, last; then the centre.
    platform::UniqueBitmap top_[SkinBorderLayout::kPieceCount];
    platform::UniqueBitmap left_[SkinBorderLayout::kPieceCount];
    platform::UniqueBitmap bottom_[SkinBorderLayout::kPieceCount];
    platform::UniqueBitmap right_[SkinBorderLayout::kPieceCount];
    platform::UniqueBitmap centre_;
    platform::UniqueBitmap main_, over_, down_, disabled_, normalNoPanel_;
    CSkinImageListManager imageList_;
    CSkinEnumManager enums_;
    CSkinFontManager fonts_;
    CSkinToolTip tooltip_;
    CSkinBudget budget_;
    std::vector<std::unique_ptr<CSkinButton>> buttons_;
    std::vector<std::unique_ptr<CSkinSlider>> sliders_;
    std::vector<std::unique_ptr<CSkinSlider>> orphanSliders_;  // thumbs missing: never registered
    std::vector<std::unique_ptr<CSkinLabel>> labels_;
    std::vector<std::unique_ptr<CSkinProgress>> progressBars_;
    std::vector<std::unique_ptr<CSkinEdit>> edits_;
    std::vector<std::unique_ptr<CSkinListBox>> listBoxes_;
    std::vector<std::unique_ptr<CSkinComboBox>> comboBoxes_;
    std::vector<std::unique_ptr<_STRING_INFO>> strings_;
    platform::UniqueCursor ownedCursor_;
    HCURSOR cursor_ = nullptr;
    bool advancedPanel_ = false;
    bool resizingMask_ = false;
    int hitCode_ = 0;
    POINT lastResizePoint_{0xFFFFFF, 0xFFFFFF};
    UINT menuId_ = 0;
    IconMenu* activeMenu_ = nullptr;  // while the context menu is tracked
};

}  // namespace nsSkin
