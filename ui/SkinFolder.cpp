// Choosing the skin folder.
#include "ui/SkinFolder.h"

#include "app/Applog.h"
#include "app/ProgramPaths.h"
#include "platform/SystemServices.h"
#include "skin/SkinTokens.h"

namespace {
constexpr int kSkinPathCapacity = 260;
constexpr wchar_t kDefaultSkinSubfolder[] = L"skins\\default\\";

std::wstring WithSeparator(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    return folder;
}
}  // namespace

std::wstring DefaultSkinFolder() { return ModuleDirectory(nullptr) + kDefaultSkinSubfolder; }

bool HoldsSkin(const std::wstring& folder) {
    if (folder.empty()) return false;
    DWORD attrs = ::GetFileAttributesW((WithSeparator(folder) + L"skin.ini").c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

bool SameSkinFolder(const std::wstring& a, const std::wstring& b) {
    return nsSkin::EqualsNoCase(WithSeparator(a), WithSeparator(b));
}

std::wstring UseDefaultSkin(IConfigSettings* config) {
    std::wstring folder = DefaultSkinFolder();
    if (config) {
        config->SetStringValue(L"CurrentSkinPath", folder.c_str(), 0);
        config->SetStringValue(L"SkinPath", folder.c_str(), 0);
    }
    return HoldsSkin(folder) ? folder : std::wstring();
}

std::wstring ResolveCurrentSkinFolder(IConfigSettings* config, std::wstring* tried) {
    std::wstring stored;
    if (config) {
        wchar_t buffer[kSkinPathCapacity] = {};
        config->GetStringValue(L"CurrentSkinPath", buffer, kSkinPathCapacity, 0);
        stored = WithSeparator(buffer);
    }
    if (HoldsSkin(stored)) return stored;
    // A program folder that moved leaves a stored path without a skin behind.
    if (!stored.empty()) PelicanLog(0, L"No skin in %s; using the default skin.\n", stored.c_str());
    std::wstring folder = UseDefaultSkin(config);
    if (folder.empty() && tried) *tried = DefaultSkinFolder();
    return folder;
}

void EndWithoutSkin(HWND window, const std::wstring& message) {
    PelicanLog(0, L"%s\n", message.c_str());
    if (window) ::ShowWindow(window, SW_HIDE);
    platform::System().MessageBox(window, message, L"Pelican", MB_OK | MB_ICONERROR);
    ::PostQuitMessage(kExitNoSkin);
}
