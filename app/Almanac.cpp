// AlmanacString.
#include "app/Almanac.h"

#include <vector>

#include "app/ProgramPaths.h"
#include "platform/Handles.h"

std::wstring AlmanacString(HMODULE module, const wchar_t* section, const wchar_t* key, int capacity, int flag) {
    if (capacity <= 0) return {};
    std::wstring dir = ModuleDirectory(module);
    if (dir.empty()) return {};
    platform::UniqueLibrary library(::LoadLibraryW((dir + L"Almanac.dll").c_str()));
    if (!library) return {};
    auto get = reinterpret_cast<AlGetStringValueFn>(
        reinterpret_cast<void*>(::GetProcAddress(library.get(), "AL_GetStringValue")));
    if (!get) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(capacity) + 1, L'\0');
    if (get(section, key, buffer.data(), capacity, flag) < 0) return {};
    buffer[static_cast<size_t>(capacity)] = L'\0';
    return std::wstring(buffer.data());
}
