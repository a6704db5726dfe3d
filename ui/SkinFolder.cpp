// The skin folder choice and its fallback.
#include "ui/SkinFolder.h"

#include <windows.h>

#include "app/ProgramPaths.h"

namespace {
constexpr LONG kSkinPathCapacity = 260;

std::wstring WithSeparator(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    return folder;
}
}  // namespace

std::wstring DefaultSkinFolder() { return ModuleDirectory(nullptr) + L"skins\\default\\"; }

bool HoldsSkin(const std::wstring& folder) {
    if (folder.empty()) return false;
    const DWORD attributes = ::GetFileAttributesW((WithSeparator(folder) + L"skin.ini").c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring FallBackToDefaultSkin(IConfigSettings* config) {
    const std::wstring folder = DefaultSkinFolder();
    // A folder the settings cannot hold whole would be read back cut short.
    if (!HoldsSkin(folder) || folder.size() >= static_cast<size_t>(kSkinPathCapacity)) return {};
    if (config) {
        config->SetStringValue(L"CurrentSkinPath", folder.c_str(), 0);
        config->SetStringValue(L"SkinPath", folder.c_str(), 0);
    }
    return folder;
}

std::wstring ChooseSkinFolder(IConfigSettings* config, std::wstring* tried) {
    wchar_t stored[kSkinPathCapacity] = {};
    if (config) config->GetStringValue(L"CurrentSkinPath", stored, kSkinPathCapacity, 0);
    const std::wstring current = WithSeparator(stored);
    if (HoldsSkin(current)) return current;
    // The program folder was moved or copied, or the skin was removed: the
    // stored path names nothing, and the window would be drawn from nothing.
    std::wstring folder = FallBackToDefaultSkin(config);
    if (folder.empty() && tried) {
        tried->clear();
        if (!current.empty() && current != DefaultSkinFolder()) *tried = current + L"\n";
        *tried += DefaultSkinFolder();
    }
    return folder;
}
