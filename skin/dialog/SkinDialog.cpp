// CSkinDialog: skin loading, control creation, notifications and lookups.
#include "skin/dialog/SkinDialog.h"

#include "skin/SkinImage.h"
#include "skin/SkinReader.h"
#include "skin/SkinTokens.h"
#include "skin/controls/SkinGdi.h"

namespace nsSkin {

namespace {
template <class T>
T* FindByName(const std::vector<std::unique_ptr<T>>& items, const std::wstring& name) {
    for (const auto& item : items)
        if (EqualsNoCase(item->Name(), name)) return item.get();
    return nullptr;
}

template <class T>
void DestroyAll(std::vector<std::unique_ptr<T>>& items) {
    // Destroying through the wrapper lets each control see its WM_DESTROY
    // (a drop-down saves its history there).
    for (auto& item : items)
        if (item->hwnd()) item->DestroyWindow();
    items.clear();
}

int PointsToHeight(int points) {
    platform::WindowDC screen(nullptr);
    return -::MulDiv(points, ::GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
}

CaptionStyle CaptionStyleFrom(const _SKIN_FONT_INFO& info) {
    CaptionStyle style;
    if (info.font) {
        style.hasFont = ::GetObjectW(info.font.get(), sizeof(style.font), &style.font) != 0;
    }
    style.format = static_cast<UINT>(info.format);
    style.shadow = info.shadow != 0;
    style.shadowColor = info.shadowColor;
    style.shadowX = info.shadowOffsetX;
    style.shadowY = info.shadowOffsetY;
    style.insets = info.insets;
    style.colors[0] = info.textNormal;
    style.colors[1] = info.textOver;
    style.colors[2] = info.textPressed;
    style.colors[3] = info.textDisabled;
    style.overInsets = info.overInsets;
    style.pressedInsets = info.pressedInsets;
    return style;
}
}  // namespace

CSkinDialog::CSkinDialog(UINT templateId, HINSTANCE resources) : CDialog(templateId, resources) {}

CSkinDialog::~CSkinDialog() {
    // While this is still a CSkinDialog, so its own clean-up runs.
    if (hwnd_) DestroyWindow();
    DestroyControls();
    if (CurrentSkinCursor() == cursor_) SetCurrentSkinCursor(nullptr);
}

// ---- notifications -------------------------------------------------------

void CSkinDialog::OnSkinProgressChanged(const std::wstring&, int) {}
void CSkinDialog::OnSkinButtonClicked(const std::wstring&) {}

// The index-taking operations are what the controls call; a stale index
// (a control of an earlier load) reports nothing.
void CSkinDialog::OnButtonIndexClicked(int index) {
    if (index < 0 || index >= static_cast<int>(buttons_.size())) return;
    OnSkinButtonClicked(buttons_[static_cast<size_t>(index)]->Name());
}

void CSkinDialog::OnSkinSliderChanged(const std::wstring&, int, int) {}

void CSkinDialog::OnSliderIndexChanged(int index, int code, int position) {
    if (index < 0 || index >= static_cast<int>(sliders_.size())) return;
    OnSkinSliderChanged(sliders_[static_cast<size_t>(index)]->Name(), code, position);
}

void CSkinDialog::OnSkinLabelClicked(const std::wstring&) {}

void CSkinDialog::OnLabelIndexClicked(int index) {
    if (index < 0 || index >= static_cast<int>(labels_.size())) return;
    OnSkinLabelClicked(labels_[static_cast<size_t>(index)]->Name());
}

void CSkinDialog::OnSkinComboSelChanged(const std::wstring&, int, const std::wstring&) {}

void CSkinDialog::OnComboIndexSelChanged(int index) {
    if (index < 0 || index >= static_cast<int>(comboBoxes_.size())) return;
    CSkinComboBox& combo = *comboBoxes_[static_cast<size_t>(index)];
    int selection = combo.GetCurSel();
    OnSkinComboSelChanged(combo.Name(), selection, combo.GetItemText(selection));
}

void CSkinDialog::OnSkinMouseMove(const std::wstring&, int, int) {}
void CSkinDialog::OnSkinTextChanged(const std::wstring&, const std::wstring&) {}
void CSkinDialog::OnSkinEditSetFocus() {}
void CSkinDialog::OnSkinEditKillFocus() {}
std::wstring CSkinDialog::GetButtonTooltipSuffix(const std::wstring&) { return {}; }
void CSkinDialog::LocalizeText(std::wstring&, UINT) {}

std::wstring CSkinDialog::Localized(std::wstring text, UINT flags) {
    LocalizeText(text, flags);
    return text;
}

// ---- skin file -----------------------------------------------------------

// The managers are loaded here, before the window exists, so that LoadSkin
// finds them; the font base is this window's font once there is one.
void CSkinDialog::SetSkin(const std::wstring& path, const std::wstring& section) {
    skinPath_ = path;
    section_ = section;
    folder_ = SkinFolderOf(path);
    // A window that starts a skin starts its count; the windows inside it add to it.
    if (&Budget() == &budget_) budget_.Reset();
    imageList_.Load(path, &Budget());
    enums_.Load(path, &Budget());
    fonts_.Load(path, hwnd_);
}

CSkinBudget& CSkinDialog::Budget() {
    if (!hwnd_ || !(::GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD)) return budget_;
    auto* root = dynamic_cast<CSkinDialog*>(platform::CWnd::FromHandle(::GetAncestor(hwnd_, GA_ROOT)));
    if (!root || root == this || !EqualsNoCase(root->skinPath_, skinPath_)) return budget_;
    return root->budget_;
}

platform::UniqueBitmap CSkinDialog::LoadPicture(const std::wstring& file) {
    if (file.empty()) return {};
    std::wstring path = ResolveSkinFile(folder_, file);
    if (path.empty()) return {};
    return LoadImageFile(path, &Budget());
}

platform::UniqueBitmap CSkinDialog::Cut(HBITMAP source, const RECT& rect) {
    if (!source || !Budget().Charge(PictureBytes(static_cast<long long>(rect.right) - rect.left,
                                                 static_cast<long long>(rect.bottom) - rect.top)))
        return {};
    return CopyBitmapRect(source, rect);
}

platform::UniqueBitmap CSkinDialog::LookupImage(const std::wstring& name) {
    platform::UniqueBitmap image = imageList_.Lookup(name);
    SIZE size = BitmapSize(image.get());
    if (image && !Budget().Charge(PictureBytes(size.cx, size.cy))) return {};
    return image;
}

platform::UniqueRegion CSkinDialog::MaskRegion(HBITMAP mask, COLORREF key) {
    platform::UniqueRegion region = BitmapToRegion(mask, key, kMaskTolerance);
    if (region && !Budget().Charge(::GetRegionData(region.get(), 0, nullptr))) return {};
    return region;
}

bool CSkinDialog::ChargeControl(const RECT& rect, int pictures) {
    unsigned long long one = PictureBytes(static_cast<long long>(rect.right) - rect.left,
                                          static_cast<long long>(rect.bottom) - rect.top);
    return Budget().Charge(one * static_cast<unsigned long long>(pictures));
}

LOGFONTW CSkinDialog::WindowFont() const {
    LOGFONTW font{};
    HFONT own = hwnd_ ? reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)) : nullptr;
    if (!own || !::GetObjectW(own, sizeof(font), &font))
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    return font;
}

bool CSkinDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    // The tooltip comes first so that the controls of the first load get theirs.
    tooltip_.Create(hwnd_);
    if (!skinPath_.empty() && CSkinProfile(skinPath_).Exists()) LoadSkin();
    if (windowType_ == 0) {
        LONG style = ::GetWindowLongW(hwnd_, GWL_STYLE);
        ::SetWindowLongW(hwnd_, GWL_STYLE, (style & ~WS_CAPTION) | WS_SYSMENU);
        ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        RelayoutControls();
    }
    return true;
}

// Hidden while the controls are rebuilt, so that no half-built window is shown.
void CSkinDialog::LoadSkin() {
    if (!hwnd_) return;
    bool visible = ::IsWindowVisible(hwnd_) != 0;
    ::ShowWindow(hwnd_, SW_HIDE);
    DestroyControls();
    // A fresh tooltip: the tools of the destroyed controls would stay in the old one.
    tooltip_.Create(hwnd_);

    CSkinProfile profile(skinPath_);
    folder_ = SkinFolderOf(skinPath_);
    SkinCursor cursor = LoadSkinCursor(folder_, ReadSkinInfo(profile).cursorFileName);
    ownedCursor_ = std::move(cursor.owned);
    cursor_ = cursor.handle;
    SetCurrentSkinCursor(cursor_);

    SkinWindowDescription description = ReadWindowDescription(profile, section_);
    SkinWindowRecord& window = description.window;
    wndMoveType_ = window.wndMoveType;
    if (window.otherColor != kNoColor) otherColor_ = window.otherColor;
    // An empty key keeps the colour in force, as "OtherColor" does.
    if (window.hasBkColor) bkColor_ = window.bkColor;
    windowType_ = window.windowType;
    buttonAlpha_ = window.buttonAlpha;

    main_ = LoadPicture(window.main);
    BoundWindowDescription(description, BitmapSize(main_.get()));
    over_ = LoadPicture(window.over.empty() ? window.main : window.over);
    down_ = LoadPicture(window.down.empty() ? window.main : window.down);
    disabled_ = LoadPicture(window.disabled.empty() ? window.main : window.disabled);
    normalNoPanel_ = LoadPicture(window.normalNoAdvancedPanel);

    // Pieces of an absent border are empty rects and cut to no bitmap.
    borders_ = ComputeBorderLayout(window);
    for (int i = 0; i < SkinBorderLayout::kPieceCount; ++i) {
        top_[i] = Cut(main_.get(), borders_.top[i]);
        left_[i] = Cut(main_.get(), borders_.left[i]);
        bottom_[i] = Cut(main_.get(), borders_.bottom[i]);
        right_[i] = Cut(main_.get(), borders_.right[i]);
    }
    centre_ = Cut(main_.get(), borders_.centre);

    CreateControls(description);

    if (windowType_ == 1) SetPanelMask(advancedPanel_ ? L"MaskWithAdvancedPanel" : L"MaskNoAdvancedPanel");

    if (!window.resizingMask.empty()) {
        platform::UniqueBitmap mask = LoadPicture(window.resizingMask);
        platform::UniqueRegion shape = MaskRegion(mask.get(), kWindowMaskKey);
        if (shape) {
            RECT box{};
            ::GetRgnBox(shape.get(), &box);
            ::SetWindowPos(hwnd_, nullptr, 0, 0, box.right - box.left, box.bottom - box.top,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            if (::SetWindowRgn(hwnd_, shape.get(), FALSE)) shape.release();
            resizingMask_ = true;
        }
    }
    ::InvalidateRect(hwnd_, nullptr, TRUE);
    if (visible) ::ShowWindow(hwnd_, SW_SHOW);
}

// The offset applies only while the panel is hidden (ApplyMaskRegion), but the
// window is always mask size plus offset.
int CSkinDialog::SetPanelMask(const std::wstring& key) {
    SkinWindowDescription description;
    description.window = ReadWindowSection(CSkinProfile(skinPath_), section_);
    BoundWindowDescription(description, BitmapSize(main_.get()));
    const SkinWindowRecord& window = description.window;
    std::wstring file = PanelMaskOf(window, key);
    if (file.empty()) return 0;
    platform::UniqueBitmap mask = LoadPicture(file);
    advancedPanel_ = key != L"MaskNoAdvancedPanel";
    ApplyMaskRegion(mask.get(), POINT{window.maskOffset.cx, window.maskOffset.cy});
    SIZE size = BitmapSize(mask.get());
    // A mask that did not load leaves the window as it is.
    if (hwnd_ && size.cx > 0) {
        ::SetWindowPos(hwnd_, nullptr, 0, 0, size.cx + window.maskOffset.cx, size.cy + window.maskOffset.cy,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::InvalidateRect(hwnd_, nullptr, TRUE);
    }
    for (size_t i = 0; hwnd_ && i < window.invalidateRects.size() && i < 2; ++i)
        ::InvalidateRect(hwnd_, &window.invalidateRects[i], TRUE);
    return 1;
}

void CSkinDialog::ApplyMaskRegion(HBITMAP mask, POINT offset) {
    if (!hwnd_) return;
    platform::UniqueRegion shape = MaskRegion(mask, kWindowMaskKey);
    if (!shape) return;
    if (!advancedPanel_) ::OffsetRgn(shape.get(), offset.x, offset.y);
    // The window owns the region once it is set.
    if (::SetWindowRgn(hwnd_, shape.get(), TRUE)) shape.release();
}

// ---- controls --------------------------------------------------------------

void CSkinDialog::DestroyControls() {
    DestroyAll(buttons_);
    DestroyAll(sliders_);
    DestroyAll(orphanSliders_);
    DestroyAll(labels_);
    DestroyAll(progressBars_);
    DestroyAll(edits_);
    DestroyAll(listBoxes_);
    DestroyAll(comboBoxes_);
    strings_.clear();
}

void CSkinDialog::AddToolTip(HWND control, const std::wstring& text) {
    if (!text.empty()) tooltip_.AddTool(control, text);
}

// Creation stops once the skin is over its budget; the owner refuses such a skin.
void CSkinDialog::CreateControls(const SkinWindowDescription& d) {
    if (Budget().Exceeded()) return;
    for (const auto& r : d.buttons) CreateButton(r, static_cast<int>(buttons_.size()));
    for (const auto& r : d.labels) CreateLabel(r, static_cast<int>(labels_.size()));
    for (const auto& r : d.trackbars) CreateSlider(r, static_cast<int>(sliders_.size()));
    for (const auto& r : d.progressBars) CreateProgress(r, static_cast<int>(progressBars_.size()));
    for (const auto& r : d.edits) CreateEdit(r, static_cast<int>(edits_.size()));
    for (const auto& r : d.listBoxes) CreateListBox(r, static_cast<int>(listBoxes_.size()));
    for (const auto& r : d.comboBoxes) CreateComboBox(r, static_cast<int>(comboBoxes_.size()));
    for (const auto& r : d.staticTexts) CreateStaticText(r);
}

// Controls report their entry order within their own kind, so the index is the
// array position, not the skin key (rule B may skip keys).
void CSkinDialog::CreateButton(const SkinButtonRecord& r, int index) {
    if (!ChargeControl(r.rect, 4)) return;
    auto button = std::make_unique<CSkinButton>();
    std::wstring caption = r.caption.empty() ? std::wstring() : Localized(r.caption);
    if (!button->Create(caption, WS_CHILD | WS_VISIBLE, r.rect, hwnd_, 0)) return;
    button->SendMessage(WM_SETFONT, SendMessage(WM_GETFONT), FALSE);
    button->id = SkinControlIdentity{r.name, index, r.rect};
    button->stateEnum = r.stateEnum;
    button->tooltipEnum = r.tooltipEnum;
    button->captionEnum = r.captionEnum;
    button->group = r.group;
    button->SetToggle(r.toggle);
    button->SetFadeEnabled(buttonAlpha_);
    button->SetBitmaps(main_.get(), over_.get(), down_.get(), disabled_.get(), r.rect);
    if (!r.maskImage.empty()) {
        platform::UniqueBitmap mask = LookupImage(r.maskImage);
        button->SetShape(MaskRegion(mask.get(), kControlMaskKey));
    }
    if (!caption.empty()) {
        if (const _SKIN_FONT_INFO* style = fonts_.Lookup(r.captionStyle)) button->SetCaptionStyle(CaptionStyleFrom(*style));
        button->SetCaption(caption);
    }
    if (!r.tooltip.empty()) AddToolTip(button->hwnd(), Localized(r.tooltip) + GetButtonTooltipSuffix(r.name));
    buttons_.push_back(std::move(button));
}

void CSkinDialog::CreateLabel(const SkinLabelRecord& r, int index) {
    if (!ChargeControl(r.rect, 1)) return;
    auto label = std::make_unique<CSkinLabel>();
    if (!label->Create(L"", WS_CHILD | WS_VISIBLE, r.rect, hwnd_, 0)) return;
    label->id = SkinControlIdentity{r.name, index, r.rect};
    LOGFONTW font = WindowFont();
    if (!r.face.empty()) ::lstrcpynW(font.lfFaceName, r.face.c_str(), LF_FACESIZE);
    font.lfWeight = r.bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = r.italic ? TRUE : FALSE;
    if (r.pointSize > 0) font.lfHeight = PointsToHeight(r.pointSize);
    label->SetLabelFont(font);
    label->SetFormat(r.format);
    label->SetTextColor(r.color);
    label->SetUseSkinCursor(false);
    platform::UniqueBitmap background;
    if (!r.backgroundEnum.empty())
        background = LookupImage(enums_.Item(r.backgroundEnum, 0));
    else
        background = CopyBitmapRect(main_.get(), r.rect);
    label->SetBackground(std::move(background));
    label->SetScrollEnabled(r.scroll);
    label->SetText(Localized(r.text));
    labels_.push_back(std::move(label));
}

void CSkinDialog::CreateSlider(const SkinTrackbarRecord& r, int index) {
    if (!ChargeControl(r.rect, 2)) return;
    auto slider = std::make_unique<CSkinSlider>();
    DWORD style = WS_CHILD | WS_VISIBLE | (r.horizontal ? TBS_HORZ : TBS_VERT);
    if (!slider->Create(style, r.rect, hwnd_, 0)) return;
    slider->id = SkinControlIdentity{r.name, index, r.rect};
    platform::UniqueBitmap thumbs[4] = {LookupImage(r.thumbNormal), LookupImage(r.thumbDragged),
                                        LookupImage(r.thumbOver), LookupImage(r.thumbDisabled)};
    if (!thumbs[0] || !thumbs[1] || !thumbs[2] || !thumbs[3]) {
        // Shown but never registered: it reports nothing and no lookup finds it.
        orphanSliders_.push_back(std::move(slider));
        return;
    }
    slider->SetThumb(std::move(thumbs[0]), std::move(thumbs[1]), std::move(thumbs[2]), std::move(thumbs[3]));
    if (!r.channelEnum.empty())
        slider->SetChannel(LookupImage(enums_.Item(r.channelEnum, 0)), LookupImage(enums_.Item(r.channelEnum, 1)));
    else
        slider->SetChannel(CopyBitmapRect(main_.get(), r.rect), CopyBitmapRect(down_.get(), r.rect));
    if (r.rangeMax != 0) slider->SetRange(r.rangeMin, r.rangeMax);
    slider->SetPos(r.position);
    if (!r.tooltip.empty()) AddToolTip(slider->hwnd(), Localized(r.tooltip));
    sliders_.push_back(std::move(slider));
}

void CSkinDialog::CreateProgress(const SkinProgressRecord& r, int index) {
    if (!ChargeControl(r.rect, 4)) return;
    auto bar = std::make_unique<CSkinProgress>();
    if (!bar->Create(L"", WS_CHILD | WS_VISIBLE, r.rect, hwnd_, 0)) return;
    bar->id = SkinControlIdentity{r.name, index, r.rect};
    bar->SetHorizontal(r.horizontal);
    bar->SetReportWhileDragging(r.reportWhileDragging);
    bar->SetUseSkinCursor(false);
    if (!r.picturesEnum.empty()) {
        auto item = [&](int k) { return LookupImage(enums_.Item(r.picturesEnum, k)); };
        bar->SetPictures(item(0), item(1), item(2), item(3));
    } else {
        bar->SetPictures(CopyBitmapRect(main_.get(), r.rect), CopyBitmapRect(down_.get(), r.rect),
                         CopyBitmapRect(over_.get(), r.rect), {});
    }
    if (!r.maskImage.empty()) {
        platform::UniqueBitmap mask = LookupImage(r.maskImage);
        bar->SetShape(MaskRegion(mask.get(), kControlMaskKey));
    }
    if (!r.tooltip.empty()) AddToolTip(bar->hwnd(), Localized(r.tooltip));
    progressBars_.push_back(std::move(bar));
}

void CSkinDialog::CreateEdit(const SkinEditRecord& r, int index) {
    if (!ChargeControl(r.rect, 1)) return;
    auto edit = std::make_unique<CSkinEdit>();
    DWORD style = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | (r.readOnly ? ES_READONLY : 0) |
                  (r.digitsOnly ? ES_NUMBER : 0) | (r.password ? ES_PASSWORD : 0) | r.extraStyle;
    if (!edit->Create(style, r.rect, hwnd_, 0)) return;
    edit->SendMessage(WM_SETFONT, SendMessage(WM_GETFONT), FALSE);
    edit->id = SkinControlIdentity{r.name, index, r.rect};
    edit->SetBackground(CopyBitmapRect(main_.get(), r.rect));
    edit->SetTextColor(r.color);
    // The edit box shows its tooltip through its own tooltip control.
    if (!r.tooltip.empty()) edit->SetToolTipText(Localized(r.tooltip));
    edits_.push_back(std::move(edit));
}

void CSkinDialog::CreateListBox(const SkinListBoxRecord& r, int index) {
    if (!ChargeControl(r.rect, 1)) return;
    auto list = std::make_unique<CSkinListBox>();
    DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_SORT | LBS_NOTIFY;
    if (!list->Create(style, r.rect, hwnd_, 0)) return;
    list->SendMessage(WM_SETFONT, SendMessage(WM_GETFONT), FALSE);
    list->id = SkinControlIdentity{r.name, index, r.rect};
    list->SetTextColor(r.color);
    list->RebuildBackground(main_.get());
    for (int i = 0; i < 100; ++i) list->AddString(L"I love this game" + std::to_wstring(i));
    listBoxes_.push_back(std::move(list));
}

void CSkinDialog::CreateComboBox(const SkinComboBoxRecord& r, int index) {
    if (!ChargeControl(r.rect, 4) || (r.group && r.hasMoveRect && !ChargeControl(r.moveRect, 4))) return;
    auto combo = std::make_unique<CSkinComboBox>();
    DWORD style = WS_CHILD | WS_VISIBLE | (r.group ? CBitmapComboBox::kEditableStyle : 0);
    if (!combo->Create(L"", style, r.rect, hwnd_, 0)) return;
    combo->SendMessage(WM_SETFONT, SendMessage(WM_GETFONT), FALSE);
    combo->id = SkinControlIdentity{r.name, index, r.rect};
    combo->SetFadeEnabled(buttonAlpha_);
    if (r.group) {
        auto item = [&](int k) { return LookupImage(enums_.Item(r.picturesEnum, k)); };
        combo->SetStateBitmaps(item(0), item(1), item(2), item(3));
    } else {
        combo->SetBitmaps(main_.get(), over_.get(), down_.get(), disabled_.get(), r.rect);
    }
    combo->SetCaptionColor(r.captionColor);
    PopupColors colors;
    colors.text = r.itemTextColor;
    colors.background = r.listBackColor;
    colors.highlightText = r.highlightTextColor;
    colors.highlightBackground = r.highlightBackColor;
    colors.border = r.borderColor;
    combo->SetPopupColors(colors);
    combo->SetTranslucent(r.translucent);
    for (const auto& text : r.items) combo->AddItem(Localized(text));
    if (r.group && r.hasMoveRect) {
        const RECT& m = r.moveRect;
        ::MoveWindow(combo->hwnd(), m.left, m.top, m.right - m.left, m.bottom - m.top, TRUE);
        combo->id.rect = m;
    }
    if (!r.tooltip.empty()) AddToolTip(combo->hwnd(), Localized(r.tooltip));
    // Unlike the skin buttons, a drop-down is reached with Tab.
    ::SetWindowLongW(combo->hwnd(), GWL_STYLE, ::GetWindowLongW(combo->hwnd(), GWL_STYLE) | WS_TABSTOP);
    comboBoxes_.push_back(std::move(combo));
}

// The snapshot is what the text is drawn over when the frame is painted, so
// text never lands on tiles that moved when the window grew.
void CSkinDialog::CreateStaticText(const SkinStaticTextRecord& r) {
    if (!ChargeControl(r.rect, 1)) return;
    auto info = std::make_unique<_STRING_INFO>();
    info->text = Localized(r.text);
    LOGFONTW font = WindowFont();
    font.lfWeight = r.weight;
    if (r.pointSize > 0) font.lfHeight = PointsToHeight(r.pointSize);
    info->font.reset(::CreateFontIndirectW(&font));
    info->color = r.color;
    info->rect = r.rect;
    info->format = r.format;
    if (windowType_ == 0) info->background = CopyBitmapRect(main_.get(), r.rect);
    otherColor_ = r.color;
    strings_.push_back(std::move(info));
}

// ---- owner operations -------------------------------------------------------

// A picture four times as wide as the button holds the four states side by side.
void CSkinDialog::SetButtonImages(const std::wstring& name, const std::wstring& normal, const std::wstring& over,
                                  const std::wstring& down, const std::wstring& disabled) {
    CSkinButton* button = FindButton(name);
    if (!button) return;
    const RECT& rc = button->id.rect;
    if (normal.empty()) {
        button->SetBitmaps(main_.get(), over_.get(), down_.get(), disabled_.get(), rc);
        ::InvalidateRect(button->hwnd(), nullptr, FALSE);
        return;
    }
    platform::UniqueBitmap picture = LookupImage(normal);
    SIZE size = BitmapSize(picture.get());
    RECT now = button->GetClientRect();
    int w = now.right, h = now.bottom;
    if (size.cx > 0 && size.cx == 4 * w && size.cy == h) {
        // A strip of the four states, left to right.
        button->SetStateBitmaps(CopyBitmapRect(picture.get(), RECT{0, 0, w, h}),
                                CopyBitmapRect(picture.get(), RECT{w, 0, 2 * w, h}),
                                CopyBitmapRect(picture.get(), RECT{2 * w, 0, 3 * w, h}),
                                CopyBitmapRect(picture.get(), RECT{3 * w, 0, 4 * w, h}));
        ::SetWindowPos(button->hwnd(), nullptr, 0, 0, size.cx / 4, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (over.empty() || down.empty() || disabled.empty()) {
        platform::UniqueBitmap over1 = CopyBitmap(picture.get());
        platform::UniqueBitmap down1 = CopyBitmap(picture.get());
        platform::UniqueBitmap disabled1 = CopyBitmap(picture.get());
        button->SetStateBitmaps(std::move(picture), std::move(over1), std::move(down1), std::move(disabled1));
    } else {
        button->SetStateBitmaps(std::move(picture), LookupImage(over), LookupImage(down), LookupImage(disabled));
    }
    ::InvalidateRect(button->hwnd(), nullptr, FALSE);
}

void CSkinDialog::UpdateToolTip(HWND control, const std::wstring& text) {
    if (!control || ::GetParent(control) != hwnd_) return;
    tooltip_.RemoveTool(control);
    AddToolTip(control, text);
}

void CSkinDialog::EnableSkinButton(const std::wstring& name, bool enable) {
    if (CSkinButton* button = FindButton(name)) button->EnableButton(enable);
}

void CSkinDialog::EnableSkinSlider(const std::wstring& name, bool enable) {
    CSkinSlider* slider = FindSlider(name);
    if (slider && (::IsWindowEnabled(slider->hwnd()) != 0) != enable) ::EnableWindow(slider->hwnd(), enable);
}

CSkinButton* CSkinDialog::FindButton(const std::wstring& name) const { return FindByName(buttons_, name); }
CSkinSlider* CSkinDialog::FindSlider(const std::wstring& name) const { return FindByName(sliders_, name); }
CSkinLabel* CSkinDialog::FindLabel(const std::wstring& name) const { return FindByName(labels_, name); }
CSkinProgress* CSkinDialog::FindProgress(const std::wstring& name) const { return FindByName(progressBars_, name); }
CSkinEdit* CSkinDialog::FindEdit(const std::wstring& name) const { return FindByName(edits_, name); }
CSkinListBox* CSkinDialog::FindListBox(const std::wstring& name) const { return FindByName(listBoxes_, name); }
CSkinComboBox* CSkinDialog::FindComboBox(const std::wstring& name) const { return FindByName(comboBoxes_, name); }

}  // namespace nsSkin
