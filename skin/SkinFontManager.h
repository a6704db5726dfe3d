// _SKIN_FONT_INFO and CSkinFontManager: the caption styles of FONTSINFO.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Handles.h"

namespace nsSkin {

// One caption style, with its font created.
struct _SKIN_FONT_INFO {
    wchar_t name[260] = {};  // at most 259 characters
    platform::UniqueFont font;
    int format = 0;  // DrawText flags
    int shadow = 0;
    COLORREF shadowColor = 0;
    int shadowOffsetX = 0;
    int shadowOffsetY = 0;
    RECT insets{};
    COLORREF textNormal = 0, textOver = 0, textPressed = 0, textDisabled = 0;
    RECT overInsets{};
    RECT pressedInsets{};
};

class CSkinFontManager {
public:
    CSkinFontManager() = default;
    virtual ~CSkinFontManager() = default;
    CSkinFontManager(const CSkinFontManager&) = delete;
    CSkinFontManager& operator=(const CSkinFontManager&) = delete;

    // path: skin.ini; window: whose font is the base (the default GUI font
    // when null). 1 when read; 0 when the file is missing (records unchanged).
    int Load(const std::wstring& path, HWND window);
    // The first style of exactly that name (case-sensitive), or null; owned by the manager.
    const _SKIN_FONT_INFO* Lookup(const std::wstring& style) const;

    size_t Count() const { return records_.size(); }
    const LOGFONTW& BaseFont() const { return base_; }

private:
    std::vector<std::unique_ptr<_SKIN_FONT_INFO>> records_;
    LOGFONTW base_{};
};

}  // namespace nsSkin
