// NewFiles: new files made under their final names, and Wine's spelling of new names.
#include "outside/handset/NewFiles.h"

#include "outside/handset/DevicePaths.h"
#include "outside/handset/FileCopy.h"

namespace handset {

namespace {

using UnixName = char*(__cdecl*)(const wchar_t*);

UnixName WineUnixName() {
    static const UnixName function = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    return function;
}

// A name Windows and Wine's Unix names spell alike.
bool PlainAsciiName(const std::wstring& name) {
    for (wchar_t c : name)
        if (c > 0x7E) return false;
    return IsPlainName(name);
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
        const std::string identity = FileIdentity(folder);
        if (!identity.empty() && identity == FileIdentity(candidate)) unixFolder_ = std::move(candidate);
    }
    ::HeapFree(::GetProcessHeap(), 0, name);
    return unixFolder_;
}

std::wstring NewFiles::Direct(const std::wstring& folder, const std::wstring& path) {
    if (path.size() <= folder.size() + 1 || path.compare(0, folder.size(), folder) != 0 || path[folder.size()] != L'\\')
        return path;
    const std::wstring name = path.substr(folder.size() + 1);
    if (!PlainAsciiName(name)) return path;
    const std::wstring unixFolder = UnixFolder(folder);
    return unixFolder.empty() ? path : unixFolder + L"\\" + name;
}

platform::UniqueFile NewFiles::Create(const std::wstring& folder, const std::wstring& path) {
    const std::wstring where = Direct(folder, path);
    platform::UniqueFile file(::CreateFileW(where.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return file;
    if (!DiscardOpenFile(file.get())) {
        const DWORD error = ::GetLastError();
        file.reset();
        ::DeleteFileW(where.c_str());
        ::SetLastError(error);
    }
    return file;
}

bool NewFiles::Keep(HANDLE file) { return DiscardOpenFile(file, false); }

}  // namespace handset
