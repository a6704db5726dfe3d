// The private-profile reader of skin.ini.
#include "skin/SkinProfile.h"

namespace nsSkin {

bool CSkinProfile::Exists() const {
    DWORD attrs = ::GetFileAttributesW(path_.c_str());
    return !path_.empty() && attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring CSkinProfile::ReadString(const std::wstring& section, const std::wstring& key,
                                      const std::wstring& defaultValue) const {
    if (path_.empty()) return defaultValue;
    std::wstring buffer(kValueBuffer, L'\0');
    DWORD n = ::GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                                         kValueBuffer, path_.c_str());
    buffer.resize(n < kValueBuffer ? n : kValueBuffer - 1);
    return buffer;
}

bool CSkinProfile::GetKeyNames(const std::wstring& section, std::vector<std::wstring>& names) const {
    names.clear();
    if (path_.empty()) return false;
    std::wstring buffer(kKeyNamesBuffer, L'\0');
    DWORD n = ::GetPrivateProfileStringW(section.c_str(), nullptr, L"", buffer.data(), kKeyNamesBuffer,
                                         path_.c_str());
    // The list is a run of zero-terminated names. When it did not fit, the
    // system cuts the last name short (and answers size - 2); a cut name is no
    // key of the section, so it is left out.
    const bool cut = n >= kKeyNamesBuffer - 2;
    size_t end = n < kKeyNamesBuffer ? n : kKeyNamesBuffer - 1;
    size_t pos = 0;
    while (pos < end) {
        size_t stop = buffer.find(L'\0', pos);
        if (stop == std::wstring::npos || stop > end) break;
        if (stop == pos) break;
        if (cut && stop >= end) break;
        names.emplace_back(buffer, pos, stop - pos);
        pos = stop + 1;
    }
    return !names.empty();
}

std::wstring SkinFolderOf(const std::wstring& path) {
    if (path.empty()) return path;
    DWORD attrs = ::GetFileAttributesW(path.c_str());
    std::wstring folder;
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
        folder = path;
    } else {
        size_t slash = path.find_last_of(L"\\/");
        folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
    }
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    return folder;
}

}  // namespace nsSkin
