// SkinScrollBar.dll stand-in: keeps count of what it was asked, draws the
// platform's plain scroll bars.
#define SKINSCROLLBAR_BUILD
#include "outside/skinscrollbar/SkinScrollBar.h"

namespace {
LONG g_appRefs = 0;  // InitializeApp/UninitializeApp balance
}

SKINSB_API BOOL WINAPI SkinSB_InitializeApp() {
    ::InterlockedIncrement(&g_appRefs);
    return TRUE;
}

SKINSB_API BOOL WINAPI SkinSB_UninitializeApp() {
    return ::InterlockedDecrement(&g_appRefs) >= 0;
}

SKINSB_API BOOL WINAPI SkinSB_LoadSkin(const char* skinFile, const char* section) {
    return skinFile && section && ::GetFileAttributesA(skinFile) != INVALID_FILE_ATTRIBUTES;
}

SKINSB_API LRESULT WINAPI SkinSB_ParentWndProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

SKINSB_API BOOL WINAPI SkinSB_InitializeScrollBar(HWND wnd) { return ::IsWindow(wnd); }

SKINSB_API BOOL WINAPI SkinSB_UnInitializeScrollBar(HWND wnd) { return wnd != nullptr; }
