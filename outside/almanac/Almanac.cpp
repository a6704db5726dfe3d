// Almanac.dll: the version-information module and its string export
// (stand-in for the outside library).
#include <cwchar>
#include <new>

#include "app/Almanac.h"
#include "app/FileVersion.h"
#include "app/ProgramPaths.h"
#include "framework/CEmberAppModuleBase.h"

namespace {

struct Entry {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* value;
};
constexpr Entry kValues[] = {
    {L"Almanac", L"AppDataPath", L"Pelican"},
    {L"Almanac", L"ProductName", L"Pelican"},
};

// The module offers no interfaces; it only has to be there.
class CAlmanacModule : public CEmberAppModuleBase {};

}  // namespace

extern "C" __declspec(dllexport) UINT_PTR DllCreateObject() {
    IEmberAppModule* module = new (std::nothrow) CAlmanacModule();
    return reinterpret_cast<UINT_PTR>(module);
}

extern "C" __declspec(dllexport) HRESULT __cdecl AL_GetStringValue(const wchar_t* section, const wchar_t* key,
                                                                   wchar_t* buffer, int capacity, int) {
    if (!section || !key || !buffer || capacity <= 0) return E_INVALIDARG;
    buffer[0] = L'\0';
    std::wstring version;
    // The product version is the running program's own, read from its version resource.
    if (_wcsicmp(section, L"Almanac") == 0 && _wcsicmp(key, L"ProductVersion") == 0) {
        FileVersion fixed;
        if (!ReadFileVersion(ModuleFileName(nullptr), &fixed)) return E_FAIL;
        version = VersionText(fixed);
        if (version.size() >= static_cast<size_t>(capacity)) return E_INVALIDARG;
        std::wmemcpy(buffer, version.c_str(), version.size() + 1);
        return S_OK;
    }
    for (const Entry& e : kValues) {
        if (_wcsicmp(e.section, section) == 0 && _wcsicmp(e.key, key) == 0) {
            size_t len = std::wcslen(e.value);
            if (len >= static_cast<size_t>(capacity)) return E_INVALIDARG;
            std::wmemcpy(buffer, e.value, len + 1);
            return S_OK;
        }
    }
    return E_INVALIDARG;
}
