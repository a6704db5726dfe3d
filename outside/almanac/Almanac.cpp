// Almanac.dll: the version-information module and its string export
// (stand-in for the outside library).
#include <cwchar>
#include <new>

#include "app/Almanac.h"
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
    {L"Almanac", L"ProductVersion", L"1.0.0.0"},
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
