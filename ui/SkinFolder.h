// Which skin folder the windows are drawn from: the stored one while it holds
// a skin, else the shipped "skins\default\" beside the program.
#pragma once
#include <string>

#include "app/IConfigSettings.h"

// "skins\default\" in the program's folder.
std::wstring DefaultSkinFolder();
// True when `folder` (with or without its trailing separator) holds a skin.ini.
bool HoldsSkin(const std::wstring& folder);
// Stores the shipped skin folder as "CurrentSkinPath" and "SkinPath" and returns
// it; empty, and nothing stored, when it holds no skin.ini. For a stored skin
// that is missing or refused.
std::wstring FallBackToDefaultSkin(IConfigSettings* config);
// The stored skin folder, ending in a separator, when it holds a skin; else the
// fallback above. Empty when neither holds one; `tried` then names the folders
// looked in, one a line.
std::wstring ChooseSkinFolder(IConfigSettings* config, std::wstring* tried);
