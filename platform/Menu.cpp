// The menu wrapper.
#include "platform/Menu.h"

namespace platform {

bool CMenu::Attach(HMENU menu) {
    if (menu_ || !menu || !::IsMenu(menu)) return false;
    menu_.reset(menu);
    return true;
}

bool CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }

bool CMenu::LoadMenu(HINSTANCE instance, UINT id) { return Attach(::LoadMenuW(instance, MAKEINTRESOURCEW(id))); }

bool CMenu::AppendMenu(UINT flags, UINT_PTR idOrPopup, const wchar_t* text) {
    return menu_ && ::AppendMenuW(menu_.get(), flags, idOrPopup, text) != 0;
}

int CMenu::TrackPopupMenu(UINT flags, int x, int y, HWND owner) {
    return menu_ ? static_cast<int>(::TrackPopupMenu(menu_.get(), flags, x, y, 0, owner, nullptr)) : 0;
}

bool CMenu::DestroyMenu() {
    if (!menu_) return false;
    menu_.reset();
    return true;
}

}  // namespace platform
