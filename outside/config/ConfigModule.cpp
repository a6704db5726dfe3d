// CConfigModule.
#include "outside/config/ConfigModule.h"

#include <shellapi.h>

#include <cwchar>
#include <cwctype>
#include <string>

#include "app/FileVersion.h"
#include "app/ProgramPaths.h"

namespace {

constexpr wchar_t kSection[] = L"Settings";
constexpr wchar_t kMissing[] = L"\x01missing\x01";  // a text no real value has
constexpr DWORD kMaxValue = 32768;

struct Default {
    const wchar_t* key;
    const wchar_t* value;
};
// Values a fresh installation starts with.
constexpr Default kDefaults[] = {
    {L"VersionName", L"EmberPelican"},
    {L"CurrentSpecifyFolder", L"0"},
    {L"LastTimeCheckUpdate", L"0"},
};

bool IsValidKey(const wchar_t* key) { return key && *key && !std::wcschr(key, L'=') && !std::wcschr(key, L'\n'); }

std::wstring DirectoryOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

}  // namespace

CConfigModule::CConfigModule(std::wstring storePath) : storePath_(std::move(storePath)) {}

HRESULT STDMETHODCALLTYPE CConfigModule::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (ember::SameGuid(iid, ember::IID_IConfigSettings)) {
        *out = static_cast<IConfigSettings*>(this);
        return S_OK;
    }
    if (ember::SameGuid(iid, ember::IID_IConfigSettings2)) {
        *out = static_cast<IConfigSettings2*>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

bool CConfigModule::Lookup(const wchar_t* key, std::wstring* value) const {
    if (!IsValidKey(key)) return false;
    std::wstring text(kMaxValue, L'\0');
    DWORD got = ::GetPrivateProfileStringW(kSection, key, kMissing, text.data(), kMaxValue, storePath_.c_str());
    text.resize(got);
    if (text != kMissing) {
        *value = text;
        return true;
    }
    for (const Default& d : kDefaults) {
        if (_wcsicmp(d.key, key) == 0) {
            *value = d.value;
            return true;
        }
    }
    return false;
}

LONG STDMETHODCALLTYPE CConfigModule::GetIntValue(const wchar_t* key, LONG defaultValue, LONG) {
    std::wstring text;
    if (!Lookup(key, &text) || text.empty()) return defaultValue;
    wchar_t* end = nullptr;
    long value = std::wcstol(text.c_str(), &end, 10);
    return (end && end != text.c_str()) ? static_cast<LONG>(value) : defaultValue;
}

void STDMETHODCALLTYPE CConfigModule::SetIntValue(const wchar_t* key, LONG value, LONG) {
    SetStringValue(key, std::to_wstring(value).c_str(), 0);
}

LONG STDMETHODCALLTYPE CConfigModule::GetStringValue(const wchar_t* key, wchar_t* buffer, LONG capacity, LONG) {
    if (!buffer || capacity <= 0) return 0;
    buffer[0] = L'\0';
    std::wstring text;
    if (!Lookup(key, &text)) return 0;
    // A value that does not fit is not handed out cut short.
    if (text.size() >= static_cast<size_t>(capacity)) return 0;
    text.copy(buffer, text.size());
    buffer[text.size()] = L'\0';
    return 1;
}

void STDMETHODCALLTYPE CConfigModule::SetStringValue(const wchar_t* key, const wchar_t* value, LONG) {
    if (!IsValidKey(key) || !value) return;
    // INI values are one line; a line break would corrupt the file.
    std::wstring clean(value);
    for (wchar_t& c : clean)
        if (c == L'\r' || c == L'\n') c = L' ';
    std::wstring dir = DirectoryOf(storePath_);
    if (!dir.empty()) ::CreateDirectoryW(dir.c_str(), nullptr);
    ::WritePrivateProfileStringW(kSection, key, clean.c_str(), storePath_.c_str());
}

void STDMETHODCALLTYPE CConfigModule::ShowInformation(LONG, LONG) {
    // The program's version resource is the one place the version is written down.
    FileVersion version;
    std::wstring text = L"Pelican";
    if (ReadFileVersion(ModuleFileName(nullptr), &version)) text += L"\nVersion " + VersionText(version);
    ::MessageBoxW(nullptr, text.c_str(), L"About Pelican", MB_OK | MB_ICONINFORMATION);
}

void STDMETHODCALLTYPE CConfigModule::ShowHelp() {
    // A shipped copy carries README.txt for its users; a build folder the developers' README.md.
    const std::wstring folder = DirectoryOf(DirectoryOf(storePath_));
    std::wstring readme = folder + L"\\README.txt";
    if (::GetFileAttributesW(readme.c_str()) == INVALID_FILE_ATTRIBUTES) readme = folder + L"\\README.md";
    ::ShellExecuteW(nullptr, L"open", readme.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
