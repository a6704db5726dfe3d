// Test path helpers.
#include "tests/support/TestPaths.h"

#include <shlobj.h>

#include <atomic>
#include <cwchar>
#include <vector>

namespace testsupport {

namespace {
std::wstring Env(const wchar_t* name) {
    DWORD n = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (n == 0) return {};
    std::wstring value(n, L'\0');
    DWORD got = ::GetEnvironmentVariableW(name, value.data(), n);
    value.resize(got);
    return value;
}

std::wstring WithSlash(std::wstring p) {
    if (!p.empty() && p.back() != L'\\') p += L'\\';
    return p;
}

// A Unix path handed through the environment lives on Wine's Z: drive.
std::wstring FromUnix(std::wstring p) {
    if (!p.empty() && p[0] == L'/') {
        for (wchar_t& c : p)
            if (c == L'/') c = L'\\';
        p = L"Z:" + p;
    }
    return p;
}
}  // namespace

std::wstring TestDirectory() {
    wchar_t path[MAX_PATH * 4] = {};
    DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L"\\/") + 1);
}

std::wstring ProgramDirectory() {
    std::wstring env = Env(L"PELICAN_BIN");
    if (!env.empty()) return WithSlash(FromUnix(env));
    return TestDirectory() + L"..\\bin\\";
}

std::wstring SourceDirectory() { return WithSlash(FromUnix(Env(L"PELICAN_SOURCE"))); }

ScratchFolder::ScratchFolder(const std::wstring& hint) {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    for (;;) {
        std::wstring candidate = std::wstring(temp) + L"pel-" + hint + L"-" + std::to_wstring(::GetCurrentProcessId()) +
                                 L"-" + std::to_wstring(counter++);
        if (::CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = candidate + L"\\";
            break;
        }
        if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
}

ScratchFolder::~ScratchFolder() {
    if (!path_.empty()) RemoveTree(path_.substr(0, path_.size() - 1));
}

bool RemoveTree(const std::wstring& path) {
    DWORD attrs = ::GetFileAttributesW(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) return true;
    if (attrs & FILE_ATTRIBUTE_READONLY) ::SetFileAttributesW(path.c_str(), attrs & ~FILE_ATTRIBUTE_READONLY);
    if (!(attrs & FILE_ATTRIBUTE_DIRECTORY)) return ::DeleteFileW(path.c_str()) != 0;
    // A link goes itself: what it points at may lie elsewhere, or be this very tree.
    if (attrs & FILE_ATTRIBUTE_REPARSE_POINT) return ::RemoveDirectoryW(path.c_str()) || ::DeleteFileW(path.c_str());
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            RemoveTree(path + L"\\" + name);
        } while (::FindNextFileW(find, &fd));
        ::FindClose(find);
    }
    return ::RemoveDirectoryW(path.c_str()) != 0;
}

bool MakeSparseFile(const std::wstring& path, long long size) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER end;
    end.QuadPart = size;
    const bool ok = ::SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(file);
    ::CloseHandle(file);
    return ok;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(f);
    return ok && written == bytes.size();
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    std::string out;
    char buf[65536];
    DWORD got = 0;
    while (::ReadFile(f, buf, sizeof(buf), &got, nullptr) && got > 0) out.append(buf, got);
    ::CloseHandle(f);
    return out;
}

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

namespace {
void ListTree(const std::wstring& folder, const std::wstring& prefix, std::vector<std::wstring>* out) {
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        out->push_back(prefix + name);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ListTree(folder + L"\\" + name, prefix + name + L"\\", out);
    } while (::FindNextFileW(find, &fd));
    ::FindClose(find);
}
}  // namespace

std::vector<std::wstring> TreeEntries(const std::wstring& folder) {
    std::vector<std::wstring> out;
    ListTree(folder, L"", &out);
    return out;
}

HDROP MakeDrop(const std::vector<std::wstring>& paths) {
    size_t chars = 1;
    for (const std::wstring& p : paths) chars += p.size() + 1;
    HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(header) + sizeof(DROPFILES));
    for (const std::wstring& p : paths) {
        std::wmemcpy(text, p.c_str(), p.size() + 1);
        text += p.size() + 1;
    }
    *text = L'\0';
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

}  // namespace testsupport
