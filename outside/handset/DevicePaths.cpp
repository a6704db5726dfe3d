// Device path parsing and the PC spelling of device names.
#include "outside/handset/DevicePaths.h"

#include <windows.h>

#include <climits>
#include <cwctype>

#include "platform/Handles.h"

namespace handset {

const wchar_t kPartialPrefix[] = L"~$pelican-";

namespace {

bool IsReservedChar(wchar_t c) {
    return c < 0x20 || c == L':' || c == L'*' || c == L'?' || c == L'"' || c == L'<' || c == L'>' || c == L'|' ||
           c == L'\\' || c == L'/';
}

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 name devices, with any extension.
bool IsDeviceName(const std::wstring& name) {
    std::wstring base = name.substr(0, name.find(L'.'));
    while (!base.empty() && base.back() == L' ') base.pop_back();
    for (wchar_t& c : base) c = static_cast<wchar_t>(std::towupper(c));
    if (base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL" || base == L"CONIN$" || base == L"CONOUT$")
        return true;
    return base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0) &&
           base[3] >= L'1' && base[3] <= L'9';
}

// Full-width look-alikes keep a mapped name readable.
wchar_t LookAlike(wchar_t c) {
    switch (c) {
        case L':':
            return 0xFF1A;
        case L'*':
            return 0xFF0A;
        case L'?':
            return 0xFF1F;
        case L'"':
            return 0xFF02;
        case L'<':
            return 0xFF1C;
        case L'>':
            return 0xFF1E;
        case L'|':
            return 0xFF5C;
        case L'\\':
            return 0xFF3C;
        case L'/':
            return 0xFF0F;
        default:
            return L'_';
    }
}

// Closes a directory search on scope exit.
class FindGuard {
public:
    explicit FindGuard(HANDLE find) : find_(find) {}
    ~FindGuard() { ::FindClose(find_); }
    FindGuard(const FindGuard&) = delete;
    FindGuard& operator=(const FindGuard&) = delete;

private:
    HANDLE find_;
};

}  // namespace

bool SplitDevicePath(const std::wstring& devicePath, std::vector<std::wstring>* names) {
    names->clear();
    size_t start = 0;
    while (start <= devicePath.size()) {
        size_t end = devicePath.find(L'/', start);
        if (end == std::wstring::npos) end = devicePath.size();
        std::wstring name = devicePath.substr(start, end - start);
        start = end + 1;
        if (name.empty() || name == L".") continue;
        if (name == L".." || name.find(L'\\') != std::wstring::npos || name.find(L'\0') != std::wstring::npos)
            return false;
        names->push_back(std::move(name));
    }
    return true;
}

bool IsPlainName(const std::wstring& name) {
    if (name.empty() || name.size() > 255 || name == L"." || name == L"..") return false;
    for (wchar_t c : name)
        if (IsReservedChar(c)) return false;
    if (name.back() == L'.' || name.back() == L' ') return false;
    return !IsDeviceName(name);
}

std::wstring PcSafeName(const std::wstring& name) {
    if (name.empty()) return L"_";
    std::wstring safe = name;
    for (wchar_t& c : safe)
        if (IsReservedChar(c)) c = LookAlike(c);
    // Windows drops trailing dots and spaces silently; keep them visible.
    for (size_t i = safe.size(); i > 0 && (safe[i - 1] == L'.' || safe[i - 1] == L' '); --i)
        safe[i - 1] = safe[i - 1] == L'.' ? wchar_t(0xFF0E) : L'_';
    if (IsDeviceName(safe)) {
        size_t dot = safe.find(L'.');
        safe.insert(dot == std::wstring::npos ? safe.size() : dot, L"_");
    }
    return safe;
}

std::wstring ExtendedPath(const std::wstring& pcPath) {
    if (pcPath.empty()) return {};
    if (pcPath.compare(0, 4, L"\\\\?\\") == 0) {
        std::wstring p = pcPath;
        while (p.size() > 7 && p.back() == L'\\') p.pop_back();
        return p;
    }
    DWORD need = ::GetFullPathNameW(pcPath.c_str(), 0, nullptr, nullptr);
    if (need == 0) return {};
    std::wstring full(need, L'\0');
    DWORD got = ::GetFullPathNameW(pcPath.c_str(), need, full.data(), nullptr);
    if (got == 0 || got >= need) return {};
    full.resize(got);
    while (full.size() > 3 && full.back() == L'\\') full.pop_back();
    if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::wstring NativePath(const std::wstring& extendedPath) {
    if (extendedPath.compare(0, 4, L"\\\\?\\") != 0) return {};
    return L"\\??\\" + extendedPath.substr(4);
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && folder.back() == L'\\') return folder + name;
    return folder + L"\\" + name;
}

std::wstring LastName(const std::wstring& path) {
    std::wstring p = path;
    while (!p.empty() && (p.back() == L'\\' || p.back() == L'/')) p.pop_back();
    size_t cut = p.find_last_of(L"\\/");
    std::wstring name = cut == std::wstring::npos ? p : p.substr(cut + 1);
    if (name.size() == 2 && name[1] == L':') name.pop_back();
    return name;
}

std::wstring NumberedName(const std::wstring& name, int n, bool folder) {
    size_t dot = folder ? std::wstring::npos : name.find_last_of(L'.');
    if (dot == 0) dot = std::wstring::npos;  // ".profile" has no extension
    std::wstring tag = L" (" + std::to_wstring(n) + L")";
    if (dot == std::wstring::npos) return name + tag;
    return name.substr(0, dot) + tag + name.substr(dot);
}

unsigned long Attributes(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()); }

std::string FileIdentity(const std::wstring& path, unsigned long flags) {
    platform::UniqueFile file(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !::GetFileInformationByHandle(file.get(), &info)) return {};
    return std::to_string(info.dwVolumeSerialNumber) + ":" + std::to_string(info.nFileIndexHigh) + ":" +
           std::to_string(info.nFileIndexLow);
}

bool IsFolder(const std::wstring& path) {
    DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool ListFolder(const std::wstring& folder, std::vector<FolderEntry>* entries) {
    entries->clear();
    WIN32_FIND_DATAW fd;
    HANDLE find =
        ::FindFirstFileExW(JoinPath(folder, L"*").c_str(), FindExInfoStandard, &fd, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    FindGuard guard(find);
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        FolderEntry e;
        e.name = name;
        e.address = name;
        if (name.find_first_of(L"*?\"<>|") != std::wstring::npos) e.address = fd.cAlternateFileName;
        e.folder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        e.link = (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        e.size = e.folder ? 0 : (std::uint64_t(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
        e.modified = (std::uint64_t(fd.ftLastWriteTime.dwHighDateTime) << 32) | fd.ftLastWriteTime.dwLowDateTime;
        entries->push_back(std::move(e));
    } while (::FindNextFileW(find, &fd));
    return true;
}

bool IsPartialName(const std::wstring& name) { return name.compare(0, wcslen(kPartialPrefix), kPartialPrefix) == 0; }

bool ReadPathBuffer(const wchar_t* buffer, std::wstring* text) {
    constexpr size_t kDevicePathBuffer = 260;
    if (!buffer) return false;
    size_t n = wcsnlen(buffer, kDevicePathBuffer);
    if (n == kDevicePathBuffer) return false;
    text->assign(buffer, n);
    return true;
}

void WaitPumping(void* thread) {
    HANDLE handle = thread;
    for (;;) {
        DWORD r = ::MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE);
        if (r != WAIT_OBJECT_0 + 1) return;
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void WaitForCalls(const std::atomic<int>& calls) {
    while (calls > 0) {
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        ::Sleep(5);
    }
}

int KiBRoundedUp(std::uint64_t bytes) {
    std::uint64_t kib = bytes / 1024 + (bytes % 1024 ? 1 : 0);
    return kib > INT_MAX ? INT_MAX : static_cast<int>(kib);
}

int KiBRoundedDown(std::uint64_t bytes) {
    std::uint64_t kib = bytes / 1024;
    return kib > INT_MAX ? INT_MAX : static_cast<int>(kib);
}

}  // namespace handset
