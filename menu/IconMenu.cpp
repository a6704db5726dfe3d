// Owner-drawn popup menus: item records, measuring and the two drawing styles.
#include "menu/IconMenu.h"

#include <algorithm>
#include <new>

#include "menu/IconMenuMemDC.h"
#include "platform/DC.h"
#include "platform/SystemServices.h"
#include "platform/WinApp.h"
#include "platform/Wnd.h"

namespace {

// Process-wide state shared by all menus.
int g_osClass = -1;
int g_classicTheme = -1;  // -1 not read yet
std::vector<HMENU> g_knownSubmenus;
// Commands that have an image of their own (filled by toolbar images, which
// this program does not load).
std::vector<UINT_PTR> g_commandImages;

constexpr int kCheckWidth = 16;
constexpr int kCheckHeight = 15;
constexpr int kFlatStrip = 23;

NONCLIENTMETRICSW MenuMetrics() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    return metrics;
}

// The text before the first tab and the text after the last one.
void SplitAtTabs(const std::wstring& text, std::wstring* label, std::wstring* accelerator) {
    size_t first = text.find(L'\t');
    if (first == std::wstring::npos) {
        *label = text;
        accelerator->clear();
        return;
    }
    *label = text.substr(0, first);
    *accelerator = text.substr(text.rfind(L'\t') + 1);
}

void DrawItemText(platform::CDC& dc, const std::wstring& text, RECT rect) {
    std::wstring label, accelerator;
    SplitAtTabs(text, &label, &accelerator);
    dc.DrawText(label, rect, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (!accelerator.empty()) {
        rect.right -= 16;
        dc.DrawText(accelerator, rect, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
}

// A check mark of about 7 by 7 pixels with its top-left at (x, y).
void DrawCheckMark(platform::CDC& dc, int x, int y, COLORREF color) {
    for (int i = 0; i < 3; ++i) {
        dc.DrawLine(x, y + 2 + i, x + 2, y + 4 + i, color);
        dc.DrawLine(x + 2, y + 4 + i, x + 7, y - 1 + i, color);
    }
}

void DrawBullet(platform::CDC& dc, int x, int y, COLORREF color) {
    platform::UniqueBrush brush(::CreateSolidBrush(color));
    platform::UniquePen pen(::CreatePen(PS_SOLID, 1, color));
    platform::SelectGuard selectBrush(dc, brush.get());
    platform::SelectGuard selectPen(dc, pen.get());
    ::Ellipse(dc, x, y, x + 6, y + 6);
}

}  // namespace

IconMenu::IconMenu() { ::GetCPInfo(CP_ACP, &codePage_); }

IconMenu::~IconMenu() { DestroyMenu(); }

int IconMenu::ComputeOsClass(DWORD platformId, DWORD major, DWORD minor) {
    if (platformId == VER_PLATFORM_WIN32_WINDOWS) {
        if (major < 4) return 0;
        if (major == 4 && minor == 10) return 3;
        if (major == 4 && minor == 90) return 4;
        return 2;
    }
    if (major == 4) return 5;
    if (major == 5 && minor == 0) return 6;
    if (major == 5 && minor == 1) return 7;
    return 1;
}

void IconMenu::InitOsClass() {
    platform::ISystemServices& system = platform::System();
    g_osClass = ComputeOsClass(VER_PLATFORM_WIN32_NT, system.OsMajorVersion(), system.OsMinorVersion());
}

int IconMenu::OsClass() {
    if (g_osClass < 0) InitOsClass();
    return g_osClass;
}

bool IconMenu::IsClassicThemeName(const std::wstring& themeFile) {
    static const std::wstring kClassic = L"Windows Classic.theme";
    if (themeFile.size() < kClassic.size()) return false;
    return ::CompareStringOrdinal(themeFile.c_str() + themeFile.size() - kClassic.size(),
                                  static_cast<int>(kClassic.size()), kClassic.c_str(),
                                  static_cast<int>(kClassic.size()), TRUE) == CSTR_EQUAL;
}

bool IconMenu::IsClassicTheme() {
    if (g_classicTheme >= 0) return g_classicTheme != 0;
    g_classicTheme = 0;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Plus!\\Themes\\Current", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    // At most 260 bytes of the value, as a terminated string.
    wchar_t value[131] = {};
    DWORD bytes = 260;
    DWORD type = 0;
    if (::RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        value[std::min<DWORD>(bytes / sizeof(wchar_t), 130)] = L'\0';
        g_classicTheme = IsClassicThemeName(value) ? 1 : 0;
    }
    ::RegCloseKey(key);
    return g_classicTheme != 0;
}

void IconMenu::ResetThemeCache() { g_classicTheme = -1; }

bool IconMenu::UseFlatStyle() { return OsClass() == 7 && !IsClassicTheme(); }

COLORREF IconMenu::LightenColor(double factor, COLORREF color) {
    if (!(factor > 0.0 && factor <= 1.0)) return color;
    auto channel = [factor](BYTE c) { return static_cast<BYTE>(c + factor * (255 - c)); };
    return RGB(channel(GetRValue(color)), channel(GetGValue(color)), channel(GetBValue(color)));
}

COLORREF IconMenu::DarkenColor(double factor, COLORREF color) {
    if (!(factor > 0.0 && factor <= 1.0)) return color;
    auto channel = [factor](BYTE c) { return static_cast<BYTE>(c - factor * c); };
    return RGB(channel(GetRValue(color)), channel(GetGValue(color)), channel(GetBValue(color)));
}

BOOL IconMenu::AppendODMenu(UINT_PTR command, const std::wstring& text, UINT flags) {
    if (command == 0) {
        flags = MF_OWNERDRAW | MF_SEPARATOR | (flags & MF_MENUBREAK);
    } else {
        flags |= MF_OWNERDRAW;
    }
    std::unique_ptr<IconMenuData> data(new (std::nothrow) IconMenuData(text, flags, command));
    if (data) {
        auto found = std::find(g_commandImages.begin(), g_commandImages.end(), command);
        data->sharedImageIndex =
            found == g_commandImages.end() ? -1 : static_cast<int>(found - g_commandImages.begin());
    }
    BOOL appended = menu_ && ::AppendMenuW(menu_.get(), flags, command, reinterpret_cast<const wchar_t*>(data.get()));
    if (!appended) return FALSE;
    // The record lives as long as the menu: the item points to it.
    if (data) items_.push_back(std::move(data));
    if (flags & MF_POPUP) {
        HMENU submenu = reinterpret_cast<HMENU>(command);
        g_knownSubmenus.push_back(submenu);
        submenus_.push_back(submenu);
    }
    return TRUE;
}

void IconMenu::MeasureItem(MEASUREITEMSTRUCT* measure) {
    if (!measure) return;
    const auto* data = reinterpret_cast<const IconMenuData*>(measure->itemData);
    bool flat = UseFlatStyle();
    int margin = flat ? 7 : 4;
    if (!data || (data->flags & MF_SEPARATOR)) {
        measure->itemWidth = 0;
        measure->itemHeight = flat ? 3 : std::max<int>((margin + 15) / 2, ::GetSystemMetrics(SM_CYMENU) / 2);
        return;
    }
    int textWidth = 0;
    int osClass = OsClass();
    if (osClass != 0) {
        NONCLIENTMETRICSW metrics = MenuMetrics();
        platform::UniqueFont font(::CreateFontIndirectW(&metrics.lfMenuFont));
        platform::CWinApp* app = platform::CWinApp::Current();
        HWND owner = app && app->MainWnd() ? app->MainWnd()->GetSafeHwnd() : nullptr;
        if (!owner) owner = ::GetDesktopWindow();
        platform::WindowDC windowDc(owner);
        platform::CDC dc(windowDc.get());
        // Newer systems measure with the context's own font, as they always have.
        platform::SelectGuard select(dc, osClass > 1 ? font.get() : nullptr);
        std::wstring label, accelerator;
        SplitAtTabs(data->text, &label, &accelerator);
        std::wstring measured = accelerator.empty() ? label : label + L"    " + accelerator;
        textWidth = dc.GetTextExtent(measured).cx;
    }
    measure->itemWidth = static_cast<UINT>(textWidth + (flat ? margin + 24 : 33));
    measure->itemHeight = static_cast<UINT>(std::max(margin + 15, ::GetSystemMetrics(SM_CYMENU)));
}

void IconMenu::DrawItem(DRAWITEMSTRUCT* draw) {
    if (!draw || draw->CtlType != ODT_MENU) return;
    const auto* data = reinterpret_cast<const IconMenuData*>(draw->itemData);
    platform::CDC dc(draw->hDC);
    if (UseFlatStyle() && !dc.IsPaletteDevice())
        DrawFlat(draw, data);
    else
        DrawClassic(draw, data);
}

bool IconMenu::IsRadioItem(const IconMenuData* data) const {
    if (!data || !menu_) return false;
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_CHECKMARKS;
    return ::GetMenuItemInfoW(menu_.get(), static_cast<UINT>(data->command), FALSE, &info) && info.hbmpChecked;
}

void IconMenu::DrawClassic(DRAWITEMSTRUCT* draw, const IconMenuData* data) {
    platform::CDC dc(draw->hDC);
    const RECT item = draw->rcItem;
    const int height = item.bottom - item.top;
    COLORREF background = ::GetSysColor(COLOR_MENU);
    if (UseFlatStyle() && dc.IsPaletteDevice()) background = ::GetSysColor(COLOR_BTNFACE);
    if (!data || (data->flags & MF_SEPARATOR)) {
        dc.FillSolidRect(item, background);
        RECT line = item;
        line.top += height / 2;
        dc.DrawEdge(line, EDGE_ETCHED, BF_TOP);
        return;
    }
    const bool selected = (draw->itemState & ODS_SELECTED) != 0;
    const bool grayed = (draw->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const bool checked = (draw->itemState & ODS_CHECKED) != 0;
    const bool hasImage = data->imageList && data->imageIndex >= 0;
    COLORREF textColor;
    dc.FillSolidRect(item, background);
    if (selected) {
        RECT fill = item;
        if (checked || hasImage) fill.left += 21;
        dc.FillSolidRect(fill, ::GetSysColor(COLOR_HIGHLIGHT));
        textColor = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else {
        textColor = ::GetSysColor(COLOR_MENUTEXT);
    }
    const int offset = std::max(0, (height - 19) / 2);
    if (hasImage) {
        ::ImageList_Draw(data->imageList, data->imageIndex, dc, item.left + 2, item.top + offset + 2,
                         grayed ? ILD_BLEND50 : ILD_TRANSPARENT);
    } else if (checked) {
        RECT box{item.left + 2, item.top + offset + 1, item.left + 2 + kCheckWidth, item.top + offset + 1 + kCheckHeight};
        dc.FillSolidRect(box, selected ? background : LightenColor(0.6, background));
        if (OsClass() > 1) dc.DrawEdge(box, EDGE_SUNKEN, BF_RECT);
        COLORREF mark = ::GetSysColor(COLOR_MENUTEXT);
        if (IsRadioItem(data))
            DrawBullet(dc, box.left + 5, box.top + 4, mark);
        else
            DrawCheckMark(dc, box.left + 4, box.top + 4, mark);
    }
    RECT textRect{item.left + 25, item.top, item.right, item.bottom};
    dc.SetBkMode(TRANSPARENT);
    if (grayed && selected) {
        dc.SetTextColor(background);
        DrawItemText(dc, data->text, textRect);
    } else if (grayed) {
        RECT raised = textRect;
        ::OffsetRect(&raised, 1, 1);
        dc.SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawItemText(dc, data->text, raised);
        dc.SetTextColor(::GetSysColor(COLOR_GRAYTEXT));
        DrawItemText(dc, data->text, textRect);
    } else {
        dc.SetTextColor(textColor);
        DrawItemText(dc, data->text, textRect);
    }
}

void IconMenu::DrawFlat(DRAWITEMSTRUCT* draw, const IconMenuData* data) {
    const RECT item = draw->rcItem;
    const COLORREF background = DarkenColor(0.02, ::GetSysColor(COLOR_WINDOW));
    const COLORREF strip = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    const RECT stripRect{item.left, item.top, item.left + kFlatStrip, item.bottom};
    if (!data || (data->flags & MF_SEPARATOR)) {
        platform::CDC dc(draw->hDC);
        dc.FillSolidRect(item, background);
        dc.FillSolidRect(stripRect, strip);
        dc.FrameRect(stripRect, strip);
        RECT line{stripRect.right + 7, item.top + (item.bottom - item.top) / 2, item.right, item.bottom};
        dc.DrawEdge(line, EDGE_ETCHED, BF_TOP);
        return;
    }
    const bool grayed = (draw->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const bool selected = !grayed && (draw->itemState & ODS_SELECTED) != 0;
    const bool checked = (draw->itemState & ODS_CHECKED) != 0;
    const bool hasImage = data->imageList && data->imageIndex >= 0;

    // A grayed item is composed off-screen in the menu font.
    std::unique_ptr<IconMenuMemDC> memory;
    platform::UniqueFont menuFont;
    platform::CDC direct(draw->hDC);
    platform::CDC* dc = &direct;
    if (grayed) {
        memory = std::make_unique<IconMenuMemDC>(draw->hDC, item);
        NONCLIENTMETRICSW metrics = MenuMetrics();
        menuFont.reset(::CreateFontIndirectW(&metrics.lfMenuFont));
        dc = memory.get();
    }
    platform::SelectGuard selectFont(*dc, menuFont.get());

    if (selected) {
        dc->FillSolidRect(item, LightenColor(0.7, highlight));
        dc->FrameRect(item, highlight);
    } else {
        dc->FillSolidRect(item, background);
        dc->FillSolidRect(stripRect, strip);
        dc->FrameRect(item, background);
        dc->FrameRect(stripRect, strip);
    }
    RECT checkArea{item.left + 1, item.top + 1, item.left + 21, item.bottom - 1};
    if (hasImage) {
        int y = item.top + (item.bottom - item.top - kCheckHeight) / 2;
        ::ImageList_Draw(data->imageList, data->imageIndex, *dc, item.left + 4, y, grayed ? ILD_BLEND50 : ILD_TRANSPARENT);
    } else if (checked) {
        dc->FillSolidRect(checkArea, LightenColor(selected ? 0.55 : 0.85, highlight));
        dc->FrameRect(checkArea, highlight);
        int w = checkArea.right - checkArea.left, h = checkArea.bottom - checkArea.top;
        int x = w < 6 || h < 6 ? checkArea.left : checkArea.left + w / 2 - 3;
        int y = w < 6 || h < 6 ? checkArea.top : checkArea.top + h / 2 - 3;
        COLORREF mark = ::GetSysColor(COLOR_MENUTEXT);
        if (IsRadioItem(data))
            DrawBullet(*dc, x, y, mark);
        else
            DrawCheckMark(*dc, x, y, mark);
    }
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(::GetSysColor(grayed ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
    DrawItemText(*dc, data->text, RECT{item.left + 31, item.top, item.right, item.bottom});
}

void IconMenu::AppendItemsOf(HMENU source) {
    int count = ::GetMenuItemCount(source);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 255;
        if (!::GetMenuItemInfoW(source, static_cast<UINT>(i), TRUE, &info)) continue;
        UINT state = info.fState & (MFS_GRAYED | MFS_CHECKED);
        if (info.fType & MFT_SEPARATOR) {
            AppendODMenu(0, std::wstring(), 0);
        } else if (info.hSubMenu) {
            IconMenu nested;
            HMENU popup = ::CreatePopupMenu();
            if (!popup) continue;
            createdSubmenus_.push_back(popup);
            // Items of the nested menu are kept by this menu, which outlives them.
            nested.menu_.reset(popup);
            nested.AppendItemsOf(info.hSubMenu);
            for (auto& record : nested.items_) items_.push_back(std::move(record));
            nested.items_.clear();
            submenus_.insert(submenus_.end(), nested.submenus_.begin(), nested.submenus_.end());
            nested.submenus_.clear();
            nested.menu_.release();
            if (!AppendODMenu(reinterpret_cast<UINT_PTR>(popup), text, MF_POPUP | state)) {
                ::DestroyMenu(popup);
                createdSubmenus_.pop_back();
            }
        } else {
            AppendODMenu(info.wID, text, state);
        }
    }
}

bool IconMenu::LoadMenu(UINT resourceId) { return LoadMenu(MAKEINTRESOURCEW(resourceId)); }

bool IconMenu::LoadMenu(const wchar_t* resourceName) {
    DestroyMenu();
    platform::UniqueMenu source(::LoadMenuW(platform::CurrentModule(), resourceName));
    if (!source || !CreatePopupMenu()) return false;
    HMENU items = ::GetSubMenu(source.get(), 0);
    AppendItemsOf(items ? items : source.get());
    return true;
}

bool IconMenu::DestroyMenu() {
    items_.clear();
    for (HMENU submenu : submenus_) {
        auto known = std::find(g_knownSubmenus.begin(), g_knownSubmenus.end(), submenu);
        if (known != g_knownSubmenus.end()) g_knownSubmenus.erase(known);
    }
    submenus_.clear();
    // Submenus that LoadMenu made are items of the menu and go with its handle.
    createdSubmenus_.clear();
    if (checkImages_ && !sharedImageList_) ::ImageList_Destroy(checkImages_);
    checkImages_ = nullptr;
    return platform::CMenu::DestroyMenu();
}
