// Which skin folder the program uses, and the fall-back to the shipped skin
// when the stored folder holds no skin or its skin was refused.
#pragma once
#include <windows.h>

#include <string>

#include "app/IConfigSettings.h"

// Exit code of a program that found no usable skin, not even the shipped one.
constexpr int kExitNoSkin = 2;

// "skins\default\" beside the program.
std::wstring DefaultSkinFolder();
// True when the folder (with a trailing separator) holds a skin.ini.
bool HoldsSkin(const std::wstring& folder);
bool SameSkinFolder(const std::wstring& a, const std::wstring& b);
// Makes the shipped skin the current one: stores its folder as
// "CurrentSkinPath" and "SkinPath". Returns the folder, or empty when it
// holds no skin.ini.
std::wstring UseDefaultSkin(IConfigSettings* config);
// The stored "CurrentSkinPath" (with a trailing separator) when it holds a
// skin.ini; otherwise the shipped skin, through UseDefaultSkin. Empty when
// even that holds none; *tried then names the folder tried last.
std::wstring ResolveCurrentSkinFolder(IConfigSettings* config, std::wstring* tried);
// Tells the user why there is no skin to show, hides the window and ends the
// program through its message loop (exit code kExitNoSkin).
void EndWithoutSkin(HWND window, const std::wstring& message);
