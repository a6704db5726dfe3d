// CShellIconCache.
#include "fileview/CShellIconCache.h"

#include <shellapi.h>

#include <cwctype>

namespace {
// Extensions name the same icon whatever their letter case.
std::wstring FoldCase(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}
}  // namespace

std::wstring ExtensionOf(const std::wstring& name) {
    size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? name : name.substr(dot);
}

HIMAGELIST CShellIconCache::SystemSmallImages() {
    SHFILEINFOW info{};
    // The system image list is what the shell hands back; SHGFI_SYSICONINDEX
    // alone makes no icon handle that we would have to destroy.
    auto list = reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoW(L"", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (!list) {
        // Some shells refuse the empty path; any real folder yields the same list.
        wchar_t windows[MAX_PATH] = {};
        if (::GetWindowsDirectoryW(windows, MAX_PATH))
            list = reinterpret_cast<HIMAGELIST>(
                ::SHGetFileInfoW(windows, 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    }
    return list;
}

int CShellIconCache::Query(const wchar_t* path, DWORD attributes, UINT flags) {
    ++queries_;
    SHFILEINFOW info{};
    if (!::SHGetFileInfoW(path, attributes, &info, sizeof(info), flags | SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
        return 0;
    return info.iIcon;
}

int CShellIconCache::FolderIcon() {
    if (!folderKnown_) {
        wchar_t windows[MAX_PATH] = {};
        UINT len = ::GetWindowsDirectoryW(windows, MAX_PATH);
        folderIcon_ = (len > 0 && len < MAX_PATH) ? Query(windows, 0, 0) : 0;
        folderKnown_ = true;
    }
    return folderIcon_;
}

int CShellIconCache::FileIcon(const std::wstring& extension) {
    // A dot-less name is its own "extension"; the shell answers every such
    // name alike (it finds no extension in it), so they share one entry.
    std::wstring key = extension.empty() || extension[0] != L'.' ? std::wstring() : FoldCase(extension);
    auto found = byExtension_.find(key);
    if (found != byExtension_.end()) return found->second;
    // Attributes 0 with SHGFI_USEFILEATTRIBUTES: the shell answers from the
    // extension alone, no file needs to exist.
    int icon = Query(extension.c_str(), 0, SHGFI_USEFILEATTRIBUTES);
    byExtension_.emplace(std::move(key), icon);
    return icon;
}
