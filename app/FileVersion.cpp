// ReadFileVersion, VersionText, ParseVersion, CompareVersions.
#include "app/FileVersion.h"

#include <vector>

bool ReadFileVersion(const std::wstring& path, FileVersion* version) {
    *version = FileVersion{};
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return false;
    std::vector<BYTE> data(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return false;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &len) || !info ||
        len < sizeof(VS_FIXEDFILEINFO))
        return false;
    version->part[0] = HIWORD(info->dwFileVersionMS);
    version->part[1] = LOWORD(info->dwFileVersionMS);
    version->part[2] = HIWORD(info->dwFileVersionLS);
    version->part[3] = LOWORD(info->dwFileVersionLS);
    return true;
}

std::wstring VersionText(const FileVersion& version) {
    return std::to_wstring(version.part[0]) + L"." + std::to_wstring(version.part[1]) + L"." +
           std::to_wstring(version.part[2]) + L"." + std::to_wstring(version.part[3]);
}

bool ParseVersion(const std::wstring& text, FileVersion* version) {
    FileVersion parsed;
    size_t pos = 0;
    for (int i = 0; i < 4; ++i) {
        size_t digits = 0;
        unsigned long value = 0;
        while (pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9') {
            value = value * 10 + static_cast<unsigned long>(text[pos] - L'0');
            if (value > 0xFFFF) return false;
            ++pos;
            ++digits;
        }
        if (digits == 0) return false;
        parsed.part[i] = static_cast<WORD>(value);
        if (pos == text.size()) break;
        if (text[pos] != L'.' || i == 3) return false;
        ++pos;
    }
    if (pos != text.size()) return false;
    *version = parsed;
    return true;
}

int CompareVersions(const FileVersion& a, const FileVersion& b) {
    for (int i = 0; i < 4; ++i)
        if (a.part[i] != b.part[i]) return a.part[i] < b.part[i] ? -1 : 1;
    return 0;
}
