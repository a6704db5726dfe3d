// Reading the device folder's location.
#include "outside/handset/HandsetConfig.h"

#include <windows.h>

#include <vector>

namespace handset {

namespace {

std::wstring Expand(const std::wstring& text) {
    DWORD need = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (need == 0) return text;
    std::wstring out(need, L'\0');
    DWORD got = ::ExpandEnvironmentStringsW(text.c_str(), out.data(), need);
    if (got == 0 || got > need) return text;
    out.resize(got - 1);
    return out;
}

std::wstring Trim(std::wstring s) {
    while (!s.empty() && (s.back() == L' ' || s.back() == L'\t')) s.pop_back();
    size_t start = s.find_first_not_of(L" \t");
    s = start == std::wstring::npos ? std::wstring() : s.substr(start);
    if (s.size() >= 2 && s.front() == L'"' && s.back() == L'"') s = s.substr(1, s.size() - 2);
    return s;
}

bool IsAbsolute(const std::wstring& p) {
    return (p.size() >= 3 && p[1] == L':' && (p[2] == L'\\' || p[2] == L'/')) || p.compare(0, 2, L"\\\\") == 0;
}

}  // namespace

std::wstring ConfiguredRoot(const std::wstring& environmentValue, const std::wstring& iniFile,
                            const std::wstring& baseDir) {
    std::wstring root = Trim(environmentValue);
    if (root.empty() && !iniFile.empty()) {
        std::vector<wchar_t> value(32768);
        DWORD n = ::GetPrivateProfileStringW(L"Device", L"Root", L"", value.data(), static_cast<DWORD>(value.size()),
                                             iniFile.c_str());
        root = Trim(std::wstring(value.data(), n));
    }
    if (root.empty()) return {};
    root = Expand(root);
    if (!IsAbsolute(root) && !baseDir.empty()) root = baseDir + root;
    return root;
}

std::wstring ConfiguredMux(const std::wstring& environmentValue, const std::wstring& iniFile) {
    std::wstring mux = Trim(environmentValue);
    // libusbmuxd also takes "UNIX:/path", which Winsock cannot reach.
    if (mux.compare(0, 5, L"UNIX:") == 0) mux.clear();
    if (mux.empty() && !iniFile.empty()) {
        wchar_t value[512] = {};
        DWORD n = ::GetPrivateProfileStringW(L"Device", L"Mux", L"", value, 512, iniFile.c_str());
        mux = Trim(std::wstring(value, n));
    }
    return mux;
}

}  // namespace handset
