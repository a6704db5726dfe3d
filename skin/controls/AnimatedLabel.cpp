// CAnimatedLabel.
#include "skin/controls/AnimatedLabel.h"

#include <cwchar>

#include "skin/controls/SkinGdi.h"

namespace nsSkin {

void CAnimatedLabel::SetBackground(platform::UniqueBitmap background) {
    background_ = std::move(background);
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void CAnimatedLabel::SetLabelFont(const LOGFONTW& font) { font_.reset(::CreateFontIndirectW(&font)); }

void CAnimatedLabel::SetTextColor(COLORREF color) {
    textColor_ = color;
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

HFONT CAnimatedLabel::LabelFont() const {
    if (font_) return font_.get();
    return hwnd_ ? reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)) : nullptr;
}

// The visible width in characters is measured with "W", the widest letter of
// most fonts, twice over so that the repeated text always fills the label.
void CAnimatedLabel::SetText(const std::wstring& text) {
    text_ = text;
    offset_ = 0;
    scrolling_ = false;
    if (!hwnd_) return;
    ::KillTimer(hwnd_, kScrollTimer);
    SetWindowText(text);
    if (scrollEnabled_ && !text.empty()) {
        RECT client = GetClientRect();
        platform::WindowDC dc(hwnd_);
        platform::SelectGuard sel(dc.get(), LabelFont());
        SIZE w{}, full{};
        ::GetTextExtentPoint32W(dc.get(), L"W", 1, &w);
        ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &full);
        visibleChars_ = w.cx > 0 ? static_cast<size_t>(client.right * 2 / w.cx) : text.size();
        if (full.cx > client.right) {
            scrolling_ = true;
            ::SetTimer(hwnd_, kScrollTimer, kScrollInterval, nullptr);
        }
    }
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

std::wstring CAnimatedLabel::ShownText() const {
    if (!scrolling_) return FittedText();
    std::wstring shown = text_.substr(offset_ < text_.size() ? offset_ : 0);
    while (shown.size() < visibleChars_) shown += text_;
    return shown;
}

// A single line wider than the label loses its middle, as the system shortens
// a path: the beginning and the end (a path's last part) stay readable.
std::wstring CAnimatedLabel::FittedText() const {
    if (!hwnd_ || text_.empty() || !(format_ & DT_SINGLELINE)) return text_;
    RECT rc = GetClientRect();
    platform::WindowDC screen(hwnd_);
    platform::UniqueMemoryDC measure(::CreateCompatibleDC(screen.get()));
    platform::SelectGuard sel(measure.get(), LabelFont());
    // DT_MODIFYSTRING writes the shortened text back, up to four characters longer.
    std::wstring fitted = text_ + std::wstring(4, L'\0');
    ::DrawTextW(measure.get(), fitted.data(), static_cast<int>(text_.size()), &rc,
                DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS | DT_MODIFYSTRING);
    fitted.resize(std::wcslen(fitted.c_str()));
    return fitted;
}

void CAnimatedLabel::OnTimer(UINT_PTR id) {
    if (id != kScrollTimer) {
        CBitmapBtn::OnTimer(id);
        return;
    }
    // One character per step; past the end the text starts over.
    ++offset_;
    if (offset_ >= text_.size()) offset_ = 0;
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void CAnimatedLabel::OnDestroy() {
    ::KillTimer(hwnd_, kScrollTimer);
    CBitmapBtn::OnDestroy();
}

void CAnimatedLabel::DrawItem(DRAWITEMSTRUCT* item) {
    HDC dc = item->hDC;
    RECT rc = item->rcItem;
    if (background_) StretchBitmap(dc, background_.get(), rc);
    std::wstring shown = ShownText();
    if (shown.empty()) return;
    int saved = ::SaveDC(dc);
    ::SetBkMode(dc, TRANSPARENT);
    if (HFONT font = LabelFont()) ::SelectObject(dc, font);
    ::SetTextColor(dc, textColor_);
    // A label has no keyboard mnemonic: an "&" in a file name is shown as it is.
    UINT format = (scrolling_ ? (DT_LEFT | DT_VCENTER | DT_SINGLELINE) : format_) | DT_NOPREFIX;
    ::DrawTextW(dc, shown.c_str(), -1, &rc, format);
    ::RestoreDC(dc, saved);
}

}  // namespace nsSkin
