// Caption styles of a skin and their fonts.
#include "skin/SkinFontManager.h"

#include <cwchar>

#include "skin/SkinBounds.h"
#include "skin/SkinProfile.h"
#include "skin/SkinReader.h"

namespace nsSkin {

namespace {
LOGFONTW BaseFontOf(HWND window) {
    LOGFONTW lf{};
    HFONT font = window ? reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)) : nullptr;
    if (!font) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    ::GetObjectW(font, sizeof(lf), &lf);
    return lf;
}
}  // namespace

int CSkinFontManager::Load(const std::wstring& path, HWND window) {
    CSkinProfile profile(path);
    if (!profile.Exists()) return 0;
    records_.clear();
    base_ = BaseFontOf(window);
    int pixelsPerInch = 96;
    {
        platform::WindowDC screen(nullptr);
        if (screen.get()) pixelsPerInch = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    for (const SkinFontStyleRecord& style : ReadFontStyles(profile)) {
        auto record = std::make_unique<_SKIN_FONT_INFO>();
        std::wcsncpy(record->name, style.name.c_str(), 259);
        LOGFONTW lf = base_;
        lf.lfHeight = -::MulDiv(BoundPointSize(style.pointSize), pixelsPerInch, 72);
        if (style.weight != 0) lf.lfWeight = style.weight;
        if (!style.face.empty()) {
            // A face longer than LOGFONT holds names no installed font.
            std::wcsncpy(lf.lfFaceName, style.face.c_str(), LF_FACESIZE - 1);
            lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
        }
        lf.lfItalic = style.italic ? TRUE : FALSE;
        lf.lfUnderline = style.underline ? TRUE : FALSE;
        record->font.reset(::CreateFontIndirectW(&lf));
        record->format = static_cast<int>(style.format);
        record->shadow = style.shadow ? 1 : 0;
        record->shadowColor = style.shadowColor;
        record->shadowOffsetX = style.shadowOffsetX;
        record->shadowOffsetY = style.shadowOffsetY;
        record->insets = style.insets;
        record->textNormal = style.textNormal;
        record->textOver = style.textOver;
        record->textPressed = style.textPressed;
        record->textDisabled = style.textDisabled;
        record->overInsets = style.overInsets;
        record->pressedInsets = style.pressedInsets;
        records_.push_back(std::move(record));
    }
    return 1;
}

const _SKIN_FONT_INFO* CSkinFontManager::Lookup(const std::wstring& style) const {
    for (const auto& r : records_)
        if (style == r->name) return r.get();
    return nullptr;
}

}  // namespace nsSkin
