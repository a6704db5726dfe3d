// ModuleFileName, ModuleDirectory.
#include "app/ProgramPaths.h"

std::wstring ModuleFileName(HMODULE module) {
    // Grow until the name fits: a deep install path must not be silently cut.
    std::wstring path(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 8; ++attempt) {
        DWORD got = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (got == 0) return {};
        if (got < path.size()) {
            path.resize(got);
            return path;
        }
        path.resize(path.size() * 2);
    }
    return {};
}

std::wstring ModuleDirectory(HMODULE module) {
    std::wstring path = ModuleFileName(module);
    size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    path.resize(slash + 1);
    return path;
}
