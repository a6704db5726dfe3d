// SkinScrollBar.dll: skinned scroll bars for the program's windows. The
// program links against it; the stand-in leaves the platform's own bars.
#pragma once
#include <windows.h>

#ifdef SKINSCROLLBAR_BUILD
#define SKINSB_API extern "C" __declspec(dllexport)
#else
#define SKINSB_API extern "C" __declspec(dllimport)
#endif

SKINSB_API BOOL WINAPI SkinSB_InitializeApp();
SKINSB_API BOOL WINAPI SkinSB_UninitializeApp();
// The skin file path in 8-bit characters and the section ("SCROLLBAR").
SKINSB_API BOOL WINAPI SkinSB_LoadSkin(const char* skinFile, const char* section);
// Offered every WM_NOTIFY of a skinned window first; non-zero when handled.
SKINSB_API LRESULT WINAPI SkinSB_ParentWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
SKINSB_API BOOL WINAPI SkinSB_InitializeScrollBar(HWND wnd);
SKINSB_API BOOL WINAPI SkinSB_UnInitializeScrollBar(HWND wnd);
