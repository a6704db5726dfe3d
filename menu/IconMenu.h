// IconMenu: a popup menu whose items the program draws itself, in a flat style
// with a side strip on a themed desktop of the 5.1 generation and in a classic
// raised style everywhere else.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "menu/IconMenuData.h"
#include "platform/Menu.h"

class IconMenu : public platform::CMenu {
public:
    IconMenu();
    ~IconMenu() override;

    // Appends an owner-drawn item; command 0 makes a separator. For MF_POPUP
    // the command is the submenu handle. Returns the platform's append result.
    BOOL AppendODMenu(UINT_PTR command, const std::wstring& text, UINT flags = MF_OWNERDRAW);

    void MeasureItem(MEASUREITEMSTRUCT* measure) override;
    void DrawItem(DRAWITEMSTRUCT* draw) override;

    // Builds the menu from a menu resource, every item owner-drawn.
    virtual bool LoadMenu(UINT resourceId);
    virtual bool LoadMenu(const wchar_t* resourceName);
    // Frees every item record, forgets the submenus, deletes the check images
    // unless shared, and destroys the menu handle.
    bool DestroyMenu() override;

    size_t ItemCount() const { return items_.size(); }
    const IconMenuData* Item(size_t index) const { return index < items_.size() ? items_[index].get() : nullptr; }

    // Operating-system class of the table below, computed once from the
    // platform version; InitOsClass recomputes it (start-up, tests).
    //   NT family: 4 -> 5, 5.0 -> 6, 5.1 -> 7, anything else (6 and later too) -> 1;
    //   16-bit family: below 4 -> 0, 4.10 -> 3, 4.90 -> 4, else 2.
    static int ComputeOsClass(DWORD platformId, DWORD major, DWORD minor);
    static void InitOsClass();
    static int OsClass();

    // True when the desktop uses the classic theme; read once from the registry.
    static bool IsClassicTheme();
    static bool IsClassicThemeName(const std::wstring& themeFile);
    // Forgets the cached answer so the next call reads the registry again (tests).
    static void ResetThemeCache();
    // Flat style: class 7 on a themed desktop.
    static bool UseFlatStyle();

    // Each channel c: c + f * (255 - c), resp. c - f * c; f outside (0, 1] changes nothing.
    static COLORREF LightenColor(double factor, COLORREF color);
    static COLORREF DarkenColor(double factor, COLORREF color);

private:
    void AppendItemsOf(HMENU source);
    void DrawClassic(DRAWITEMSTRUCT* draw, const IconMenuData* data);
    void DrawFlat(DRAWITEMSTRUCT* draw, const IconMenuData* data);
    bool IsRadioItem(const IconMenuData* data) const;

    std::vector<std::unique_ptr<IconMenuData>> items_;
    std::vector<HMENU> submenus_;
    std::vector<HMENU> createdSubmenus_;  // made by LoadMenu; destroyed with this menu
    HIMAGELIST checkImages_ = nullptr;
    int sharedImageList_ = 0;
    COLORREF bitmapBackground_ = RGB(192, 192, 192);
    int imageStyle_ = 0;
    int imageOffsetX_ = -1;
    int imageOffsetY_ = -1;
    int synchronise_ = 0;
    CPINFO codePage_{};
};
