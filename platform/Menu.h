// CMenu: owns an HMENU and offers the menu operations the program uses.
// Owner-drawn menus override MeasureItem and DrawItem, which the owner window
// calls from its WM_MEASUREITEM and WM_DRAWITEM.
#pragma once
#include <windows.h>

#include "platform/Handles.h"

namespace platform {

class CMenu {
public:
    CMenu() = default;
    virtual ~CMenu() = default;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU GetSafeHmenu() const { return menu_.get(); }
    operator HMENU() const { return menu_.get(); }

    // Takes ownership of a menu; fails when one is already attached.
    bool Attach(HMENU menu);
    // Gives up ownership and returns the handle.
    HMENU Detach() { return menu_.release(); }
    bool CreatePopupMenu();
    bool LoadMenu(HINSTANCE instance, UINT id);

    bool AppendMenu(UINT flags, UINT_PTR idOrPopup, const wchar_t* text);
    UINT EnableMenuItem(UINT item, UINT enable) { return ::EnableMenuItem(menu_.get(), item, enable); }
    UINT GetMenuState(UINT item, UINT flags) const { return ::GetMenuState(menu_.get(), item, flags); }
    int GetMenuItemCount() const { return ::GetMenuItemCount(menu_.get()); }
    UINT GetMenuItemID(int position) const { return ::GetMenuItemID(menu_.get(), position); }
    HMENU GetSubMenu(int position) const { return ::GetSubMenu(menu_.get(), position); }
    // With TPM_RETURNCMD the chosen command (0 for none); else success.
    int TrackPopupMenu(UINT flags, int x, int y, HWND owner);

    virtual void MeasureItem(MEASUREITEMSTRUCT*) {}
    virtual void DrawItem(DRAWITEMSTRUCT*) {}
    // Destroys the menu (and its submenus) and detaches it.
    virtual bool DestroyMenu();

protected:
    UniqueMenu menu_;
};

}  // namespace platform
