// NewFiles: new files made under their final names, and Wine's spelling of new names.
#include "outside/handset/NewFiles.h"

#include <cwchar>

namespace handset {

namespace {

using UnixName = char*(__cdecl*)(const wchar_t*);

UnixName WineUnixName() {
    static const UnixName function = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    return function;
}

bool PlainName(const std::wstring& name) {
    if (name.empty() || name.back() == L'.' || name.back() == L' ') return false;
    for (wchar_t c : name)
        if (c < 0x20 || c > 0x7E || wcschr(L"\\/:*?\"<>|", c)) return false;
    return true;
}

bool SameFolder(const std::wstring& a, const std::wstring& b) {
    BY_HANDLE_FILE_INFORMATION one{}, other{};
    auto info = [](const std::wstring& path, BY_HANDLE_FILE_INFORMATION* out) {
        platform::UniqueFile folder(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        return folder && ::GetFileInformationByHandle(folder.get(), out);
    };
    return info(a, &one) && info(b, &other) && one.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
           one.nFileIndexHigh == other.nFileIndexHigh && one.nFileIndexLow == other.nFileIndexLow;
}

}  // namespace

std::wstring NewFiles::UnixFolder(const std::wstring& folder) {
    if (known_ && folder == folder_) return unixFolder_;
    known_ = true;
    folder_ = folder;
    unixFolder_.clear();
    const UnixName unixName = WineUnixName();
    char* name = unixName ? unixName(folder.c_str()) : nullptr;
    if (!name) return unixFolder_;
    // Wine's own code page for Unix names; the check below catches any other spelling.
    constexpr UINT kUnixCodePage = 65010;
    const int length = ::MultiByteToWideChar(kUnixCodePage, MB_ERR_INVALID_CHARS, name, -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 0, L'\0');
    if (length > 1 && name[0] == '/' &&
        ::MultiByteToWideChar(kUnixCodePage, MB_ERR_INVALID_CHARS, name, -1, wide.data(), length) == length) {
        wide.resize(length - 1);
        for (wchar_t& c : wide)
            if (c == L'/') c = L'\\';
        std::wstring candidate = L"\\\\?\\unix" + wide;
        if (SameFolder(folder, candidate)) unixFolder_ = std::move(candidate);
    }
    ::HeapFree(::GetProcessHeap(), 0, name);
    return unixFolder_;
}

std::wstring NewFiles::Direct(const std::wstring& folder, const std::wstring& path) {
    if (path.size() <= folder.size() + 1 || path.compare(0, folder.size(), folder) != 0 || path[folder.size()] != L'\\')
        return path;
    const std::wstring name = path.substr(folder.size() + 1);
    if (!PlainName(name)) return path;
    const std::wstring unixFolder = UnixFolder(folder);
    return unixFolder.empty() ? path : unixFolder + L"\\" + name;
}

platform::UniqueFile NewFiles::Create(const std::wstring& folder, const std::wstring& path) {
    const std::wstring where = Direct(folder, path);
    platform::UniqueFile file(::CreateFileW(where.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return file;
    FILE_DISPOSITION_INFO pending{TRUE};
    if (!::SetFileInformationByHandle(file.get(), FileDispositionInfo, &pending, sizeof(pending))) {
        const DWORD error = ::GetLastError();
        file.reset();
        ::DeleteFileW(where.c_str());
        ::SetLastError(error);
    }
    return file;
}

bool NewFiles::Keep(HANDLE file) {
    FILE_DISPOSITION_INFO keep{FALSE};
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &keep, sizeof(keep)) != 0;
}

}  // namespace handset
